// The home page's decoding of status replies and of the reports amplifiers
// send by themselves, on one device table. The input is a run of chunks:
// an operation byte (what the home page waits for, the row refreshed, the
// status text left by the editor), a length byte and that many bytes of
// received data; all chunks act on the same table and poll state, as a
// session does.
#include "FuzzSupport.h"

#include "app/SharedState.h"
#include "app/UiLanguage.h"
#include "devices/DeviceTable.h"
#include "devices/DeviceTexts.h"
#include "devices/StatusDecoding.h"

#include <QStringList>

namespace {

QStringList knownStates()
{
    using K = AmpStatusKind;
    QStringList texts{QString(), QStringLiteral("start"), QStringLiteral(" "), QStringLiteral("Normal")};
    for (AmpStatusKind kind : {K::Normal, K::Standby, K::TemperatureLimit, K::Fault, K::DcProtection,
                               K::TemperatureProtection})
        texts << DeviceTexts::status({kind});
    for (int n = 1; n <= 4; ++n)
        texts << DeviceTexts::status({K::FaultNumber, n}) << DeviceTexts::status({K::DcProtectionNumber, n});
    return texts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::Input input(data, size);
    setUiLanguage(input.takeByte() & 1);
    resetSharedState();
    const QStringList states = knownStates();
    const QStringList connections{DeviceTexts::connected(), DeviceTexts::notConnected()};

    DeviceTable table;
    for (const char* address : {"1", "2", "12", "2"})
        table.appendRow(QString::fromLatin1(address), QStringLiteral("amp"), DeviceTexts::notConnected(),
                        QStringLiteral("start"));
    const int startRows = table.size();
    PollState state;

    while (input.remaining() > 0) {
        const std::uint8_t op = input.takeByte();
        const QByteArray received = input.takeBytes(input.takeByte());
        const int rowsBefore = table.size();
        state.refreshRow = ((op >> 2) & 0x07) - 1; // -1 .. 6: rows that may be gone
        if (op & 0x20)
            sharedState().editorStatus = AmpStatus{AmpStatusKind::Fault};
        else
            sharedState().editorStatus.reset();
        sharedState().selectedAddress = (op & 0x40) ? 2 : 0;

        switch (op & 0x03) {
        case 0:
        case 1: {
            state.pollMode = (op & 0x03) == 0 ? PollState::Search : PollState::Refresh;
            const bool used = decodeStatusReply(received, table, state);
            FUZZ_CHECK(!used || received.size() >= 7);
            const bool added = state.pollMode == PollState::Search && used;
            FUZZ_CHECK(table.size() == rowsBefore + (added ? 1 : 0));
            if (added) {
                const int row = table.size() - 1;
                const int address = table.addressValue(row);
                FUZZ_CHECK(address >= 0 && address <= 255);
                FUZZ_CHECK(table.text(row, DeviceTable::AddressColumn) == QString::number(address));
                FUZZ_CHECK(table.text(row, DeviceTable::NameColumn).isEmpty());
            }
            break;
        }
        default:
            decodeHomeReport(received, table, state);
            FUZZ_CHECK(table.size() == rowsBefore);
            break;
        }

        const QString& last = state.lastReportedAddress;
        FUZZ_CHECK(last.isEmpty() || (last.toInt() >= 0 && last.toInt() <= 255));
        for (int row = 0; row < table.size(); ++row) {
            FUZZ_CHECK(table.text(row, DeviceTable::NumberColumn) == QString::number(row + 1));
            FUZZ_CHECK(states.contains(table.text(row, DeviceTable::StateColumn)));
            // A status value stands beside its own words only.
            const DeviceRow& r = table.row(row);
            FUZZ_CHECK(r.status.kind == AmpStatusKind::None || r.state == DeviceTexts::status(r.status));
            FUZZ_CHECK(connections.contains(table.text(row, DeviceTable::ConnectionColumn)));
            if (row < startRows)
                FUZZ_CHECK(table.text(row, DeviceTable::NameColumn) == QStringLiteral("amp"));
        }
    }
    return 0;
}
