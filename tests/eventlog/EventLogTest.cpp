#include "eventlog/EventLog.h"

#include "RootPowers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <time.h>

namespace {

QDateTime at(const char* utc) { return QDateTime::fromString(QString::fromLatin1(utc), Qt::ISODateWithMs).toUTC(); }

LogEvent event(const char* utc, std::optional<int> address, const char* kind, const QString& text = {})
{
    LogEvent e;
    e.time = at(utc);
    e.port = QStringLiteral("/dev/ttyUSB0");
    e.baud = 19200;
    e.address = address;
    e.name = address ? QStringLiteral("Amp %1").arg(*address) : QString();
    e.kind = QString::fromLatin1(kind);
    e.text = text.isEmpty() ? e.kind : text;
    return e;
}

// "kind@address" of each event, in the order given.
std::string kinds(const QList<LogEvent>& events)
{
    QStringList words;
    for (const LogEvent& e : events)
        words << e.kind + (e.address ? QStringLiteral("@%1").arg(*e.address) : QString());
    return words.join(u' ').toStdString();
}

QStringList brokenFiles(const QTemporaryDir& folder)
{
    return QDir(folder.path()).entryList({"events.sqlite.broken-*"}, QDir::AllEntries | QDir::System);
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct EventLogTest : testing::Test {
    QTemporaryDir folder;
    QString path() const { return folder.filePath(QLatin1String(EventLog::fileName)); }
};

TEST_F(EventLogTest, LivesBesideTheDeviceList)
{
    EXPECT_EQ(EventLog::pathBeside("/srv/show/save.txt"), "/srv/show/events.sqlite");
}

TEST_F(EventLogTest, RecordsFiltersAndGivesTheNewestFirst)
{
    EventLog log(path());
    ASSERT_TRUE(log.isOpen()) << log.notice().toStdString();
    EXPECT_TRUE(log.notice().isEmpty());
    QList<LogEvent> shown;
    QObject::connect(&log, &EventLog::recorded, [&shown](const LogEvent& e) { shown << e; });

    const QList<LogEvent> recorded{
        event("2026-12-09T21:10:00.000Z", 2, "connection.answered"),
        event("2026-12-09T21:13:05.123Z", 2, "state.fault2"),
        event("2026-12-09T21:13:05.500Z", 7, "report.temperatureProtection"),
        event("2026-12-09T21:20:00.000Z", std::nullopt, "port.lost"),
        event("2026-12-09T21:25:00.000Z", 7, "slot.recalled"),
        event("2026-12-09T21:30:00.000Z", 2, "state.normal"),
    };
    for (const LogEvent& e : recorded)
        ASSERT_TRUE(log.record(e));
    EXPECT_EQ(shown, recorded);
    EXPECT_EQ(log.count(), 6);

    const auto query = [&log](EventLog::Filter f) { return kinds(log.events(f)); };
    EXPECT_EQ(query({}), "state.normal@2 slot.recalled@7 port.lost report.temperatureProtection@7 state.fault2@2 "
                         "connection.answered@2");
    EventLog::Filter f;
    f.address = 2;
    EXPECT_EQ(query(f), "state.normal@2 state.fault2@2 connection.answered@2");
    f = {};
    f.group = EventGroup::Faults;
    EXPECT_EQ(query(f), "report.temperatureProtection@7 state.fault2@2");
    f.group = EventGroup::Connection;
    EXPECT_EQ(query(f), "port.lost connection.answered@2");
    f.group = EventGroup::Edits;
    EXPECT_EQ(query(f), "slot.recalled@7");
    f = {};
    f.kindPrefix = "state.";
    EXPECT_EQ(query(f), "state.normal@2 state.fault2@2");
    f.kindPrefix = "state.fault";
    EXPECT_EQ(query(f), "state.fault2@2");
    // With a limit the newest of each kind are merged.
    f.kindPrefix = "state.";
    f.limit = 1;
    EXPECT_EQ(query(f), "state.normal@2");
    f.limit = 5;
    f.until = at("2026-12-09T21:29:00.000Z");
    EXPECT_EQ(query(f), "state.fault2@2");
    f = {};
    f.kindPrefix = "s";
    f.limit = 2;
    f.address = 7;
    EXPECT_EQ(query(f), "slot.recalled@7");
    f.kindPrefix = "x.";
    EXPECT_EQ(query(f), "");
    f = {};
    f.since = at("2026-12-09T21:13:05.123Z"); // both bounds belong to the span
    f.until = at("2026-12-09T21:20:00.000Z");
    EXPECT_EQ(query(f), "port.lost report.temperatureProtection@7 state.fault2@2");
    f.limit = 2;
    EXPECT_EQ(query(f), "port.lost report.temperatureProtection@7");

    // Everything comes back as it went in: UTC to the millisecond, no address
    // where there was none.
    const QList<LogEvent> all = log.events({});
    ASSERT_EQ(all.size(), 6);
    EXPECT_EQ(all.at(4), recorded.at(1));
    EXPECT_EQ(all.at(4).time.timeSpec(), Qt::UTC);
    EXPECT_EQ(all.at(4).time.time().msec(), 123);
    EXPECT_FALSE(all.at(2).address.has_value());
}

TEST_F(EventLogTest, AnEventWithoutTimeIsRecordedNow)
{
    EventLog log(path());
    const QDateTime before = QDateTime::currentDateTimeUtc();
    LogEvent e;
    e.kind = "search.found";
    ASSERT_TRUE(log.record(e));
    const QList<LogEvent> all = log.events({});
    ASSERT_EQ(all.size(), 1);
    EXPECT_GE(all.first().time, before);
    EXPECT_LE(all.first().time, QDateTime::currentDateTimeUtc());
}

TEST_F(EventLogTest, KindsBelongToTheirGroups)
{
    const struct {
        const char* kind;
        EventGroup group;
    } rows[] = {
        {"state.fault", EventGroup::Faults},
        {"state.fault3", EventGroup::Faults},
        {"state.dcProtection", EventGroup::Faults},
        {"state.dcProtection4", EventGroup::Faults},
        {"state.temperatureLimit", EventGroup::Faults},
        {"state.temperatureProtection", EventGroup::Faults},
        {"state.clip", EventGroup::Faults},
        {"report.fault", EventGroup::Faults},
        {"report.temperatureProtection", EventGroup::Faults},
        {"editor.clip", EventGroup::Faults},
        {"editor.dcProtection", EventGroup::Faults},
        {"editor.temperatureLimit", EventGroup::Faults},
        {"connection.answered", EventGroup::Connection},
        {"connection.silent", EventGroup::Connection},
        {"port.found", EventGroup::Connection},
        {"port.lost", EventGroup::Connection},
        {"editor.connected", EventGroup::Connection},
        {"editor.lost", EventGroup::Connection},
        {"address.changed", EventGroup::Edits},
        {"device.deleted", EventGroup::Edits},
        {"editor.factoryReset", EventGroup::Edits},
        {"preset.loaded", EventGroup::Edits},
        {"preset.saved", EventGroup::Edits},
        {"slot.stored", EventGroup::Edits},
        {"slot.cleared", EventGroup::Edits},
        {"power.standby", EventGroup::Edits},
        {"eq.imported", EventGroup::Edits},
        {"eq.exported", EventGroup::Edits},
        {"state.normal", EventGroup::All},
        {"state.standby", EventGroup::All},
        {"search.found", EventGroup::All},
        {"error.serial", EventGroup::All},
    };
    for (const auto& row : rows) {
        for (EventGroup g : {EventGroup::Faults, EventGroup::Connection, EventGroup::Edits})
            EXPECT_EQ(inGroup(row.kind, g), g == row.group) << row.kind << " in " << static_cast<int>(g);
        EXPECT_TRUE(inGroup(row.kind, EventGroup::All)) << row.kind;
    }
}

TEST_F(EventLogTest, KeepsOnlyTheNewestEventsUpToItsBound)
{
    {
        EventLog log(path());
        log.setBound(10);
        for (int i = 1; i <= 25; ++i)
            ASSERT_TRUE(log.record(event("2026-12-09T21:00:00.000Z", i, "state.normal")));
        EXPECT_EQ(log.count(), 10);
        const QList<LogEvent> kept = log.events({});
        ASSERT_EQ(kept.size(), 10);
        EXPECT_EQ(kept.first().address, 25);
        EXPECT_EQ(kept.last().address, 16);
    }
    // A log over a smaller bound, as another program left it, shrinks as
    // events come.
    {
        EventLog log(path());
        log.setBound(3);
        ASSERT_TRUE(log.record(event("2026-12-09T21:00:01.000Z", 26, "state.normal")));
        EXPECT_EQ(log.count(), 3);
        EXPECT_EQ(kinds(log.events({})), "state.normal@26 state.normal@25 state.normal@24");
    }
}

TEST_F(EventLogTest, KeepsWhatWasRecordedAcrossARestartAndBetweenTwoWriters)
{
    {
        EventLog first(path());
        EventLog second(path()); // vx4ctl and the windows on one log
        ASSERT_TRUE(first.record(event("2026-12-09T21:00:00.000Z", 1, "connection.answered")));
        ASSERT_TRUE(second.record(event("2026-12-09T21:00:01.000Z", 2, "connection.silent")));
        EXPECT_EQ(first.count(), 2);
        EXPECT_EQ(kinds(second.events({})), "connection.silent@2 connection.answered@1");
    }
    EventLog again(path());
    EXPECT_TRUE(again.notice().isEmpty());
    EXPECT_EQ(kinds(again.events({})), "connection.silent@2 connection.answered@1");
}

TEST_F(EventLogTest, AGarbageFileIsMovedAsideWithItsCompanionsAndLoggingGoesOn)
{
    QByteArray garbage;
    for (int i = 0; i < 8192; ++i)
        garbage += static_cast<char>((i * 7919 + 13) % 251);
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(garbage);
        QFile wal(path() + "-wal");
        ASSERT_TRUE(wal.open(QIODevice::WriteOnly));
        wal.write("not a log either");
    }
    EventLog log(path());
    ASSERT_TRUE(log.isOpen());
    EXPECT_TRUE(log.notice().contains("moved aside")) << log.notice().toStdString();
    const QStringList broken = brokenFiles(folder);
    ASSERT_EQ(broken.size(), 2) << broken.join(' ').toStdString();
    EXPECT_TRUE(broken.at(0).contains(QRegularExpression("^events\\.sqlite\\.broken-\\d{8}T\\d{6}Z$")))
        << broken.at(0).toStdString();
    EXPECT_EQ(bytesOf(folder.filePath(broken.at(0))), garbage); // never deleted
    EXPECT_EQ(broken.at(1), broken.at(0) + "-wal");
    EXPECT_TRUE(log.notice().contains(broken.at(0))) << log.notice().toStdString();

    EXPECT_TRUE(log.record(event("2026-12-09T21:00:00.000Z", 1, "state.normal")));
    EXPECT_EQ(log.count(), 1);
}

TEST_F(EventLogTest, ALogDamagedBeyondItsFirstPageIsMovedAside)
{
    {
        EventLog log(path());
        for (int i = 0; i < 300; ++i)
            ASSERT_TRUE(log.record(event("2026-12-09T21:00:00.000Z", i % 250 + 1, "state.normal")));
    }
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_GT(f.size(), 4 * 4096);
    f.seek(4096);
    f.write(QByteArray(f.size() - 4096, '\x5A'));
    f.close();

    EventLog log(path());
    EXPECT_TRUE(log.notice().contains("moved aside")) << log.notice().toStdString();
    EXPECT_EQ(brokenFiles(folder).size(), 1);
    EXPECT_TRUE(log.record(event("2026-12-09T21:00:00.000Z", 1, "state.normal")));
    EXPECT_EQ(log.count(), 1);
}

TEST_F(EventLogTest, ANamedPipeOrAFolderInItsPlaceIsMovedAsideAtOnce)
{
    for (const char* what : {"pipe", "folder"}) {
        SCOPED_TRACE(what);
        QTemporaryDir here;
        const QString file = here.filePath("events.sqlite");
        if (QByteArray(what) == "pipe")
            ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        else
            ASSERT_TRUE(QDir().mkpath(file + "/inside"));
        QElapsedTimer timer;
        timer.start();
        // Read alone, it is refused and left where it is.
        {
            EventLog reader(file, EventLog::Access::ReadOnly);
            EXPECT_FALSE(reader.isOpen());
            EXPECT_TRUE(reader.notice().contains("no regular file")) << reader.notice().toStdString();
        }
        EventLog log(file);
        EXPECT_LT(timer.elapsed(), 2000);
        ASSERT_TRUE(log.isOpen()) << log.notice().toStdString();
        EXPECT_FALSE(log.notice().isEmpty());
        const QStringList broken = QDir(here.path()).entryList({"events.sqlite.broken-*"}, QDir::AllEntries | QDir::System);
        ASSERT_EQ(broken.size(), 1);
        EXPECT_EQ(QFileInfo(here.filePath(broken.first())).isDir(), QByteArray(what) == "folder");
        EXPECT_TRUE(log.record(event("2026-12-09T21:00:00.000Z", 1, "state.normal")));
    }
}

TEST_F(EventLogTest, AReaderNeitherCreatesNorRepairs)
{
    {
        EventLog reader(path(), EventLog::Access::ReadOnly);
        EXPECT_FALSE(reader.isOpen());
        EXPECT_FALSE(QFileInfo::exists(path()));
    }
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    EventLog reader(path(), EventLog::Access::ReadOnly);
    EXPECT_FALSE(reader.isOpen());
    EXPECT_FALSE(reader.notice().isEmpty());
    EXPECT_FALSE(reader.record(event("2026-12-09T21:00:00.000Z", 1, "state.normal")));
    EXPECT_TRUE(brokenFiles(folder).isEmpty());
    EXPECT_EQ(bytesOf(path()), QByteArray(4096, 'x'));
}

TEST_F(EventLogTest, AFolderThatCannotBeWrittenDropsEventsAndSaysSoOnce)
{
    VX4_RUN_WITHOUT_ROOT_POWERS();
    const QString locked = folder.filePath("locked");
    ASSERT_TRUE(QDir().mkpath(locked));
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0500), 0);
    {
        EventLog log(locked + "/events.sqlite");
        EXPECT_FALSE(log.isOpen());
        const QString notice = log.notice();
        EXPECT_TRUE(notice.contains("cannot be written")) << notice.toStdString();
        EXPECT_FALSE(log.record(event("2026-12-09T21:00:00.000Z", 1, "state.normal")));
        EXPECT_EQ(log.notice(), notice);
        EXPECT_TRUE(log.events({}).isEmpty());
    }
    ::chmod(QFile::encodeName(locked).constData(), 0700);
}

// Local time with a clock change, so that an offset left out would show.
struct CsvTest : EventLogTest {
    QByteArray zone = qgetenv("TZ");
    CsvTest()
    {
        qputenv("TZ", "Europe/Berlin");
        ::tzset();
    }
    ~CsvTest() override
    {
        if (zone.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", zone);
        ::tzset();
    }
};

TEST_F(CsvTest, RoundTripsCommasQuotesNewlinesChineseNamesAndTheRepeatedHour)
{
    QList<LogEvent> events{
        event("2026-12-09T21:13:05.123Z", 2, "state.fault2", "fault2"),
        event("2026-03-29T00:59:59.999Z", std::nullopt, "error.file", "Cannot save \"a,b.save\":\nno space"),
        event("2026-10-25T01:30:00.001Z", 254, "editor.lost", QStringLiteral("断开连接\r\nline two, \"quoted\"")),
        // 02:30 local as well, an hour before the one above
        event("2026-10-25T00:30:00.001Z", 254, "editor.connected", QStringLiteral("连接")),
    };
    events[0].name = QStringLiteral("舞台左, \"主\"扩声");
    events[1].port = QStringLiteral("COM3");
    events[1].baud = 0;
    events[2].name = QStringLiteral("\"");

    const QByteArray text = EventLog::csv(events);
    EXPECT_TRUE(text.startsWith("\xEF\xBB\xBF" "time,port,baud,address,name,kind,text\r\n")) << text.constData();
    EXPECT_TRUE(text.endsWith("\r\n"));
    EXPECT_TRUE(text.contains(",\"\"\"\",")) << text.constData(); // a lone quote, doubled and quoted
    const auto back = EventLog::fromCsv(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, events);

    // Through the database as well.
    EventLog log(path());
    for (const LogEvent& e : events)
        ASSERT_TRUE(log.record(e));
    QList<LogEvent> stored = log.events({});
    std::reverse(stored.begin(), stored.end());
    std::sort(events.begin(), events.end(), [](const LogEvent& a, const LogEvent& b) { return a.time < b.time; });
    EXPECT_EQ(EventLog::fromCsv(EventLog::csv(stored)), events);
}

TEST_F(CsvTest, TimesAreLocalToTheMillisecondWithTheirOffset)
{
    const QByteArray text = EventLog::csv({event("2026-12-09T21:13:05.123Z", 2, "state.fault2"),
                                           event("2026-10-25T00:30:00.001Z", 2, "state.normal")});
    const QStringList lines = QString::fromUtf8(text).split("\r\n");
    EXPECT_TRUE(lines.at(1).startsWith("2026-12-09T22:13:05.123+01:00,")) << lines.at(1).toStdString();
    EXPECT_TRUE(lines.at(2).startsWith("2026-10-25T02:30:00.001+02:00,")) << lines.at(2).toStdString();
}

TEST_F(CsvTest, MalformedTextIsRefused)
{
    const QByteArray header = "time,port,baud,address,name,kind,text\r\n";
    const QByteArray good = "2026-12-09T21:13:05.123+00:00,COM3,19200,2,a,state.normal,Normal\r\n";
    ASSERT_TRUE(EventLog::fromCsv(header + good).has_value());
    EXPECT_EQ(EventLog::fromCsv(header)->size(), 0);
    const char* bad[] = {
        "2026-12-09T21:13:05.123+00:00,COM3,19200,2,\"a,state.normal,Normal\r\n",  // quote left open
        "2026-12-09T21:13:05.123+00:00,COM3,19200,2,a\"b\",state.normal,Normal\r\n", // stray quote
        "2026-12-09T21:13:05.123+00:00,COM3,19200,2,\"a\"b,state.normal,Normal\r\n", // text after a quote
        "2026-12-09T21:13:05.123+00:00,COM3,19200,2,a,state.normal\r\n",             // a field short
        "yesterday,COM3,19200,2,a,state.normal,Normal\r\n",
        "2026-12-09T21:13:05.123+00:00,COM3,fast,2,a,state.normal,Normal\r\n",
        "2026-12-09T21:13:05.123+00:00,COM3,19200,two,a,state.normal,Normal\r\n",
    };
    for (const char* line : bad)
        EXPECT_FALSE(EventLog::fromCsv(header + line).has_value()) << line;
    EXPECT_FALSE(EventLog::fromCsv("when,what\r\n").has_value());
    EXPECT_FALSE(EventLog::fromCsv("").has_value());
}

TEST_F(EventLogTest, TheProcessLogTakesTheEventsOfTheWindows)
{
    EXPECT_EQ(eventLog(), nullptr);
    logEvent(event("2026-12-09T21:00:00.000Z", 1, "state.normal")); // no log: nothing happens
    {
        EventLog log(path());
        setEventLog(&log);
        EXPECT_EQ(eventLog(), &log);
        logEvent(event("2026-12-09T21:00:00.000Z", 1, "state.normal"));
        EXPECT_EQ(log.count(), 1);
    }
    EXPECT_EQ(eventLog(), nullptr); // a log that is gone is no longer written to
}

} // namespace
