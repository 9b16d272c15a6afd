// The home page's bus search over a real pseudo-terminal of vx4-sim, in real
// time: with nothing answering it takes its 254 waits of 20 ms and no more.
// About five seconds.

#include "devices/DeviceSession.h"
#include "devices/DeviceTable.h"
#include "serial/CMscomm1.h"
#include "serial/PortRegistry.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <cstdio>

#include <gtest/gtest.h>

namespace {

QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "cli_pty_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// One line of the simulator's standard output, empty after timeoutMs.
QString readLine(QProcess& process, int timeoutMs = 2000)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!process.canReadLine() && elapsed.elapsed() < timeoutMs)
        process.waitForReadyRead(50);
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

TEST(PtySearch, WithNothingAnsweringTakesItsWaitsAndNoMore)
{
    application();
    QProcess sim;
    // --verbose logs every frame the amplifiers hear, so the queries can be counted.
    sim.start(QStringLiteral(VX4_SIM_PATH), {"--amps", "1", "--baud", "19200", "--verbose"});
    ASSERT_TRUE(sim.waitForStarted(2000));
    const QString path = readLine(sim);
    ASSERT_FALSE(path.isEmpty());
    sim.write("silent 1 on\n");
    ASSERT_EQ(readLine(sim), u"ok");

    CMscomm1 link;
    link.open(PortRegistry::numberOf(path), DeviceSession::settingsFor(QStringLiteral("19200")));
    DeviceTable table;
    DeviceSession session(link, table);
    QElapsedTimer elapsed;
    elapsed.start();
    ASSERT_TRUE(session.searchDevices());
    const double ms = static_cast<double>(elapsed.nsecsElapsed()) / 1e6;
    link.close();

    const double least = (DeviceSession::lastSearchAddress - DeviceSession::firstSearchAddress + 1)
                         * DeviceSession::searchWaitMs;
    std::printf("search of 254 silent addresses: %.1f ms (%+.2f %% over %.0f ms)\n", ms, (ms / least - 1) * 100, least);
    testing::Test::RecordProperty("searchMs", static_cast<int>(ms));
    EXPECT_GE(ms, least);
    // The bound is loose enough for a busy shared machine (the timers, the
    // pseudo-terminal and the simulator's process all take their turn), and
    // still catches a wait taken twice or a retry: either adds 20 ms or more
    // to each of the 254 addresses.
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizers slow every step between the waits further.
    EXPECT_LE(ms, least * 1.5);
#else
    EXPECT_LE(ms, least * 1.2);
#endif
    EXPECT_EQ(table.size(), 0);

    // Every query reached the line.
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(2000));
    const QString log = QString::fromLocal8Bit(sim.readAllStandardError());
    const QRegularExpression query(QStringLiteral("PC +55 06 [0-9A-F]{2} 17 00 02 00 [0-9A-F]{2}\\n"));
    EXPECT_EQ(log.count(query), 254);
}

} // namespace
