#include "editor/EditorSession.h"

#include "app/SharedState.h"
#include "app/UiLanguage.h"
#include "protocol/Commands.h"
#include "protocol/PortProbeAnswer.h"
#include "serial/LinkSettings.h"
#include "serial/SerialError.h"
#include "serial/SerialLink.h"

namespace {

DeviceAddress addressByte(int value) { return static_cast<DeviceAddress>(value & 0xFF); }

} // namespace

EditorSession::EditorSession(SerialLink& link, const EditorTarget& target, QObject* parent)
    : QObject(parent), amplifier(target), serial(link), editorLink(link, frameSent), timer(this)
{
    // The address the frames go to; the connection check confirms it.
    params.address = addressByte(target.address);
    connect(&timer, &ClockTimer::timeout, this, &EditorSession::monitorTick);
    connect(&serial, &SerialLink::received, this, &EditorSession::onEditorReceive);
}

bool EditorSession::isOpen() const { return serial.isOpen(); }

bool EditorSession::send(const QByteArray& frame)
{
    if (!serial.isOpen())
        return false;
    editorLink.write(frame);
    return true;
}

EditorSession::ConnectResult EditorSession::connectEditor(const QList<int>& portNumbers)
{
    QList<int> ports = portNumbers;
    if (serial.isOpen()) {
        ports.removeAll(serial.portNumber());
        ports.prepend(serial.portNumber());
    }
    if (ports.isEmpty())
        return ConnectResult::NoPort;
    const DeviceAddress wanted = addressByte(amplifier.address);
    const QString settings = amplifier.baudText + QStringLiteral(",n,8,1");
    for (int port : ports) {
        serial.setReceiveThreshold(receiveThreshold);
        // Opening the port that is open already only applies the settings.
        serial.open(port, settings);
        serial.discardInput();
        editorLink.write(Commands::portProbe(wanted));
        waitClock().waitMs(probeWaitMs);
        const QByteArray answer = serial.readAll();
        if (matchesPortProbeAnswer(answer, wanted)) {
            params.address = wanted;
            setLinkConnected(true);
            if (announce)
                announce(tr("The connection is successful"), false);
            setStatus({AmpStatusKind::Normal});
            missed = 0;
            // The first tick comes after a second; the chosen rate follows.
            timer.start(firstMonitorPeriodMs);
            return ConnectResult::Connected;
        }
        if (!answer.isEmpty())
            serial.discardInput();
        serial.close();
    }
    setLinkConnected(false);
    if (announce)
        announce(tr("The connection fails"), true);
    setStatus({AmpStatusKind::NotConnected});
    return ConnectResult::Failed;
}

int EditorSession::fullStateWaitMs(const QString& baudText)
{
    // The whole answer must be in before the one read; faster lines need less.
    struct Row {
        const char* baud;
        int ms;
    };
    static constexpr Row rows[] = {{"14400", 900}, {"19200", 800}, {"38400", 600}, {"56000", 500}, {"115200", 500}};
    for (const Row& row : rows)
        if (baudText == QLatin1String(row.baud))
            return row.ms;
    return 0;
}

std::optional<FullStateReply> EditorSession::readAndApply(int waitMs)
{
    if (waitMs > 0)
        waitClock().waitMs(waitMs);
    return applyFullState(serial.readAll());
}

std::optional<FullStateReply> EditorSession::readFullState() { return readFullState(fullStateWaitMs(amplifier.baudText)); }

std::optional<FullStateReply> EditorSession::readFullState(int waitMs)
{
    serial.discardInput();
    if (!serial.isOpen())
        return std::nullopt;
    editorLink.write(Commands::fullStateRequest(params.address));
    return readAndApply(waitMs);
}

std::optional<FullStateReply> EditorSession::refreshFromReply()
{
    // Drops whatever answered before the caller's request went out.
    serial.discardInput();
    if (!serial.isOpen())
        return std::nullopt;
    return readAndApply(refreshWaitMs);
}

FullStateReply EditorSession::applyFullState(const QByteArray& bytes)
{
    replyBytes = bytes.left(SerialLink::readLimit);
    const FullStateReply reply = decodeFullStateReply(replyBytes);
    applyFullStateReply(reply, params);
    if (const AmpStatus read = statusAfterRead(reply); read.kind != AmpStatusKind::None)
        setStatus(read);
    serial.discardInput();
    return reply;
}

void EditorSession::setMonitorPeriod(int ms)
{
    period = ms;
    timer.start(period);
}

void EditorSession::monitorTick()
{
    if (!serial.isOpen() || frameSent) {
        frameSent = false;
        timer.start(period);
        return;
    }
    ++missed;
    // The timer outlives a refusal: a port that keeps refusing is said once,
    // not at every tick (a box a second would pile up on the screen).
    try {
        // Past the marking link: the poll is no frame of the user's.
        serial.write(Commands::monitorPoll(params.address));
        tickError.clear();
    } catch (const SerialError& error) {
        if (error.text() != tickError && announce)
            announce(error.text(), true);
        tickError = error.text();
    }
    if (missed > missedPollsTolerated)
        setLinkConnected(false);
    else if (shownStatus.kind == AmpStatusKind::Normal)
        setLinkConnected(true);
    timer.start(period);
}

void EditorSession::onEditorReceive(int eventCode)
{
    if (eventCode != SerialLink::dataReceivedEvent)
        return;
    waitClock().waitMs(receiveWaitMs);
    const MonitorDecode decode = decodeMonitorReply(serial.readAll(), shownStatus);
    if (decode.accepted) {
        missed = 0;
        setLinkConnected(true);
        if (decode.readingsComplete)
            live = monitorTexts(decode.readings, live, uiLanguage());
        if (decode.status != shownStatus)
            Q_EMIT monitorStatusChanged(decode.status);
        setStatus(decode.status);
        Q_EMIT readingsChanged();
    }
    if (decode.discardInput)
        serial.discardInput();
}

QString EditorSession::statusText() const { return statusWord(shownStatus, uiLanguage()); }

void EditorSession::setStatus(const AmpStatus& status)
{
    if (status == shownStatus)
        return;
    shownStatus = status;
    Q_EMIT statusTextChanged(statusText());
}

void EditorSession::setLinkConnected(bool on)
{
    const bool changed = on != connected;
    connected = on;
    if (changed)
        Q_EMIT linkStateChanged(on);
}
