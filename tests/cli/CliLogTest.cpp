// vx4ctl's event log in process: status --watch over the simulated bus on a
// clock of the test's, and log reading what was recorded.

#include "CliCommands.h"

#include "RootPowers.h"
#include "app/SharedState.h"
#include "app/UiLanguage.h"
#include "clock/WaitClock.h"
#include "eventlog/EventLog.h"
#include "sim/SimAmplifier.h"
#include "sim/SimBus.h"
#include "sim/SimLink.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <sys/stat.h>

namespace {

// No real time passes; the test changes the bus when the watch's waits
// reach a given time.
class ScriptedClock final : public WaitClock {
public:
    ScriptedClock() { setWaitClock(this); }
    ~ScriptedClock() override { setWaitClock(nullptr); }

    qint64 nowMs() const override { return now; }
    void waitMs(int ms) override
    {
        now += std::max(ms, 0);
        while (!script.empty() && script.begin()->first <= now) {
            const auto step = script.begin()->second;
            script.erase(script.begin());
            step();
        }
    }
    bool isWaiting() const override { return false; }
    void callAfter(int, QObject*, std::function<void()>) override {}

    void at(qint64 ms, std::function<void()> step) { script.emplace(ms, std::move(step)); }

private:
    qint64 now = 0;
    std::multimap<qint64, std::function<void()>> script;
};

struct CliLog : testing::Test {
    ScriptedClock clock;
    SimBus bus{19200};
    SimLink link{&bus};
    QString outText;
    QString errText;
    QTextStream out{&outText};
    QTextStream err{&errText};
    QTemporaryDir folder;
    Cli::Environment env{link, out, err,
                         [] { return QList<SSerInfo>{{"/dev/simbus", {}, "COM1: sim (/dev/simbus)", false, "sim"}}; },
                         [](const QString&) { return 1; }, [](int) { return QStringLiteral("/dev/simbus"); },
                         [this] { return folder.filePath("save.txt"); }};

    CliLog()
    {
        setUiLanguage(englishUi);
        resetSharedState();
    }
    ~CliLog() override { resetSharedState(); }

    int run(const QString& line)
    {
        const auto parsed = Cli::parseArguments(QProcess::splitCommand(line));
        EXPECT_TRUE(parsed.ok()) << line.toStdString() << ": " << parsed.error.toStdString();
        outText.clear();
        errText.clear();
        return Cli::run(parsed.invocation, env);
    }

    QString listPath() const { return folder.filePath("save.txt"); }
    QString logPath() const { return folder.filePath("events.sqlite"); }
    void writeList(const QByteArray& bytes) const
    {
        QFile file(listPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // "kind@address" of each event the log holds, oldest first.
    std::string logged() const
    {
        EventLog log(logPath(), EventLog::Access::ReadOnly);
        QStringList words;
        const QList<LogEvent> events = log.events({});
        for (auto e = events.rbegin(); e != events.rend(); ++e)
            words << e->kind + QStringLiteral("@%1").arg(e->address.value_or(-1));
        return words.join(u' ').toStdString();
    }
    // The same of the printed JSON objects, one a line.
    std::string printedJson() const
    {
        QStringList words;
        for (const QString& line : outText.split(u'\n', Qt::SkipEmptyParts)) {
            const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
            words << o.value("kind").toString() + QStringLiteral("@%1").arg(o.value("address").toInt(-1));
        }
        return words.join(u' ').toStdString();
    }
};

TEST_F(CliLog, WatchRecordsWhatChangesAndPrintsEachEventOnce)
{
    bus.addAmplifier(1);
    SimAmplifier& two = bus.addAmplifier(2);
    writeList("1 Stage L\r\n2 \xce\xe8\xcc\xa8\r\n9 Gone\r\n"); // 舞台 in code page 936
    // Between the first and second poll: 1 falls silent, 2 goes into fault.
    clock.at(5000, [&] {
        bus.amplifier(1)->silent = true;
        two.protectionFlags = 0xFE;
    });
    // Between the second and third: 1 is back, 2 is well, and reports fault 2.
    clock.at(15000, [&] {
        bus.amplifier(1)->silent = false;
        two.protectionFlags = 0xFF;
        bus.sendFaultReport(2, 0xFD, clock.nowMs());
    });

    ASSERT_EQ(run("--port 1 --baud 19200 --json status --watch 10 --count 3"), Cli::exitSuccess)
        << errText.toStdString();
    const std::string expected = "connection.answered@1 state.normal@1 connection.answered@2 state.normal@2 "
                                 "connection.silent@9 "
                                 "connection.silent@1 state.fault@2 "
                                 "connection.answered@1 state.normal@1 state.normal@2 report.fault@2";
    EXPECT_EQ(printedJson(), expected);
    EXPECT_EQ(logged(), expected);

    const QList<LogEvent> events = EventLog(logPath(), EventLog::Access::ReadOnly).events({});
    ASSERT_FALSE(events.isEmpty());
    const LogEvent& report = events.first();
    EXPECT_EQ(report.text, "The amplifier reports a fault: fault2");
    EXPECT_EQ(report.name, QStringLiteral("舞台"));
    EXPECT_EQ(report.port, "/dev/simbus");
    EXPECT_EQ(report.baud, 19200);
    // Three polls, two waits of ten seconds between them.
    EXPECT_GE(clock.nowMs(), 20000);
    EXPECT_LT(clock.nowMs(), 25000);
}

TEST_F(CliLog, WatchGoesOnWhenTheLogCannotBeWritten)
{
    VX4_RUN_WITHOUT_ROOT_POWERS();
    bus.addAmplifier(1);
    writeList("1 Stage L\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0500), 0);
    const int code = run("--port 1 --baud 19200 status --watch 10 --count 2");
    ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
    EXPECT_EQ(code, Cli::exitSuccess);
    EXPECT_EQ(outText.count(u'\n'), 2) << outText.toStdString();
    EXPECT_TRUE(outText.contains("connection.answered")) << outText.toStdString();
    EXPECT_EQ(errText.count("cannot be written"), 1) << errText.toStdString();
}

struct CliLogReading : CliLog {
    QDateTime now = QDateTime::currentDateTimeUtc();

    void record(qint64 secondsAgo, std::optional<int> address, const char* kind, const QString& name = {})
    {
        EventLog log(logPath());
        LogEvent e;
        e.time = now.addSecs(-secondsAgo);
        e.port = "/dev/ttyUSB0";
        e.baud = 38400;
        e.address = address;
        e.name = name;
        e.kind = QString::fromLatin1(kind);
        e.text = e.kind.section(u'.', 1);
        ASSERT_TRUE(log.record(e));
    }
    void recordShow()
    {
        record(5 * 3600, 2, "connection.answered", "Stage L");
        record(4 * 3600, 2, "state.fault2", "Stage L");
        record(3 * 3600, 7, "report.temperatureProtection", QStringLiteral("舞台, \"右\""));
        record(2 * 3600, std::nullopt, "port.lost");
        record(1800, 7, "slot.recalled", QStringLiteral("舞台, \"右\""));
        record(60, 2, "state.normal", "Stage L");
    }
    std::string printedKinds() const
    {
        QStringList kinds;
        for (const QString& line : outText.split(u'\n', Qt::SkipEmptyParts))
            kinds << line.section(u' ', 2).section(u':', 0, 0).section(u' ', -1);
        return kinds.join(u' ').toStdString();
    }
};

TEST_F(CliLogReading, FiltersByAddressKindAndTimeOldestFirst)
{
    recordShow();
    const auto local = [this](qint64 secondsAgo) {
        return now.addSecs(-secondsAgo).toLocalTime().toString("yyyy-MM-ddTHH:mm:ss.zzz");
    };
    const struct {
        QString options;
        const char* kinds;
    } rows[] = {
        {"", "connection.answered state.fault2 report.temperatureProtection port.lost slot.recalled state.normal"},
        {"--address 2", "connection.answered state.fault2 state.normal"},
        {"--kind faults", "state.fault2 report.temperatureProtection"},
        {"--kind connection", "connection.answered port.lost"},
        {"--kind edits", "slot.recalled"},
        {"--kind state.", "state.fault2 state.normal"},
        {"--kind state.fault --address 2", "state.fault2"},
        {"--since -150m", "port.lost slot.recalled state.normal"},
        {"--until -150m", "connection.answered state.fault2 report.temperatureProtection"},
        {"--since " + local(4 * 3600) + " --until " + local(2 * 3600),
         "state.fault2 report.temperatureProtection port.lost"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(run("log --list " + listPath() + ' ' + row.options), Cli::exitSuccess) << row.options.toStdString();
        EXPECT_EQ(printedKinds(), row.kinds) << row.options.toStdString();
    }
    EXPECT_EQ(run("log --list " + listPath() + " --address 9"), Cli::exitNothingFound);
    EXPECT_TRUE(outText.isEmpty());
    EXPECT_EQ(run("log --list " + listPath() + " --kind power."), Cli::exitNothingFound);

    // A line tells who, what and where.
    run("log --list " + listPath() + " --kind report.");
    EXPECT_TRUE(outText.endsWith(QStringLiteral(" address 7 \"舞台, \"右\"\" report.temperatureProtection: "
                                                "temperatureProtection (/dev/ttyUSB0, 38400 baud)\n")))
        << outText.toStdString();
}

TEST_F(CliLogReading, PrintsJsonOrCsvThatReadsBack)
{
    recordShow();
    ASSERT_EQ(run("--json log --list " + listPath() + " --address 7"), Cli::exitSuccess);
    const QJsonArray array = QJsonDocument::fromJson(outText.toUtf8()).array();
    ASSERT_EQ(array.size(), 2) << outText.toStdString();
    const QJsonObject first = array.at(0).toObject();
    EXPECT_EQ(first.value("kind").toString(), "report.temperatureProtection");
    EXPECT_EQ(first.value("address").toInt(), 7);
    EXPECT_EQ(first.value("name").toString(), QStringLiteral("舞台, \"右\""));
    EXPECT_EQ(first.value("baud").toInt(), 38400);
    EXPECT_EQ(QDateTime::fromString(first.value("time").toString(), Qt::ISODateWithMs), now.addSecs(-3 * 3600));

    ASSERT_EQ(run("log --list " + listPath() + " --csv"), Cli::exitSuccess);
    const QByteArray bytes = outText.toUtf8();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF" "time,")) << bytes.left(20).toHex().constData();
    const auto events = EventLog::fromCsv(bytes);
    ASSERT_TRUE(events.has_value());
    QList<LogEvent> stored = EventLog(logPath(), EventLog::Access::ReadOnly).events({});
    std::reverse(stored.begin(), stored.end());
    EXPECT_EQ(*events, stored);

    // Nothing matches: an empty array, a header alone.
    EXPECT_EQ(run("--json log --list " + listPath() + " --address 9"), Cli::exitNothingFound);
    EXPECT_EQ(outText.trimmed(), "[]");
}

TEST_F(CliLogReading, NoLogIsNothingFoundAndABrokenOneIsLeftAsItIs)
{
    EXPECT_EQ(run("log --list " + listPath()), Cli::exitNothingFound);
    EXPECT_FALSE(QFile::exists(logPath())); // reading creates nothing

    QFile garbage(logPath());
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, '\x42'));
    garbage.close();
    EXPECT_EQ(run("log --list " + listPath()), Cli::exitLogError);
    EXPECT_TRUE(errText.contains(logPath())) << errText.toStdString();
    EXPECT_EQ(QDir(folder.path()).entryList({"events.sqlite*"}), QStringList{"events.sqlite"});
}

} // namespace
