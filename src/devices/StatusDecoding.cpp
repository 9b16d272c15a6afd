#include "devices/StatusDecoding.h"

#include "app/SharedState.h"
#include "devices/DeviceTable.h"
#include "devices/DeviceTexts.h"

namespace {

constexpr unsigned char frameStart = 0x55;       // first byte of every frame
constexpr unsigned char statusGroup = 0x17;      // group of the status reply
constexpr unsigned char fullStatusLength = 9;    // length byte of the reply with flag bytes
constexpr unsigned char ignoredReportGroup = 0x43; // unsolicited, carries nothing used here
constexpr unsigned char noFlags = 0xFF;          // limiting or protection byte: nothing active
constexpr unsigned char powerOperating = 1;      // power byte: operating, else standby

int byteAt(const QByteArray& bytes, qsizetype i)
{
    return static_cast<unsigned char>(bytes.at(i));
}

AmpStatus powerState(int powerByte)
{
    return {powerByte == powerOperating ? AmpStatusKind::Normal : AmpStatusKind::Standby};
}


} // namespace

bool decodeStatusReply(const QByteArray& reply, DeviceTable& table, PollState& state)
{
    // Bytes 1..4 and 6 are read always, 8 and 9 with the long form.
    if (reply.size() < 7 || byteAt(reply, 0) != frameStart)
        return false;
    const bool fullForm = byteAt(reply, 1) == fullStatusLength;
    if (fullForm && reply.size() < 10)
        return false;

    state.lastReportedAddress = QString::number(byteAt(reply, 2));
    if (byteAt(reply, 3) != statusGroup || byteAt(reply, 4) != 0)
        return false;

    const int power = byteAt(reply, 6);
    int target = -1;
    if (state.pollMode == PollState::Search) {
        target = table.appendRow(state.lastReportedAddress, QString(), DeviceTexts::connected(), QString());
        table.setState(target, powerState(power));
    } else {
        // The table may have lost the row since the query went out.
        if (!table.isValidRow(state.refreshRow))
            return true;
        target = state.refreshRow;
        table.setText(target, DeviceTable::ConnectionColumn, DeviceTexts::connected());
        const SharedState& shared = sharedState();
        if (!shared.editorStatus)
            table.setState(target, powerState(power));
        else
            table.setStateForAddress(QString::number(shared.selectedAddress), *shared.editorStatus);
    }

    AmpStatus override;
    if (!fullForm) {
        override = {AmpStatusKind::Normal};
    } else if (byteAt(reply, 8) != noFlags) {
        override = {AmpStatusKind::TemperatureLimit};
    } else if (const int protection = byteAt(reply, 9); protection != noFlags) {
        if ((protection & 0x0F) != 0x0F)
            override = {AmpStatusKind::Fault};
        if ((protection & 0xF0) != 0xF0)
            override = {AmpStatusKind::DcProtection};
    }
    if (override.kind != AmpStatusKind::None)
        table.setState(target, override);
    return true;
}

bool decodeHomeReport(const QByteArray& bytes, DeviceTable& table, PollState& state)
{
    if (bytes.isEmpty() || byteAt(bytes, 0) != frameStart)
        return true;
    if (bytes.size() < 4)
        return false;

    switch (byteAt(bytes, 3)) {
    case ignoredReportGroup:
        return true;
    case temperatureReportGroup:
        table.setStateForAddress(state.lastReportedAddress, {AmpStatusKind::TemperatureProtection});
        return true;
    case faultReportGroup: {
        if (bytes.size() < 7)
            return true; // cut off before its bit field: nothing to show
        state.lastReportedAddress = QString::number(byteAt(bytes, 2));
        const int bits = byteAt(bytes, 6);
        SharedState& shared = sharedState();
        auto show = [&](const AmpStatus& status, bool alsoStatus) {
            table.setStateForAddress(state.lastReportedAddress, status);
            if (alsoStatus)
                shared.editorStatus = status;
        };
        for (int n = 1; n <= 4; ++n) {
            if ((bits & (1 << (n - 1))) == 0)
                show({AmpStatusKind::FaultNumber, n}, true);
        }
        if ((bits & 0x0F) == 0x0F)
            show({AmpStatusKind::Normal}, true);
        for (int n = 1; n <= 4; ++n) {
            if ((bits & (1 << (n + 3))) == 0)
                show({AmpStatusKind::DcProtectionNumber, n}, false);
        }
        return true;
    }
    default:
        return false;
    }
}
