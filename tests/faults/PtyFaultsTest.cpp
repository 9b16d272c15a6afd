// The windows on real ports, pseudo-terminals of vx4-sim: one that vanishes
// in the middle of a search and comes back, one that appears while the
// editor is connected, one that another program holds. Real time, a few
// seconds each.
#include "FaultsSupport.h"
#include "WindowControls.h"

#include "devices/ZhuYe.h"
#include "editor/CDorvaneDlg.h"
#include "editor/EditorWidgets.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include "serial/PortRegistry.h"

namespace {

struct Simulator {
    QProcess process;
    bool start(const QString& linkPath, const QString& amps = QStringLiteral("7"))
    {
        process.start(QStringLiteral(VX4_SIM_PATH),
                      {"--amps", amps, "--baud", "19200", "--wire-time", "--link", linkPath});
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

// Only the ports whose links lead somewhere now.
void listExisting(const QStringList& paths)
{
    SerialPorts::setPresentPortsSource([paths] {
        QList<SerialPorts::PresentPort> ports;
        for (const QString& path : paths)
            if (QFileInfo::exists(path))
                ports.append({path, QStringLiteral("vx4-sim"), false});
        return ports;
    });
}

TEST(PtyFaults, ASerialDeviceArrivingKeepsTheEditorsWorkingConnection)
{
    setUiLanguage(englishUi);
    resetSharedState();
    sharedState().selectedAddress = 7;
    sharedState().baudText = QStringLiteral("19200");
    UserDialogs::MessageRecorder messages;
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("vx4-first"));
    const QString second = dir.filePath(QStringLiteral("vx4-second"));
    listExisting({first, second});
    Simulator firstSim;
    ASSERT_TRUE(firstSim.start(first));

    CDorvaneDlg editor(chosenTarget());
    editor.show();
    LinkIcon* icon = control<LinkIcon>(editor, "Link");
    ASSERT_TRUE(QTest::qWaitFor([&] { return icon->isConnected(); }, 5000));
    const int port = editor.link().portNumber();
    EXPECT_EQ(messages.messages, QStringList{QStringLiteral("The connection is successful")});

    // A second adapter is plugged in (with an amplifier of the same address).
    Simulator secondSim;
    ASSERT_TRUE(secondSim.start(second));
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages.messages.size() == 2; }, 5000));
    EXPECT_EQ(messages.messages.last(), QStringLiteral("The connection is successful"));
    EXPECT_TRUE(editor.link().isOpen());
    EXPECT_EQ(editor.link().portNumber(), port);
    EXPECT_EQ(control<QLineEdit>(editor, "Connection status")->text(), QStringLiteral("Normal"));
    // The polls go on and are answered.
    QTest::qWait(2500);
    EXPECT_TRUE(icon->isConnected());
    EXPECT_EQ(editor.session().missedPolls(), 0);

    editor.close();
    SerialPorts::setPresentPortsSource({});
    resetSharedState();
}

TEST(PtyFaults, APortHeldByAnotherProgramIsLeftOutAndTheNextOneFound)
{
    setUiLanguage(englishUi);
    resetSharedState();
    UserDialogs::MessageRecorder messages;
    QTemporaryDir dir;
    const QString held = dir.filePath(QStringLiteral("vx4-held"));
    const QString free = dir.filePath(QStringLiteral("vx4-free"));
    listExisting({held, free});
    Simulator heldSim;
    Simulator freeSim;
    ASSERT_TRUE(heldSim.start(held, QStringLiteral("3")));
    ASSERT_TRUE(freeSim.start(free, QStringLiteral("7")));

    // Another program has the first port open (its lock file, its exclusive
    // hold) while the home page looks for amplifiers.
    QProcess holder;
    holder.start(QStringLiteral(VX4CTL_PATH),
                 {"--port", held, "--baud", "19200", "monitor", "3", "--count", "60", "--interval", "100"});
    ASSERT_TRUE(holder.waitForStarted(2000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return holder.canReadLine(); }, 3000)) << "the holder never polled";

    QList<SSerInfo> listed;
    ListSerialPorts(listed);
    ASSERT_EQ(listed.size(), 1);
    EXPECT_TRUE(listed[0].devicePath == free) << listed[0].devicePath.toStdString();

    const QString listPath = dir.filePath(QStringLiteral("save.txt"));
    ZhuYe home;
    home.setDeviceListPath(listPath);
    home.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return home.link().isOpen(); }, 5000)) << messages.messages.join(u'|').toStdString();
    EXPECT_EQ(PortRegistry::pathOf(home.link().portNumber()), free);
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join(u'|').toStdString();

    holder.kill();
    holder.waitForFinished(2000);
    SerialPorts::setPresentPortsSource({});
    resetSharedState();
}

} // namespace
