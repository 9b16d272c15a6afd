// vx4ctl as a process against vx4-sim on its pseudo-terminal, in real time.

#include "eventlog/EventLog.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <signal.h>

namespace {

struct Simulator {
    QProcess process;
    QString path;

    explicit Simulator(const QStringList& arguments = {"--amps", "3", "--baud", "19200", "--channels", "2",
                                                       "--gain-top", "30"})
    {
        process.setProgram(QStringLiteral(VX4_SIM_PATH));
        process.setArguments(arguments);
        process.start();
        if (process.waitForStarted(2000) && process.waitForReadyRead(2000))
            path = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    ~Simulator()
    {
        process.terminate();
        process.waitForFinished(2000);
    }
    // A console command; its answer line.
    QByteArray command(const char* line)
    {
        process.write(QByteArray(line) + '\n');
        while (!process.canReadLine() && process.waitForReadyRead(2000)) {
        }
        return process.readLine().trimmed();
    }
};

struct Result {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Result vx4ctl(const QStringList& arguments)
{
    QProcess p;
    p.start(QStringLiteral(VX4CTL_PATH), arguments);
    Result r;
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

TEST(VxCtlProcess, SetsAndReadsAnAmplifierOnThePseudoTerminal)
{
    Simulator sim;
    ASSERT_FALSE(sim.path.isEmpty());

    Result set = vx4ctl({"--port", sim.path, "--baud", "19200", "--trace", "set", "3", "volume", "B", "-20"});
    EXPECT_EQ(set.exitCode, 0) << set.err.constData();
    EXPECT_TRUE(set.err.contains("> 55 06 03 10 02 03 EC 0A\n")) << set.err.constData();

    Result read = vx4ctl({"--port", sim.path, "--baud", "19200", "--json", "read", "3"});
    ASSERT_EQ(read.exitCode, 0) << read.err.constData();
    QJsonParseError error{};
    const QJsonObject o = QJsonDocument::fromJson(read.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << read.out.constData();
    EXPECT_EQ(o.value("gainTop").toInt(), 30);
    const QJsonArray channels = o.value("channels").toArray();
    ASSERT_EQ(channels.size(), 2);
    EXPECT_EQ(channels.at(1).toObject().value("volumeDb").toInt(), -20);

    // A usage error opens nothing, sends nothing.
    Result bad = vx4ctl({"--port", sim.path, "--baud", "19200", "--trace", "set", "3", "volume", "E", "-20"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_FALSE(bad.err.contains("> "));
}

// A fault report sent while no program had the port open waits in the
// pseudo-terminal; status shows it over the status reply's text.
TEST(VxCtlProcess, StatusShowsAFaultReportTheAmplifierSentBefore)
{
    Simulator sim({"--amps", "1,2,7", "--baud", "19200"});
    ASSERT_FALSE(sim.path.isEmpty());
    const auto states = [&] {
        // The baud rate found by probing, which drops what waited before it.
        const Result status = vx4ctl({"--port", sim.path, "--json", "status", "1", "2", "7"});
        EXPECT_EQ(status.exitCode, 0) << status.err.constData();
        QStringList texts;
        for (const QJsonValue& row : QJsonDocument::fromJson(status.out).array())
            texts << row[QLatin1String("address")].toString() + u'=' + row[QLatin1String("state")].toString();
        return texts.join(u' ').toStdString();
    };
    EXPECT_EQ(states(), "1=Normal 2=Normal 7=Normal");
    ASSERT_EQ(sim.command("fault 2 0xFE"), "ok");
    EXPECT_EQ(states(), "1=Normal 2=fault1 7=Normal");
    EXPECT_EQ(states(), "1=Normal 2=Normal 7=Normal"); // a report is shown once
}

// status --watch as a monitoring script runs it, with the event log beside
// a device list of amplifiers 1, 2 and 7.
struct Watch {
    Simulator sim{{"--amps", "1,2,7", "--baud", "19200"}};
    QTemporaryDir folder;
    QProcess process;
    QList<QJsonObject> printed;

    bool start()
    {
        QFile list(folder.filePath("save.txt"));
        if (sim.path.isEmpty() || !list.open(QIODevice::WriteOnly))
            return false;
        list.write("1 Stage L\r\n2 Stage R\r\n7 Sub\r\n");
        list.close();
        process.start(QStringLiteral(VX4CTL_PATH), {"--port", sim.path, "--baud", "19200", "--json", "status", "--watch",
                                                    "1", "--list", list.fileName()});
        return process.waitForStarted(2000);
    }
    // Reads printed events until there are count of them.
    bool waitForEvents(qsizetype count)
    {
        while (printed.size() < count) {
            if (!process.canReadLine() && !process.waitForReadyRead(5000))
                return false;
            while (process.canReadLine())
                printed << QJsonDocument::fromJson(process.readLine()).object();
        }
        return true;
    }
    // "kind@address" of the printed events and of those in the log.
    std::string printedKinds() const
    {
        QStringList words;
        for (const QJsonObject& o : printed)
            words << o.value("kind").toString() + QStringLiteral("@%1").arg(o.value("address").toInt());
        return words.join(u' ').toStdString();
    }
    std::string loggedKinds() const
    {
        const EventLog log(folder.filePath("events.sqlite"));
        QList<LogEvent> events = log.events({});
        std::reverse(events.begin(), events.end());
        QStringList words;
        for (const LogEvent& e : events)
            words << e.kind + QStringLiteral("@%1").arg(e.address.value_or(-1));
        return words.join(u' ').toStdString();
    }
};

// Killed outright between two events, the program leaves in the log every
// event it had printed.
TEST(VxCtlProcess, AWatchKilledBetweenEventsLeavesEveryPrintedEventInTheLog)
{
    Watch watch;
    ASSERT_TRUE(watch.start());
    ASSERT_TRUE(watch.waitForEvents(6)); // each answered and its state
    ASSERT_EQ(watch.sim.command("silent 7 on"), "ok");
    ASSERT_TRUE(watch.waitForEvents(7));
    watch.process.kill(); // SIGKILL: no handler, no clean-up
    ASSERT_TRUE(watch.process.waitForFinished(5000));
    while (watch.process.canReadLine())
        watch.printed << QJsonDocument::fromJson(watch.process.readLine()).object();

    EXPECT_EQ(watch.printed.last().value("kind").toString(), "connection.silent");
    EXPECT_EQ(watch.loggedKinds(), watch.printedKinds());
    EXPECT_EQ(watch.printedKinds(), "connection.answered@1 state.normal@1 connection.answered@2 state.normal@2 "
                                    "connection.answered@7 state.normal@7 connection.silent@7");

    // And vx4ctl log reads it back as it was printed.
    const Result read = vx4ctl({"--json", "log", "--list", watch.folder.filePath("save.txt"), "--address", "7"});
    ASSERT_EQ(read.exitCode, 0) << read.err.constData();
    const QJsonArray events = QJsonDocument::fromJson(read.out).array();
    ASSERT_EQ(events.size(), 3);
    EXPECT_EQ(events.at(2).toObject(), watch.printed.last());
}

TEST(VxCtlProcess, AWatchEndsCleanlyOnCtrlCWithItsEventsCommitted)
{
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        Watch watch;
        ASSERT_TRUE(watch.start());
        ASSERT_TRUE(watch.waitForEvents(6));
        ::kill(static_cast<pid_t>(watch.process.processId()), signal);
        ASSERT_TRUE(watch.process.waitForFinished(3000)); // the waits between polls notice it
        EXPECT_EQ(watch.process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(watch.process.exitCode(), 0) << watch.process.readAllStandardError().constData();
        while (watch.process.canReadLine())
            watch.printed << QJsonDocument::fromJson(watch.process.readLine()).object();
        EXPECT_EQ(watch.loggedKinds(), watch.printedKinds());
    }
}

} // namespace
