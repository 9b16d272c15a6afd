#include "CliCommands.h"

#include "app/CodePage.h"
#include "app/SharedState.h"
#include "app/StatusWords.h"
#include "app/UiLanguage.h"
#include "clock/WaitClock.h"
#include "devices/BusEvents.h"
#include "devices/DeviceListFile.h"
#include "devices/DeviceSession.h"
#include "devices/DeviceTable.h"
#include "devices/DeviceTexts.h"
#include "devices/StatusDecoding.h"
#include "editor/EditHistory.h"
#include "editor/EditorSession.h"
#include "eventlog/EventLog.h"
#include "presets/PresetFile.h"
#include "show/ShowBus.h"
#include "show/ShowFile.h"
#include "presets/PresetSlots.h"
#include "protocol/AmpParameters.h"
#include "protocol/FullStateReply.h"
#include "protocol/MonitorReply.h"
#include "protocol/ParameterTable.h"
#include "protocol/ValueMapping.h"
#include "response/EqFileStore.h"
#include "response/EqImport.h"
#include "serial/ForwardingLink.h"
#include "serial/LinkSettings.h"
#include "serial/SerialError.h"
#include "serial/SerialLink.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <csignal>

namespace Cli {

namespace {
constexpr unsigned char frameStart = 0x55; // first byte of every frame
constexpr qsizetype frameHeadBytes = 2;    // the start byte and the length byte
} // namespace

QList<QByteArray> splitFrames(const QByteArray& bytes)
{
    QList<QByteArray> frames;
    qsizetype at = 0;
    while (at < bytes.size()) {
        if (static_cast<unsigned char>(bytes.at(at)) != frameStart) {
            ++at;
            continue;
        }
        const qsizetype size =
            at + 1 < bytes.size() ? static_cast<unsigned char>(bytes.at(at + 1)) + frameHeadBytes : 1;
        frames.append(bytes.mid(at, size));
        at += size;
    }
    return frames;
}

int fullStateWaitMs(int baudRate) { return ShowBus::fullStateWaitMs(baudRate); }

bool setNeedsGainTop(const SetRequest& request)
{
    for (const Parameter& p : ParameterTable::all())
        if (request.parameter == QLatin1String(p.word) && p.anchor != RangeAnchor::Fixed)
            return true;
    return false;
}

QByteArray setFrame(const SetRequest& r, DeviceAddress a, std::optional<int> gainTop)
{
    if (r.parameter == u"reset")
        return Commands::factoryReset(a);
    if (r.parameter == u"eqreset")
        return Commands::eqReset(a, r.channel);
    // The values go into a model of the amplifier, read as the editor's
    // boxes read them; its frame carries them.
    AmpParameters state;
    if (gainTop)
        state.setGainTop(*gainTop);
    std::optional<ParameterPath> first;
    qsizetype next = 0;
    for (const Parameter& p : ParameterTable::all()) {
        if (r.parameter != QLatin1String(p.word))
            continue;
        if (p.anchor != RangeAnchor::Fixed && !gainTop)
            return {};
        const ParameterPath path{p.key, std::max(0, r.channel - 1), std::max(0, r.band - 1)};
        const std::optional<double> v = ParameterTable::readText(p, r.values.value(next++), state);
        if (!v)
            return {};
        ParameterTable::setValue(state, path, *v);
        if (!first)
            first = path;
    }
    return first ? ParameterTable::frame(state, *first, a) : QByteArray();
}

namespace {

QString hexText(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex(' ').toUpper()); }

QJsonValue optionalValue(const std::optional<int>& v) { return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null); }

// Stands in front of the command's link and, with --trace, shows every
// frame written and every read that returned bytes, also those of the
// shared protocol code (bus search, status poll, presets).
class TracingLink final : public ForwardingLink {
public:
    TracingLink(SerialLink& inner, QTextStream* trace) : ForwardingLink(inner), trace(trace) {}

    void write(const QByteArray& bytes) override
    {
        if (trace)
            *trace << "> " << hexText(bytes) << Qt::endl;
        ForwardingLink::write(bytes);
    }
    QByteArray readAll() override
    {
        QByteArray bytes = ForwardingLink::readAll();
        if (trace && !bytes.isEmpty())
            *trace << "< " << hexText(bytes) << Qt::endl;
        return bytes;
    }

private:
    QTextStream* trace;
};

class Session {
public:
    Session(const Invocation& inv, Environment& env)
        : inv(inv), env(env), tracing(env.link, inv.trace ? &env.err : nullptr), link(tracing)
    {
    }

    int run();

private:
    void send(const QByteArray& bytes) { link.write(bytes); }

    // Everything waiting; the link hands out at most readLimit bytes a call.
    QByteArray receive()
    {
        QByteArray all;
        for (int i = 0; i < 8; ++i) {
            const QByteArray part = link.readAll();
            if (part.isEmpty())
                break;
            all += part;
        }
        return all;
    }

    int baudRate() const
    {
        const auto settings = LinkSettings::parse(link.settings());
        return settings ? settings->baudRate() : LinkSettings::defaultBaudRate;
    }

    // Lets a written frame leave the port before the process goes on or ends.
    void drain(qsizetype bytes) { waitClock().waitMs(static_cast<int>(50 + bytes * 10000 / std::max(baudRate(), 1))); }

    int explicitPortNumber() const
    {
        return inv.portNumber ? *inv.portNumber : env.portNumberOfPath(inv.portPath);
    }

    void openPort(int port, int baud);
    bool probe(int port, int baud);
    bool connect(bool alwaysProbe);
    std::optional<FullStateReply> readFullState();
    // The raw full-state reply of an amplifier; nullopt when it did not answer.
    std::optional<QByteArray> readReply(int address);

    QString listPath() const
    {
        if (!inv.listPath.isEmpty())
            return inv.listPath;
        return env.defaultListPath ? env.defaultListPath() : DeviceListFile::defaultPath();
    }
    QString loadList(DeviceTable& table);
    // Everything unasked so far (waiting at opening and now) plus, when
    // asked for, what arrives while listening; applied as the home page
    // applies reports.
    void applyReports(DeviceTable& table, DeviceSession& session, std::optional<int> listenMs);
    void printRows(const DeviceTable& table, bool withNames);
    // The rows status polls: the device list's or the addresses given; an
    // exit code when there is nothing to poll.
    std::optional<int> statusTable(DeviceTable& table);
    // status --watch: one poll and what arrived unasked, as events.
    void watchRound(DeviceTable& table, DeviceSession& session, BusEvents& events, EventLog& log);
    void noteEvent(EventLog& log, const DeviceTable& table, int row, const QString& kind, const QString& text);
    void printEvent(const LogEvent& event);

    int ports();
    int detect();
    int search();
    int status();
    int watch();
    int log();
    int address();
    int set();
    int read();
    int copy();
    // Reads the amplifier for eq import and export; nullopt after saying why.
    std::optional<AmpParameters> readForEq(int& exitCode);
    int eqImport();
    int eqExport();
    int show();
    int showReceive();
    int showDiff();
    int showSend();
    int showNew();
    // The amplifiers a show command works on: those given, else `fallback`.
    QList<int> showAddresses(const QList<int>& fallback) const;
    // The show file and the amplifiers of it to work on, the bus connected;
    // an address the file lacks is said (missing). nullopt with exitCode
    // when the file cannot be read or nothing answers.
    struct ShowTargets {
        ShowFile::Show show;
        QList<int> addresses;
        bool missing = false;
    };
    std::optional<ShowTargets> showTargets(int& exitCode);
    void printState(const FullStateReply& reply);
    int monitor();
    int preset();
    int presetSave();
    int presetLoad();
    int slot();

    void printJson(const QJsonValue& value)
    {
        const QJsonDocument document = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
        env.out << QString::fromUtf8(document.toJson(QJsonDocument::Compact)) << Qt::endl;
    }

    const Invocation& inv;
    Environment& env;
    TracingLink tracing;
    SerialLink& link;
    QByteArray unasked;         // bytes nobody asked for, not yet applied
    bool probeAnswered = false; // the port detection's probe had an answer
    bool logNoticeShown = false;
};

void Session::openPort(int port, int baud)
{
    const bool fresh = !link.isOpen() || link.portNumber() != port;
    link.open(port, LinkSettings::textFor(baud));
    // What the system held for the port before this program took it are
    // reports the amplifiers sent unasked (or noise); search and status show
    // the reports.
    if (fresh)
        unasked += receive();
}

bool Session::probe(int port, int baud)
{
    openPort(port, baud);
    link.discardInput();
    send(Commands::portProbe(0));
    waitClock().waitMs(probeWaitMs);
    // Three bytes are enough: on a bus of several amplifiers the broadcast
    // probe's answers collide and only heads may arrive.
    probeAnswered = receive().size() >= 3;
    return probeAnswered;
}

// Opens the port the amplifiers answer on; false when none answered.
bool Session::connect(bool alwaysProbe)
{
    const QList<int> bauds = inv.baudRate ? QList<int>{*inv.baudRate} : probeBaudRates;
    if (inv.hasPort()) {
        const int port = explicitPortNumber();
        if (inv.baudRate && !alwaysProbe) {
            openPort(port, *inv.baudRate);
            return true;
        }
        for (int baud : bauds)
            if (probe(port, baud))
                return true;
        link.close();
        return false;
    }
    QList<SSerInfo> list = env.listPorts();
    for (const SSerInfo& info : list) {
        const int port = PortNumberFromName(info.displayName);
        try {
            for (int baud : bauds)
                if (probe(port, baud))
                    return true;
        } catch (const SerialError& e) {
            // A port that vanished or is busy is no reason to stop looking.
            if (inv.trace)
                env.err << e.text() << Qt::endl;
        }
        link.close();
    }
    return false;
}

QString Session::loadList(DeviceTable& table)
{
    // The home page takes an unreadable list for an empty one; saving over it
    // afterwards would lose it, so any list not read stops here before
    // anything is sent.
    return DeviceListFile::load(listPath(), table).error;
}

void Session::applyReports(DeviceTable& table, DeviceSession& session, std::optional<int> listenMs)
{
    unasked += receive();
    if (listenMs) {
        waitClock().waitMs(*listenMs);
        unasked += receive();
    }
    for (const QByteArray& frame : splitFrames(unasked))
        decodeHomeReport(frame, table, session.pollState());
    unasked.clear();
}

void Session::printRows(const DeviceTable& table, bool withNames)
{
    QJsonArray array;
    for (const DeviceRow& row : table.allRows()) {
        if (inv.json) {
            QJsonObject object{{"address", row.address},
                               {"connection", row.connection},
                               {"state", row.state},
                               {"stateName", statusName(row.status)}};
            if (withNames) {
                object.insert(QStringLiteral("number"), row.number);
                object.insert(QStringLiteral("name"), row.name);
            }
            array.append(object);
            continue;
        }
        QString line = withNames
                           ? QStringLiteral("%1: address %2, name \"%3\", %4").arg(row.number, row.address, row.name,
                                                                                   row.connection)
                           : QStringLiteral("address %1: %2").arg(row.address, row.connection);
        // A polled row that did not answer holds one blank.
        if (!row.state.trimmed().isEmpty())
            line += QStringLiteral(", ") + row.state;
        env.out << line << Qt::endl;
    }
    if (inv.json)
        printJson(array);
}

int Session::search()
{
    DeviceTable table;
    if (const QString error = loadList(table); !error.isEmpty()) {
        env.err << error << Qt::endl;
        return exitListFileError;
    }
    if (!connect(false)) {
        env.err << "no amplifier answered" << Qt::endl;
        return exitNoAnswer;
    }
    const int listed = table.size();
    if (!inv.json) {
        int unlisted = 0;
        for (int a = DeviceSession::firstSearchAddress; a <= DeviceSession::lastSearchAddress; ++a)
            unlisted += table.hasAddress(a) ? 0 : 1;
        env.err << "searching " << unlisted << " addresses, about "
                << (unlisted * DeviceSession::searchWaitMs + 500) / 1000 << " s" << Qt::endl;
    }
    DeviceSession session(link, table);
    // Reports that waited on the line would spoil the first reply.
    unasked += receive();
    session.searchDevices();
    applyReports(table, session, std::nullopt);
    const bool anyAnswer = probeAnswered || table.size() > listed;
    const QString saveError = DeviceListFile::save(listPath(), table);
    printRows(table, true);
    if (!saveError.isEmpty()) {
        env.err << saveError << Qt::endl;
        return exitListFileError;
    }
    if (!anyAnswer) {
        env.err << "no amplifier answered" << Qt::endl;
        return exitNoAnswer;
    }
    return exitSuccess;
}

std::optional<int> Session::statusTable(DeviceTable& table)
{
    if (inv.addresses.isEmpty()) {
        if (const QString error = loadList(table); !error.isEmpty()) {
            env.err << error << Qt::endl;
            return exitListFileError;
        }
        if (table.size() == 0) {
            env.err << "the device list " << listPath() << " is empty; run search first" << Qt::endl;
            return exitNoAnswer;
        }
    } else {
        for (int address : inv.addresses)
            table.appendRow(QString::number(address), QString(), DeviceTexts::notConnected(), QString());
    }
    return std::nullopt;
}

int Session::status()
{
    if (inv.watchSeconds)
        return watch();
    const bool ownList = inv.addresses.isEmpty();
    DeviceTable table;
    if (const auto code = statusTable(table))
        return *code;
    if (!connect(false)) {
        env.err << "no amplifier answered" << Qt::endl;
        return exitNoAnswer;
    }
    // A poll as on a freshly opened home page: no editor and no report of an
    // earlier run in this process has left a status text behind, which would
    // stand in for the replies' texts.
    sharedState().editorStatus.reset();
    DeviceSession session(link, table);
    unasked += receive();
    session.refreshDevices();
    applyReports(table, session, inv.listenMs);
    const QString saveError = ownList ? DeviceListFile::save(listPath(), table) : QString();
    printRows(table, false);
    if (!saveError.isEmpty()) {
        env.err << saveError << Qt::endl;
        return exitListFileError;
    }
    const auto& rows = table.allRows();
    const bool anyAnswer = std::any_of(rows.begin(), rows.end(),
                                       [](const DeviceRow& row) { return row.connection == DeviceTexts::connected(); });
    if (!anyAnswer) {
        env.err << "no amplifier answered" << Qt::endl;
        return exitNoAnswer;
    }
    return exitSuccess;
}

namespace {

// Set by SIGINT and SIGTERM during status --watch; the loop looks at it
// between its polls and in its waits.
volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

// The handlers for the time of a watch; the previous ones come back after.
class StopOnSignals {
public:
    StopOnSignals()
    {
        stopRequested = 0;
        previousInterrupt = std::signal(SIGINT, requestStop);
        previousTerminate = std::signal(SIGTERM, requestStop);
    }
    ~StopOnSignals()
    {
        std::signal(SIGINT, previousInterrupt);
        std::signal(SIGTERM, previousTerminate);
    }
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

    bool requested() const { return stopRequested != 0; }
    // Waits ms in short steps, so that a signal ends the wait soon; false
    // when one came.
    bool wait(qint64 ms) const
    {
        constexpr qint64 stepMs = 100;
        const qint64 end = waitClock().nowMs() + ms;
        for (qint64 left = ms; left > 0 && !requested(); left = end - waitClock().nowMs())
            waitClock().waitMs(static_cast<int>(std::min(left, stepMs)));
        return !requested();
    }

private:
    void (*previousInterrupt)(int) = nullptr;
    void (*previousTerminate)(int) = nullptr;
};

// Local time to the millisecond with its offset from UTC.
QString localTimeText(const QDateTime& time)
{
    const QDateTime local = time.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QJsonObject eventJson(const LogEvent& e)
{
    return QJsonObject{{"time", localTimeText(e.time)},
                       {"port", e.port},
                       {"baud", e.baud},
                       {"address", e.address ? QJsonValue(*e.address) : QJsonValue(QJsonValue::Null)},
                       {"name", e.name},
                       {"kind", e.kind},
                       {"text", e.text}};
}

// One line: local time, the amplifier, the kind, the text and the bus.
QString eventLine(const LogEvent& e)
{
    QString line = e.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    line += e.address ? QStringLiteral(" address %1").arg(*e.address) : QStringLiteral(" -");
    if (!e.name.isEmpty())
        line += QStringLiteral(" \"%1\"").arg(e.name);
    QString text = e.text;
    text.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
    line += QStringLiteral(" %1: %2").arg(e.kind, text);
    if (!e.port.isEmpty())
        line += QStringLiteral(" (%1, %2 baud)").arg(e.port).arg(e.baud);
    return line;
}

} // namespace

void Session::printEvent(const LogEvent& event)
{
    if (inv.json)
        printJson(eventJson(event));
    else
        env.out << eventLine(event) << Qt::endl;
}

void Session::noteEvent(EventLog& log, const DeviceTable& table, int row, const QString& kind, const QString& text)
{
    LogEvent e;
    e.time = QDateTime::currentDateTimeUtc();
    e.port = env.pathOfPortNumber ? env.pathOfPortNumber(link.portNumber()) : QString();
    e.baud = baudRate();
    e.address = table.addressValue(row);
    e.name = table.row(row).name;
    e.kind = kind;
    e.text = text.trimmed();
    // Printed only once committed: what a script saw is in the log. A log
    // that cannot be written stops nothing; it is said once.
    if (!log.record(e) && !logNoticeShown) {
        env.err << log.notice() << Qt::endl;
        logNoticeShown = true;
    }
    printEvent(e);
}

void Session::watchRound(DeviceTable& table, DeviceSession& session, BusEvents& events, EventLog& log)
{
    // Each poll as a freshly opened home page makes it (see status).
    sharedState().editorStatus.reset();
    const auto note = [&](int row, const QString& kind, const QString& text) { noteEvent(log, table, row, kind, text); };
    unasked += receive();
    session.refreshDevices();
    events.afterPoll(table, note);
    // What the amplifiers sent by themselves, as the home page applies it.
    unasked += receive();
    for (const QByteArray& frame : splitFrames(unasked)) {
        decodeHomeReport(frame, table, session.pollState());
        events.afterReport(frame, table, session.pollState(), note);
    }
    unasked.clear();
}

int Session::watch()
{
    DeviceTable table;
    if (const auto code = statusTable(table))
        return *code;
    if (!connect(false)) {
        env.err << "no amplifier answered" << Qt::endl;
        return exitNoAnswer;
    }
    EventLog log(EventLog::pathBeside(listPath()));
    if (!log.notice().isEmpty()) {
        env.err << log.notice() << Qt::endl;
        logNoticeShown = !log.isOpen();
    }
    DeviceSession session(link, table);
    BusEvents events;
    const StopOnSignals stop;
    for (int round = 0; !inv.count || round < *inv.count; ++round) {
        if (round > 0 && !stop.wait(static_cast<qint64>(*inv.watchSeconds) * 1000))
            break;
        if (stop.requested())
            break;
        watchRound(table, session, events, log);
    }
    return exitSuccess;
}

int Session::log()
{
    const QString path = EventLog::pathBeside(listPath());
    const QDateTime now = QDateTime::currentDateTime();
    EventLog::Filter filter;
    if (!inv.since.isEmpty())
        filter.since = parseLogTime(inv.since, now).value_or(QDateTime()).toUTC();
    if (!inv.until.isEmpty())
        filter.until = parseLogTime(inv.until, now).value_or(QDateTime()).toUTC();
    filter.address = inv.logAddress;
    const QString kind = inv.kind.toLower();
    if (kind == u"faults")
        filter.group = EventGroup::Faults;
    else if (kind == u"connection")
        filter.group = EventGroup::Connection;
    else if (kind == u"edits")
        filter.group = EventGroup::Edits;
    else
        filter.kindPrefix = inv.kind;
    QList<LogEvent> events;
    // No log yet is no error: nothing was recorded.
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        const EventLog log(path, EventLog::Access::ReadOnly);
        if (!log.isOpen()) {
            env.err << log.notice() << Qt::endl;
            return exitLogError;
        }
        events = log.events(filter);
    }
    // Oldest first, as a log file reads.
    std::reverse(events.begin(), events.end());
    if (inv.csv) {
        // Decoding drops the byte-order mark; the stream writes it again.
        QString text = QString::fromUtf8(EventLog::csv(events));
        if (!text.startsWith(QChar(QChar::ByteOrderMark)))
            text.prepend(QChar(QChar::ByteOrderMark));
        env.out << text;
        env.out.flush();
    } else if (inv.json) {
        QJsonArray array;
        for (const LogEvent& e : events)
            array.append(eventJson(e));
        printJson(array);
    } else {
        for (const LogEvent& e : events)
            env.out << eventLine(e) << Qt::endl;
    }
    if (events.isEmpty()) {
        env.err << "no event in " << path << " matches" << Qt::endl;
        return exitNothingFound;
    }
    return exitSuccess;
}

std::optional<FullStateReply> Session::readFullState()
{
    const std::optional<QByteArray> bytes = readReply(inv.address);
    if (!bytes)
        return std::nullopt;
    return decodeFullStateReply(*bytes);
}

std::optional<QByteArray> Session::readReply(int address)
{
    return ShowBus::receiveReply(link, address, baudRate());
}

int Session::ports()
{
    QJsonArray array;
    for (const SSerInfo& info : env.listPorts()) {
        if (inv.json)
            array.append(QJsonObject{{"number", PortNumberFromName(info.displayName)},
                                     {"displayName", info.displayName},
                                     {"devicePath", info.devicePath},
                                     {"viaUsb", info.viaUsb},
                                     {"description", info.description}});
        else
            env.out << info.displayName << Qt::endl;
    }
    if (inv.json)
        printJson(array);
    return exitSuccess;
}

int Session::detect()
{
    if (!connect(true)) {
        env.err << "no amplifier answered" << Qt::endl;
        return exitNoAnswer;
    }
    const int port = link.portNumber();
    const QString path = env.pathOfPortNumber(port);
    if (inv.json)
        printJson(QJsonObject{{"port", port}, {"devicePath", path}, {"baud", baudRate()}});
    else
        env.out << "port " << port << " (" << path << ") at " << baudRate() << " baud" << Qt::endl;
    return exitSuccess;
}

int Session::address()
{
    if (!connect(false)) {
        env.err << "no amplifier answered" << Qt::endl;
        return exitNoAnswer;
    }
    const QByteArray frame = Commands::addressChange(static_cast<DeviceAddress>(inv.address),
                                                     static_cast<DeviceAddress>(inv.newAddress));
    send(frame);
    drain(frame.size());
    return exitSuccess;
}

int Session::set()
{
    if (!connect(false)) {
        env.err << "no amplifier answered" << Qt::endl;
        return exitNoAnswer;
    }
    std::optional<int> gainTop = inv.gainTop;
    if (setNeedsGainTop(inv.set) && !gainTop) {
        const auto reply = readFullState();
        if (!reply || !reply->gainTop) {
            env.err << "amplifier " << inv.address << " did not report its gain range; give --gain-top" << Qt::endl;
            return exitNoAnswer;
        }
        gainTop = reply->gainTop;
    }
    const QByteArray frame = setFrame(inv.set, static_cast<DeviceAddress>(inv.address), gainTop);
    send(frame);
    drain(frame.size());
    if (inv.json)
        printJson(QJsonObject{{"sent", hexText(frame)}});
    return exitSuccess;
}

// A value as read prints as a number, a flag as true or false; one the reply
// did not carry (or the model does not know) as null.
QJsonValue valueJson(const FullStateReply& reply, const AmpParameters& parameters, const ParameterPath& path)
{
    if (!carries(reply, path))
        return QJsonValue(QJsonValue::Null);
    return ParameterTable::jsonValue(ParameterTable::of(path.key), ParameterTable::value(parameters, path));
}

QJsonValue channelJson(const FullStateReply& reply, const AmpParameters& parameters, int channel)
{
    QJsonObject object;
    QJsonArray bands;
    for (int b = 0; b < bandCount; ++b) {
        if (!carries(reply, {ParameterKey::BandType, channel, b})) {
            bands.append(QJsonValue(QJsonValue::Null));
            continue;
        }
        QJsonObject band;
        for (const Parameter& p : ParameterTable::all())
            if (p.scope == ParameterScope::Band)
                band.insert(QLatin1String(p.name), valueJson(reply, parameters, {p.key, channel, b}));
        bands.append(band);
    }
    for (const Parameter& p : ParameterTable::all())
        if (p.scope == ParameterScope::Channel)
            object.insert(QLatin1String(p.name), valueJson(reply, parameters, {p.key, channel, 0}));
    object.insert(QStringLiteral("bands"), bands);
    return object;
}

QString jsonText(const QJsonValue& v)
{
    if (v.isNull())
        return QStringLiteral("-");
    if (v.isBool())
        return v.toBool() ? QStringLiteral("yes") : QStringLiteral("no");
    return QString::number(v.toDouble());
}

int Session::read()
{
    if (!connect(false)) {
        env.err << "no amplifier answered" << Qt::endl;
        return exitNoAnswer;
    }
    const auto reply = readFullState();
    if (!reply) {
        env.err << "amplifier " << inv.address << " did not answer" << Qt::endl;
        return exitNoAnswer;
    }
    printState(*reply);
    return exitSuccess;
}

int Session::copy()
{
    if (!connect(false)) {
        env.err << "no amplifier answered" << Qt::endl;
        return exitNoAnswer;
    }
    const auto reply = readFullState();
    if (!reply) {
        env.err << "amplifier " << inv.address << " did not answer" << Qt::endl;
        return exitNoAnswer;
    }
    AmpParameters state;
    applyFullStateReply(*reply, state);
    const QStringList names = inv.copyParts.isEmpty()
        ? QStringList{"eq", "crossover", "limiter", "levels"}
        : inv.copyParts;
    QList<ChannelPart> parts;
    for (const QString& name : names)
        parts.append(name == u"eq"          ? ChannelPart::Eq
                     : name == u"crossover" ? ChannelPart::Crossover
                     : name == u"limiter"   ? ChannelPart::Limiter
                                            : ChannelPart::Levels);
    QList<int> targets;
    for (int to : inv.copyTo) {
        if (to > state.channelCount) {
            env.err << "amplifier " << inv.address << " has " << state.channelCount << " channels" << Qt::endl;
            return exitUsage;
        }
        targets.append(to - 1);
    }
    const AmpParameters wanted = copyChannel(state, inv.copyFrom - 1, targets, parts);
    const QList<QByteArray> frames =
        ParameterTable::framesToReach(state, wanted, static_cast<DeviceAddress>(inv.address));
    QJsonArray sent;
    for (const QByteArray& frame : frames) {
        send(frame);
        drain(frame.size());
        sent.append(hexText(frame));
    }
    // What the amplifier holds now, against what was meant.
    const auto after = readFullState();
    AmpParameters read;
    if (after)
        applyFullStateReply(*after, read);
    const QList<ParameterPath> left = after ? ParameterTable::differences(read, wanted) : QList<ParameterPath>{};
    if (inv.json) {
        QJsonArray differing;
        for (const ParameterPath& path : left)
            differing.append(ParameterTable::pathText(path));
        printJson(QJsonObject{{"sent", sent}, {"inSync", after.has_value() && left.isEmpty()}, {"differing", differing}});
    } else {
        env.out << "sent " << frames.size() << " frames" << Qt::endl;
        for (const ParameterPath& path : left)
            env.out << "differs: " << ParameterTable::pathText(path) << Qt::endl;
    }
    if (!after) {
        env.err << "amplifier " << inv.address << " did not answer the read-back" << Qt::endl;
        return exitNoAnswer;
    }
    return left.isEmpty() ? exitSuccess : exitNoAnswer;
}

int Session::show()
{
    if (inv.action == u"new")
        return showNew();
    if (inv.action == u"receive")
        return showReceive();
    return inv.action == u"diff" ? showDiff() : showSend();
}

QList<int> Session::showAddresses(const QList<int>& fallback) const
{
    return inv.addresses.isEmpty() ? fallback : inv.addresses;
}

int Session::showNew()
{
    ShowFile::Show show;
    show.baud = inv.baudRate.value_or(19200);
    const int gainTop = inv.gainTop.value_or(41);
    for (int address : inv.addresses) {
        show.devices.append({QString::number(address), QString()});
        show.put(ShowBus::defaultAmplifier(address, inv.showChannels, gainTop));
    }
    if (const QString error = ShowFile::write(inv.showPath, show); !error.isEmpty()) {
        env.err << "Cannot save " << inv.showPath << ": " << error << Qt::endl;
        return exitFileError;
    }
    env.out << "made " << inv.showPath << " with " << show.amplifiers.size() << " amplifiers" << Qt::endl;
    return exitSuccess;
}

int Session::showReceive()
{
    // An existing show keeps the entries of amplifiers that do not answer.
    ShowFile::Show show;
    if (QFileInfo::exists(inv.showPath)) {
        ShowFile::Decoded existing = ShowFile::read(inv.showPath);
        if (!existing.show) {
            env.err << "Cannot read " << inv.showPath << ": " << existing.error << Qt::endl;
            return exitFileError;
        }
        show = std::move(*existing.show);
    }
    QList<int> fromList;
    if (inv.addresses.isEmpty()) {
        DeviceTable table;
        if (const QString error = loadList(table); !error.isEmpty()) {
            env.err << error << Qt::endl;
            return exitListFileError;
        }
        show.devices.clear();
        for (const DeviceRow& row : table.allRows()) {
            show.devices.append({row.address, row.name});
            const int address = ValueMapping::leadingInteger(row.address);
            if (address >= 1 && address <= 254 && !fromList.contains(address))
                fromList.append(address);
        }
    }
    const QList<int> addresses = showAddresses(fromList);
    if (addresses.isEmpty()) {
        env.err << "no amplifier to read: the device list " << listPath() << " is empty" << Qt::endl;
        return exitNoAnswer;
    }
    if (!connect(false)) {
        env.err << "no amplifier answered" << Qt::endl;
        return exitNoAnswer;
    }
    show.baud = baudRate();
    const QList<int> silent = ShowBus::receive(link, show, addresses, baudRate(), [&](int index, int address) {
        env.err << "reading amplifier " << address << " (" << (index + 1) << " of " << addresses.size() << ")"
                << Qt::endl;
    });
    if (const QString error = ShowFile::write(inv.showPath, show); !error.isEmpty()) {
        env.err << "Cannot save " << inv.showPath << ": " << error << Qt::endl;
        return exitFileError;
    }
    for (int address : silent)
        env.err << "amplifier " << address << " did not answer; its entry is left as it was" << Qt::endl;
    env.out << "received " << (addresses.size() - silent.size()) << " of " << addresses.size() << " amplifiers into "
            << inv.showPath << Qt::endl;
    return silent.isEmpty() ? exitSuccess : exitNoAnswer;
}

std::optional<Session::ShowTargets> Session::showTargets(int& exitCode)
{
    const ShowFile::Decoded file = ShowFile::read(inv.showPath);
    if (!file.show) {
        env.err << "Cannot read " << inv.showPath << ": " << file.error << Qt::endl;
        exitCode = exitFileError;
        return std::nullopt;
    }
    QList<int> all;
    for (const ShowFile::Amplifier& amp : file.show->amplifiers)
        all.append(amp.address);
    if (!connect(false)) {
        env.err << "no amplifier answered" << Qt::endl;
        exitCode = exitNoAnswer;
        return std::nullopt;
    }
    ShowTargets targets{*file.show, {}, false};
    for (int address : showAddresses(all)) {
        if (targets.show.amplifier(address)) {
            targets.addresses.append(address);
        } else {
            env.err << "amplifier " << address << " is not in " << inv.showPath << Qt::endl;
            targets.missing = true;
        }
    }
    return targets;
}

int Session::showDiff()
{
    int exitCode = exitSuccess;
    const std::optional<ShowTargets> targets = showTargets(exitCode);
    if (!targets)
        return exitCode;
    QJsonArray differences;
    bool differs = false;
    bool silent = targets->missing;
    for (int address : targets->addresses) {
        const ShowFile::Amplifier* wanted = targets->show.amplifier(address);
        const std::optional<QList<ShowFile::Difference>> found = ShowBus::compare(link, *wanted, baudRate());
        if (!found) {
            env.err << "amplifier " << address << " did not answer" << Qt::endl;
            silent = true;
            continue;
        }
        for (const ShowFile::Difference& d : *found) {
            differs = true;
            const auto shown = [](const std::optional<double>& v) {
                return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
            };
            if (inv.json) {
                differences.append(QJsonObject{{"address", address},
                                               {"path", ParameterTable::pathText(d.path)},
                                               {"amplifier", shown(d.amplifier)},
                                               {"file", shown(d.show)}});
            } else {
                env.out << "amplifier " << address << ": " << ParameterTable::pathText(d.path) << ": "
                        << jsonText(shown(d.amplifier)) << " (show " << jsonText(shown(d.show)) << ")" << Qt::endl;
            }
        }
    }
    if (inv.json)
        printJson(differences);
    else if (!differs)
        env.out << "the amplifiers agree with " << inv.showPath << Qt::endl;
    return silent ? exitNoAnswer : (differs ? exitDiffers : exitSuccess);
}

int Session::showSend()
{
    int exitCode = exitSuccess;
    const std::optional<ShowTargets> targets = showTargets(exitCode);
    if (!targets)
        return exitCode;
    QJsonArray results;
    bool differs = false;
    bool silent = targets->missing;
    for (int address : targets->addresses) {
        const ShowFile::Amplifier* wanted = targets->show.amplifier(address);
        const ShowBus::SendOutcome outcome = ShowBus::send(link, *wanted, baudRate(), inv.full);
        if (!outcome.answered) {
            env.err << "amplifier " << address << " did not answer; nothing was sent to it" << Qt::endl;
            silent = true;
            continue;
        }
        const int sent = outcome.framesSent;
        differs = differs || !outcome.inSync();
        QJsonArray differing;
        for (const ShowFile::Difference& d : outcome.left)
            differing.append(ParameterTable::pathText(d.path));
        if (inv.json) {
            results.append(QJsonObject{{"address", address},
                                       {"sent", sent},
                                       {"inSync", outcome.inSync()},
                                       {"differing", differing}});
        } else if (!outcome.answeredAfter) {
            env.out << "amplifier " << address << ": sent " << sent << " frames; it did not answer the read-back"
                    << Qt::endl;
        } else if (outcome.left.isEmpty()) {
            env.out << "amplifier " << address << ": in sync (" << sent << (sent == 1 ? " frame)" : " frames)") << Qt::endl;
        } else {
            env.out << "amplifier " << address << ": still differs: "
                    << differing.toVariantList().value(0).toString() << (outcome.left.size() > 1 ? " …" : "")
                    << Qt::endl;
        }
    }
    if (inv.json)
        printJson(results);
    return silent ? exitNoAnswer : (differs ? exitDiffers : exitSuccess);
}

std::optional<AmpParameters> Session::readForEq(int& exitCode)
{
    exitCode = exitNoAnswer;
    if (!connect(false)) {
        env.err << "no amplifier answered" << Qt::endl;
        return std::nullopt;
    }
    const auto reply = readFullState();
    if (!reply) {
        env.err << "amplifier " << inv.address << " did not answer" << Qt::endl;
        return std::nullopt;
    }
    AmpParameters state;
    applyFullStateReply(*reply, state);
    if (inv.eqChannel > state.channelCount) {
        env.err << "amplifier " << inv.address << " has " << state.channelCount << " channels" << Qt::endl;
        exitCode = exitUsage;
        return std::nullopt;
    }
    return state;
}

namespace {

QString channelLetter(int channel) { return QString(QChar(u'A' + channel)); }

// "band  1  Peaking  63 Hz  -4.5 dB  Q 4.0  (line 5)"
QString bandLine(int band, const EqBand& values, int line)
{
    const EqFilterType type = values.bandType;
    QString text = QStringLiteral("band %1  %2").arg(band + 1, 2).arg(eqImportTypeName(type), -16);
    // Right-aligned, so that the bands read as columns.
    if (eqTypeUsesFrequency(type))
        text += QStringLiteral("  %1 Hz").arg(values.bandFrequencyHz, 5);
    if (eqTypeUsesGain(type))
        text += QStringLiteral("  %1 dB").arg(values.bandGainDb, 6, 'f', 2);
    if (eqTypeUsesQ(type))
        text += QStringLiteral("  Q %1").arg(values.bandQ, 0, 'f', 1);
    if (line > 0)
        text += QStringLiteral("  (line %1)").arg(line);
    // The type's padding is no part of a line that ends with it.
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

QJsonObject bandJson(int band, const EqBand& values, int line)
{
    const EqFilterType type = values.bandType;
    QJsonObject object{{"band", band + 1}, {"type", eqImportTypeName(type)},
                       {"line", line > 0 ? QJsonValue(line) : QJsonValue(QJsonValue::Null)}};
    if (eqTypeUsesFrequency(type))
        object.insert("frequencyHz", values.bandFrequencyHz);
    if (eqTypeUsesGain(type))
        object.insert("gainDb", values.bandGainDb);
    if (eqTypeUsesQ(type))
        object.insert("q", values.bandQ);
    return object;
}

} // namespace

int Session::eqImport()
{
    // The file is read before the port is opened: a refused file sends nothing.
    const EqFileStore::Loaded file = EqFileStore::load(inv.eqPath);
    if (!file.text) {
        env.err << file.problem << " Nothing was sent." << Qt::endl;
        return exitFileError;
    }
    int failed = exitSuccess;
    const std::optional<AmpParameters> state = readForEq(failed);
    if (!state)
        return failed;
    const int channel = inv.eqChannel - 1;
    const EqImportPlan plan = planEqImport(*file.text);
    AmpParameters wanted = *state;
    applyEqImport(wanted, channel, plan);
    QList<EqAdjustment> adjustments = plan.adjustments;
    if (state->channels[channel].eqBypass)
        adjustments.append({EqAdjustment::EqBypassOn, 0, 0, 0, 0, {}});
    const EqCurveDifference cost =
        compareWithFile(*file.text, eqBandSettingsOf(wanted.channels[channel]), eqComparisonColumns);
    const QList<QByteArray> frames =
        ParameterTable::framesToReach(*state, wanted, static_cast<DeviceAddress>(inv.address));

    QJsonArray sent;
    std::optional<FullStateReply> after;
    QList<ParameterPath> left;
    if (!inv.dryRun) {
        for (const QByteArray& frame : frames) {
            send(frame);
            drain(frame.size());
            sent.append(hexText(frame));
        }
        // What the amplifier holds now, against what was meant.
        after = readFullState();
        AmpParameters read;
        if (after) {
            applyFullStateReply(*after, read);
            left = ParameterTable::differences(read, wanted);
        }
    }
    const ChannelParameters& bands = wanted.channels[channel];
    if (inv.json) {
        QJsonArray bandList;
        for (int b = 0; b < bandCount; ++b)
            bandList.append(bandJson(b, bands.bands[std::size_t(b)], plan.bands[std::size_t(b)].line));
        QJsonArray adjustmentList;
        for (const EqAdjustment& a : adjustments)
            adjustmentList.append(QJsonObject{{"band", a.band > 0 ? QJsonValue(a.band) : QJsonValue(QJsonValue::Null)},
                                              {"line", a.line > 0 ? QJsonValue(a.line) : QJsonValue(QJsonValue::Null)},
                                              {"text", eqAdjustmentText(a)}});
        QJsonObject object{{"file", inv.eqPath},
                           {"address", inv.address},
                           {"channel", channelLetter(channel)},
                           {"bands", bandList},
                           {"adjustments", adjustmentList},
                           {"largestDifferenceDb", std::round(cost.largestDb * 100.0) / 100.0},
                           {"atFrequencyHz", static_cast<int>(std::lround(cost.atFrequencyHz))},
                           {"filtersNotCompared", cost.filtersNotCompared},
                           {"dryRun", inv.dryRun},
                           {"frames", static_cast<int>(frames.size())}};
        if (!inv.dryRun) {
            QJsonArray differing;
            for (const ParameterPath& path : left)
                differing.append(ParameterTable::pathText(path));
            object.insert("sent", sent);
            object.insert("inSync", after.has_value() && left.isEmpty());
            object.insert("differing", differing);
        }
        printJson(object);
    } else {
        env.out << inv.eqPath << " into amplifier " << inv.address << " CH" << channelLetter(channel) << ":" << Qt::endl;
        for (int b = 0; b < bandCount; ++b)
            env.out << "  " << bandLine(b, bands.bands[std::size_t(b)], plan.bands[std::size_t(b)].line) << Qt::endl;
        for (const EqAdjustment& a : adjustments)
            env.out << eqAdjustmentText(a) << Qt::endl;
        env.out << eqCurveDifferenceText(cost) << Qt::endl;
        if (inv.dryRun)
            env.out << "dry run: " << frames.size() << " frames would be sent" << Qt::endl;
        else
            env.out << "sent " << frames.size() << " frames" << Qt::endl;
        for (const ParameterPath& path : left)
            env.out << "differs: " << ParameterTable::pathText(path) << Qt::endl;
    }
    if (inv.dryRun)
        return exitSuccess;
    if (!after) {
        env.err << "amplifier " << inv.address << " did not answer the read-back" << Qt::endl;
        return exitNoAnswer;
    }
    return left.isEmpty() ? exitSuccess : exitNoAnswer;
}

int Session::eqExport()
{
    int failed = exitSuccess;
    const std::optional<AmpParameters> state = readForEq(failed);
    if (!state)
        return failed;
    const int channel = inv.eqChannel - 1;
    const EqTextFormat format = inv.eqFormat == u"apo" ? EqTextFormat::Apo : EqTextFormat::Rew;
    const QString origin = QStringLiteral("amplifier %1, CH%2").arg(inv.address).arg(channelLetter(channel));
    const QString problem = EqFileStore::save(inv.eqPath, writeEqText(format, state->channels[channel], origin));
    if (!problem.isEmpty()) {
        env.err << problem << Qt::endl;
        return exitFileError;
    }
    if (inv.json)
        printJson(QJsonObject{{"file", inv.eqPath}, {"format", inv.eqFormat}, {"bands", bandCount}});
    else
        env.out << "wrote the EQ bands of amplifier " << inv.address << " CH" << channelLetter(channel) << " to "
                << inv.eqPath << Qt::endl;
    return exitSuccess;
}

void Session::printState(const FullStateReply& state)
{
    const FullStateReply* reply = &state;
    AmpParameters parameters;
    applyFullStateReply(*reply, parameters);
    const int channels = std::clamp(parameters.channelCount, 1, channelCountMax);
    QJsonArray channelArray;
    for (int c = 0; c < channels; ++c)
        channelArray.append(channelJson(*reply, parameters, c));
    QJsonObject object{
        {"address", optionalValue(reply->address)},
        {"channelCount", optionalValue(reply->channelCount)},
        {"gainTop", optionalValue(reply->gainTop)},
        {"channels", channelArray},
    };
    for (const Parameter& p : ParameterTable::all())
        if (p.scope == ParameterScope::Amplifier)
            object.insert(QLatin1String(p.name), valueJson(*reply, parameters, {p.key, 0, 0}));
    if (inv.json) {
        printJson(object);
        return;
    }
    QStringList keys{QStringLiteral("address"), QStringLiteral("channelCount"), QStringLiteral("gainTop")};
    for (const Parameter& p : ParameterTable::all())
        if (p.scope == ParameterScope::Amplifier)
            keys << QLatin1String(p.name);
    for (const QString& key : keys)
        env.out << key << ": " << jsonText(object.value(key)) << Qt::endl;
    static const char* const names[] = {"CHA", "CHB", "CHC", "CHD"};
    for (int c = 0; c < channels; ++c) {
        const QJsonObject ch = channelArray.at(c).toObject();
        env.out << names[c] << ":";
        for (auto it = ch.begin(); it != ch.end(); ++it)
            if (it.key() != u"bands")
                env.out << ' ' << it.key() << '=' << jsonText(it.value());
        env.out << Qt::endl;
        const QJsonArray bands = ch.value(QLatin1String("bands")).toArray();
        for (int b = 0; b < bands.size(); ++b) {
            const QJsonObject band = bands.at(b).toObject();
            env.out << "  band " << (b + 1) << ": " << jsonText(band.value(QLatin1String("bandFrequencyHz"))) << " Hz "
                    << jsonText(band.value(QLatin1String("bandGainDb"))) << " dB Q "
                    << jsonText(band.value(QLatin1String("bandQ"))) << " type "
                    << jsonText(band.value(QLatin1String("bandType"))) << Qt::endl;
        }
    }
}

QJsonArray textList(const std::array<QString, 4>& values)
{
    QJsonArray array;
    for (const QString& v : values)
        array.append(v);
    return array;
}

// The readings as numbers: volts, amperes and degrees, the load judged from
// them, and the flag bytes (255: nothing flagged).
QJsonObject readingsJson(const MonitorReadings& r)
{
    const auto units = [](const std::array<int, 4>& hundredths) {
        QJsonArray array;
        for (int v : hundredths)
            array.append(v / 100.0);
        return array;
    };
    QJsonArray load;
    for (LoadState state : r.load) {
        static const char* const names[] = {"reading", "open", "overload", "unknown"};
        load.append(QLatin1String(names[static_cast<int>(state)]));
    }
    return QJsonObject{{"voltageV", units(r.voltageHundredths)},
                       {"currentA", units(r.currentHundredths)},
                       {"load", load},
                       {"temperatureC", units(r.temperatureHundredths)},
                       {"powerTemperatureC", r.powerTemperatureHundredths / 100.0},
                       {"clipFlags", r.clipFlags},
                       {"limitingFlags", r.limitingFlags},
                       {"protectionFlags", r.protectionFlags}};
}

int Session::monitor()
{
    if (!connect(false)) {
        env.err << "no amplifier answered" << Qt::endl;
        return exitNoAnswer;
    }
    MonitorTexts texts;
    int replies = 0;
    for (int poll = 0; !inv.count || poll < *inv.count; ++poll) {
        link.discardInput();
        send(Commands::monitorPoll(static_cast<DeviceAddress>(inv.address)));
        waitClock().waitMs(inv.intervalMs);
        // Each line reports its own reply: a reply without any flag turns a
        // standby into "Normal", a flagged one replaces it.
        const MonitorDecode decoded = decodeMonitorReply(receive(), {AmpStatusKind::Standby});
        if (decoded.discardInput)
            link.discardInput();
        if (!decoded.accepted)
            continue;
        ++replies;
        if (decoded.readingsComplete)
            texts = monitorTexts(decoded.readings, texts, englishUi);
        const QString status = statusWord(decoded.status, englishUi);
        if (inv.json) {
            printJson(QJsonObject{{"voltage", textList(texts.voltage)},
                                  {"current", textList(texts.current)},
                                  {"temperature", textList(texts.temperature)},
                                  {"powerTemperature", texts.powerTemperature},
                                  {"status", status},
                                  {"statusName", statusName(decoded.status)},
                                  {"values", readingsJson(decoded.readings)}});
            continue;
        }
        static const char* const names[] = {"CHA", "CHB", "CHC", "CHD"};
        for (size_t c = 0; c < 4; ++c)
            env.out << names[c] << ' ' << texts.voltage[c] << ' ' << texts.current[c] << ' ' << texts.temperature[c] << "; ";
        env.out << "power " << texts.powerTemperature << "; " << status << Qt::endl;
    }
    if (replies == 0) {
        env.err << "amplifier " << inv.address << " did not answer" << Qt::endl;
        return exitNoAnswer;
    }
    return exitSuccess;
}

int Session::preset()
{
    return inv.action == u"save" ? presetSave() : presetLoad();
}

int Session::presetSave()
{
    if (!connect(false)) {
        env.err << "no amplifier answered" << Qt::endl;
        return exitNoAnswer;
    }
    const PresetFile::SaveOutcome saved = PresetFile::save(link, static_cast<DeviceAddress>(inv.address),
                                                           inv.presetPath, fullStateWaitMs(baudRate()));
    switch (saved.result) {
    case PresetFile::SaveResult::Written:
        if (inv.json)
            printJson(QJsonObject{{"file", inv.presetPath}, {"bytes", saved.bytes}});
        else
            env.out << "saved " << saved.bytes << " bytes of amplifier " << inv.address << " to " << inv.presetPath
                    << Qt::endl;
        return exitSuccess;
    case PresetFile::SaveResult::NoAnswer:
        env.err << "amplifier " << inv.address << " did not answer; " << inv.presetPath << " is left as it was"
                << Qt::endl;
        return exitNoAnswer;
    case PresetFile::SaveResult::CannotOpen:
    case PresetFile::SaveResult::WriteFailed:
    case PresetFile::SaveResult::Cancelled:
        break;
    }
    env.err << "Cannot save " << inv.presetPath << ": " << saved.error << Qt::endl;
    return exitFileError;
}

int Session::presetLoad()
{
    // The file is read before the port is opened: an unreadable file sends nothing.
    const PresetFile::ReadOutcome file = PresetFile::read(inv.presetPath);
    if (!file.bytes) {
        env.err << PresetFile::openFailureText(file.errorCode) << inv.presetPath << ": " << file.reason << Qt::endl;
        return exitFileError;
    }
    if (!connect(false)) {
        env.err << "no amplifier answered" << Qt::endl;
        return exitNoAnswer;
    }
    const auto target = inv.toAll ? PresetFile::Target::AllAmplifiers : PresetFile::Target::ThisAmplifier;
    PresetFile::replayAndRequest(link, *file.bytes, static_cast<DeviceAddress>(inv.address), target);
    waitClock().waitMs(fullStateWaitMs(baudRate()));
    const FullStateReply reply = decodeFullStateReply(receive());
    if (!reply.startsWithHeader || !reply.hasAnySection()) {
        env.err << "the file was sent; amplifier " << inv.address << " did not answer the read-back" << Qt::endl;
        return exitNoAnswer;
    }
    printState(reply);
    return exitSuccess;
}

int Session::slot()
{
    // A name the code page cannot hold would be stored as question marks.
    if (inv.action == u"store" && CodePage::fromAnsi(CodePage::toAnsi(inv.slotName)) != inv.slotName) {
        env.err << "the name cannot be written in code page " << CodePage::ansiName() << Qt::endl;
        return exitUsage;
    }
    if (!connect(false)) {
        env.err << "no amplifier answered" << Qt::endl;
        return exitNoAnswer;
    }
    PresetSlots::SlotCommands commands(link, static_cast<DeviceAddress>(inv.address));
    const auto report = [this](const QString& text, const QJsonObject& json) {
        if (inv.json)
            printJson(json);
        else
            env.out << text << Qt::endl;
    };
    if (inv.action == u"name") {
        const auto name = commands.readName(inv.slot, slotNameWaitMs);
        if (!name) {
            env.err << "amplifier " << inv.address << " did not answer" << Qt::endl;
            return exitNoAnswer;
        }
        report(QStringLiteral("slot %1: \"%2\"").arg(inv.slot).arg(*name), {{"slot", inv.slot}, {"name", *name}});
        return exitSuccess;
    }
    if (inv.action == u"store") {
        const auto result = commands.store(inv.slot, inv.slotName);
        if (result == PresetSlots::StoreResult::NameTooLong) {
            // As in the dialog: the settings are stored, the name is not.
            env.err << "Input letters must be less than 16 characters less than 8" << Qt::endl;
            return exitUsage;
        }
        report(QStringLiteral("stored slot %1 as \"%2\"").arg(inv.slot).arg(inv.slotName),
               {{"slot", inv.slot}, {"name", inv.slotName}});
        return exitSuccess;
    }
    if (inv.action == u"recall") {
        commands.recall(inv.slot);
        report(QStringLiteral("recalled slot %1").arg(inv.slot), {{"recalled", inv.slot}});
        return exitSuccess;
    }
    commands.clearAll();
    report(QStringLiteral("cleared every slot"), {{"cleared", true}});
    return exitSuccess;
}

int Session::run()
{
    const QString& c = inv.command;
    if (c == u"ports")
        return ports();
    if (c == u"detect")
        return detect();
    if (c == u"search")
        return search();
    if (c == u"status")
        return status();
    if (c == u"address")
        return address();
    if (c == u"set")
        return set();
    if (c == u"read")
        return read();
    if (c == u"copy")
        return copy();
    if (c == u"show")
        return show();
    if (c == u"eq")
        return inv.action == u"import" ? eqImport() : eqExport();
    if (c == u"monitor")
        return monitor();
    if (c == u"preset")
        return preset();
    if (c == u"slot")
        return slot();
    if (c == u"log")
        return log();
    return exitUsage;
}

} // namespace

int run(const Invocation& invocation, Environment& environment)
{
    if (invocation.help) {
        environment.out << usageText();
        return exitSuccess;
    }
    if (invocation.version) {
        environment.out << "vx4ctl " << VX4_VERSION << Qt::endl;
        return exitSuccess;
    }
    try {
        Session session(invocation, environment);
        const int code = session.run();
        environment.link.close();
        return code;
    } catch (const SerialError& e) {
        environment.err << e.text() << Qt::endl;
        environment.link.close();
        return exitSerialError;
    }
}

} // namespace Cli
