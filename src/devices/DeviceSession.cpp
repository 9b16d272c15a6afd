#include "devices/DeviceSession.h"

#include "app/SharedState.h"
#include "clock/WaitClock.h"
#include "devices/DeviceTable.h"
#include "devices/DeviceTexts.h"
#include "protocol/Commands.h"
#include "protocol/ValueMapping.h"
#include "serial/SerialLink.h"

namespace {

// Fewer bytes are line noise or a cut-off answer, not an amplifier.
constexpr qsizetype minimumProbeAnswer = 3;

DeviceAddress addressByte(int value)
{
    return static_cast<DeviceAddress>(value & 0xFF);
}

} // namespace

DeviceSession::DeviceSession(SerialLink& link, DeviceTable& table)
    : link(link), table(table)
{
}

const QStringList& DeviceSession::baudTexts()
{
    // 56000, not 57600: the amplifiers' own list; 9600 is never tried.
    static const QStringList texts{QStringLiteral("14400"), QStringLiteral("19200"), QStringLiteral("38400"),
                                   QStringLiteral("56000"), QStringLiteral("115200")};
    return texts;
}

QString DeviceSession::settingsFor(const QString& baudText)
{
    return baudText + QStringLiteral(",n,8,1");
}

bool DeviceSession::detectPort(const QList<int>& portNumbers)
{
    const QList<int> ports = portNumbers.first(std::min<qsizetype>(portNumbers.size(), maxPorts));
    for (int port : ports) {
        link.setReceiveThreshold(receiveThreshold);
        link.open(port, settingsFor(baudTexts().first()));
        try {
            for (const QString& baud : baudTexts()) {
                link.applySettings(settingsFor(baud));
                link.discardInput();
                link.write(Commands::portProbe(0));
                waitClock().waitMs(probeWaitMs);
                if (link.readAll().size() >= minimumProbeAnswer) {
                    SharedState& shared = sharedState();
                    shared.baudText = baud;
                    shared.portNumber = port;
                    return true;
                }
            }
        } catch (...) {
            // A detection cut short found nothing: the port must not stay
            // open at a rate nobody answered, or it would never be tried again.
            link.close();
            throw;
        }
        link.close();
    }
    return false;
}

void DeviceSession::decodeReply()
{
    if (decodeStatusReply(link.readAll(), table, poll))
        link.discardInput();
}

bool DeviceSession::searchDevices(const std::function<void(int)>& progress)
{
    if (!link.isOpen())
        return false;
    poll.pollMode = PollState::Search;
    for (int address = firstSearchAddress; address <= lastSearchAddress; ++address) {
        if (table.hasAddress(address))
            continue;
        link.write(Commands::statusQuery(addressByte(address)));
        waitClock().waitMs(searchWaitMs);
        decodeReply();
        if (progress)
            progress(address);
    }
    return true;
}

bool DeviceSession::refreshDevices()
{
    if (!link.isOpen() && sharedState().reopenHomePort)
        link.open(link.portNumber(), link.settings());
    if (!link.isOpen())
        return false;
    poll.pollMode = PollState::Refresh;
    for (int row = 0; row < table.size(); ++row) {
        poll.refreshRow = row;
        link.write(Commands::statusQuery(addressByte(table.addressValue(row))));
        table.setText(row, DeviceTable::ConnectionColumn, DeviceTexts::notConnected());
        table.setText(row, DeviceTable::StateColumn, QStringLiteral(" "));
        waitClock().waitMs(refreshWaitMs);
        decodeReply();
    }
    return true;
}

AddressEditResult DeviceSession::commitAddressEdit(int row, const QString& text, int oldAddress)
{
    if (!table.isValidRow(row))
        return {};
    const int address = ValueMapping::leadingInteger(text);
    if (address < firstSearchAddress || address > lastSearchAddress)
        return {false, DeviceTexts::addressInputError()};
    table.setText(row, DeviceTable::AddressColumn, text);
    if (link.isOpen())
        link.write(Commands::addressChange(addressByte(oldAddress), addressByte(address)));
    return {true, {}};
}

AddressEditResult DeviceSession::commitAddressEdit(int row, const QString& text)
{
    return commitAddressEdit(row, text, table.addressValue(row));
}

EditorTarget DeviceSession::prepareEditor(int row)
{
    if (link.isOpen())
        link.close();
    SharedState& shared = sharedState();
    shared.selectedAddress = table.addressValue(row);
    shared.selectedName = table.text(row, DeviceTable::NameColumn);
    return chosenTarget();
}

QByteArray DeviceSession::onHomeReceive(int eventCode)
{
    if (eventCode != SerialLink::dataReceivedEvent)
        return {};
    waitClock().waitMs(reportWaitMs);
    const QByteArray bytes = link.readAll();
    if (decodeHomeReport(bytes, table, poll))
        link.discardInput();
    return bytes;
}
