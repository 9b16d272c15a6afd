// vx4ctl as a process against vx4-sim on its pseudo-terminal, in real time.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

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

} // namespace
