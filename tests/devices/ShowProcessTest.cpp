// Real time: a show prepared offline in the editor is sent from the home page
// to three amplifiers of vx4-sim on its pseudo-terminal, and vx4ctl then
// finds nothing that differs.
#include "DevicesTestSupport.h"
#include "ListedPorts.h"
#include "support/WindowControls.h"

#include "devices/ShowCompareWindow.h"
#include "devices/ZhuYe.h"
#include "editor/CDorvaneDlg.h"
#include "serial/SerialPorts.h"
#include "show/ShowFile.h"
#include "widgets/UserDialogs.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Simulator {
    QProcess process;
    QString path;

    Simulator()
    {
        process.setProgram(QStringLiteral(VX4_SIM_PATH));
        process.setArguments({"--amps", "1,2,7", "--baud", "19200"});
        process.start();
        if (process.waitForStarted(2000) && process.waitForReadyRead(2000))
            path = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    ~Simulator()
    {
        process.terminate();
        process.waitForFinished(2000);
    }
};

// Lets the event loop run until `done` holds or the time is up.
template <typename Done>
bool waitFor(Done done, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(20);
    return done();
}


TEST(ShowProcess, ShowPreparedOfflineIsSentToThreeAmplifiersAndVx4ctlFindsNoDifference)
{
    setUiLanguage(englishUi);
    resetSharedState();
    Simulator sim;
    ASSERT_FALSE(sim.path.isEmpty());
    listPorts([&] { return QList<SerialPorts::PresentPort>{{sim.path, QStringLiteral("vx4-sim"), true}}; });
    QTemporaryDir dir;
    const QString showPath = dir.filePath(QStringLiteral("hall.vx4show"));
    {
        QFile list(dir.filePath(QStringLiteral("save.txt")));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write("1 Hall A\r\n2 Hall B\r\n7 Stage\r\n");
    }
    UserDialogs::MessageRecorder messages;
    UserDialogs::setFileChooser([&](const UserDialogs::FileRequest&) { return showPath; });

    {
        ZhuYe home;
        home.setDeviceListPath(dir.filePath(QStringLiteral("save.txt")));
        home.show();
        ASSERT_TRUE(waitFor([&] { return home.link().isOpen(); })) << "the home page finds vx4-sim";

        // At the desk: each amplifier's first EQ band gets its own gain.
        home.setOffline(true);
        ASSERT_EQ(home.table().size(), 3);
        home.setEditorOpener([&](QWidget*, const EditorTarget& target) {
            CDorvaneDlg editor(target);
            editor.show();
            editor.startUp();
            editor.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
            QLineEdit* gain = control<QLineEdit>(editor, QStringLiteral("boost(dB)"));
            gain->setFocus();
            gain->selectAll();
            QTest::keyClicks(gain, QString::number(target.address));
            QTest::keyClick(gain, Qt::Key_Return);
            editor.close();
        });
        for (int row = 0; row < 3; ++row)
            home.openEditor(row);
        home.saveShow();
        ASSERT_FALSE(home.isShowChanged());

        // On site: back to the bus, and the show goes to all three.
        home.setOffline(false);
        ASSERT_TRUE(home.link().isOpen());
        messages.messages.clear();
        home.sendShow();
        ShowCompareWindow* window = home.compareWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->checkedAddresses(), (QList<int>{1, 2, 7}));
        window->sendChecked();
        EXPECT_EQ(messages.messages, QStringList{"Amplifier 1: in sync; frames sent: 1\n"
                                                 "Amplifier 2: in sync; frames sent: 1\n"
                                                 "Amplifier 7: in sync; frames sent: 1"});
    }
    UserDialogs::setFileChooser({});
    SerialPorts::setPresentPortsSource({});
    SerialPorts::setOpenTest({});

    QProcess diff;
    diff.start(QStringLiteral(VX4CTL_PATH), {"--port", sim.path, "--baud", "19200", "show", "diff", showPath});
    ASSERT_TRUE(diff.waitForFinished(10000));
    EXPECT_EQ(diff.exitCode(), 0) << diff.readAllStandardError().constData();
    EXPECT_TRUE(diff.readAllStandardOutput().contains("the amplifiers agree with")) << "nothing differs";
    resetSharedState();
}

} // namespace
