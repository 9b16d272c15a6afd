// The home page on a real port: a pseudo-terminal of vx4-sim that vanishes
// in the middle of a search and comes back. Real time, a few seconds.
#include "FaultsSupport.h"

#include "devices/ZhuYe.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QTimer>

namespace {

struct Simulator {
    QProcess process;
    bool start(const QString& linkPath)
    {
        process.start(QStringLiteral(VX4_SIM_PATH),
                      {"--amps", "7", "--baud", "19200", "--wire-time", "--link", linkPath});
        if (!process.waitForStarted(2000))
            return false;
        QElapsedTimer elapsed;
        elapsed.start();
        while (!process.canReadLine() && elapsed.elapsed() < 3000)
            process.waitForReadyRead(50);
        return process.canReadLine();
    }
    ~Simulator()
    {
        process.kill();
        process.waitForFinished(2000);
    }
};

TEST(PtyFaults, PortVanishingMidSearchIsSaidOnceAndTheHomePageComesBackWithIt)
{
    setUiLanguage(englishUi);
    resetSharedState();
    UserDialogs::MessageRecorder messages;
    QTemporaryDir dir;
    const QString linkPath = dir.filePath(QStringLiteral("vx4-pty"));
    // Only the simulator's port, while its link leads somewhere.
    SerialPorts::setPresentPortsSource([&] {
        QList<SerialPorts::PresentPort> ports;
        if (QFileInfo::exists(linkPath))
            ports.append({linkPath, QStringLiteral("vx4-sim"), false});
        return ports;
    });
    const QString listPath = dir.filePath(QStringLiteral("save.txt"));
    writeFile(listPath, "7 Desk\r\n");

    auto sim = std::make_unique<Simulator>();
    ASSERT_TRUE(sim->start(linkPath));
    ZhuYe home;
    home.setDeviceListPath(listPath);
    home.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return home.link().isOpen(); }, 5000));

    // The far end goes while the search waits for an answer.
    QTimer::singleShot(500, [&] { sim->process.kill(); });
    QElapsedTimer searching;
    searching.start();
    home.searchDevices();
    EXPECT_LT(searching.elapsed(), 4000) << "the search went on after the port was lost";
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].contains(QStringLiteral("was lost"))) << messages.messages[0].toStdString();
    EXPECT_FALSE(home.link().isOpen());
    EXPECT_EQ(readFile(listPath), QByteArray("7 Desk\r\n"));
    sim->process.waitForFinished(2000);

    // While it is gone nothing more is said; when it is back the ports are
    // tried again and the next poll finds the amplifier.
    QTest::qWait(1500);
    sim = std::make_unique<Simulator>();
    ASSERT_TRUE(sim->start(linkPath));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return home.link().isOpen()
                && home.table().text(0, DeviceTable::ConnectionColumn) == QStringLiteral("The connection");
        },
        8000));
    EXPECT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(readFile(listPath), QByteArray("7 Desk\r\n"));

    SerialPorts::setPresentPortsSource({});
    resetSharedState();
}

} // namespace
