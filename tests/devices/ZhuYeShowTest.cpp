// The home page's show files on a simulated bus and the virtual clock:
// receive, open, compare, send, refusals and offline work.
#include "DevicesTestSupport.h"
#include "ListedPorts.h"
#include "support/WindowControls.h"

#include "clock/VirtualClock.h"
#include "devices/ShowCompareWindow.h"
#include "devices/ZhuYe.h"
#include "editor/CDorvaneDlg.h"
#include "protocol/Commands.h"
#include "protocol/ParameterTable.h"
#include "serial/SerialLinkFactory.h"
#include "serial/SerialPorts.h"
#include "show/ShowBus.h"
#include "show/ShowFile.h"
#include "sim/SimBus.h"
#include "sim/SimLink.h"
#include "widgets/CListCtrlCl.h"
#include "widgets/UserDialogs.h"

#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

constexpr int bandGainGroup = 0x31; // a band's frequency and gain

struct HomeShowTest : EnglishFixture {
    ScopedVirtualClock clock;
    SimBus bus{19200};
    QTemporaryDir dir;
    UserDialogs::MessageRecorder messages;
    QList<QByteArray> heard;
    QList<SerialPorts::PresentPort> present{{QStringLiteral("/dev/vx4-show-test"), QStringLiteral("Test bus"), true}};
    int port = 0;
    QString chosen;                               // what the file dialog answers
    QList<UserDialogs::FileRequest> fileRequests; // what it was asked
    UserDialogs::SaveAnswer saveAnswer = UserDialogs::SaveAnswer::Discard;
    QStringList askedToSave;
    std::unique_ptr<ZhuYe> home;

    HomeShowTest()
    {
        port = listPorts([this] { return present; }).value(0);
        setSerialLinkMaker([this](QObject* parent) {
            auto link = std::make_unique<SimLink>(nullptr, parent);
            link->addPort(port, &bus);
            return link;
        });
        QObject::connect(&bus, &SimBus::frameHeard, [this](const QByteArray& f) { heard.append(f); });
        UserDialogs::setFileChooser([this](const UserDialogs::FileRequest& request) {
            fileRequests.append(request);
            return chosen;
        });
        UserDialogs::setSaveAnswerer([this](const QString& text) {
            askedToSave.append(text);
            return saveAnswer;
        });
    }
    ~HomeShowTest() override
    {
        home.reset();
        UserDialogs::setSaveAnswerer({});
        UserDialogs::setFileChooser({});
        setSerialLinkMaker({});
        SerialPorts::setPresentPortsSource({});
        SerialPorts::setOpenTest({});
    }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    void open(const QByteArray& savedList)
    {
        QFile list(path("save.txt"));
        EXPECT_TRUE(list.open(QIODevice::WriteOnly));
        list.write(savedList);
        list.close();
        home = std::make_unique<ZhuYe>();
        home->setDeviceListPath(path("save.txt"));
        home->show();
        clock->runDue();
    }

    ShowFile::Show read(const QString& file) const
    {
        const ShowFile::Decoded d = ShowFile::read(file);
        EXPECT_TRUE(d.show) << d.error.toStdString();
        return d.show.value_or(ShowFile::Show{});
    }

    // Frames heard that change something: neither reads nor polls.
    QList<QByteArray> changesHeard() const
    {
        QList<QByteArray> changes;
        for (const QByteArray& f : heard) {
            const auto a = static_cast<DeviceAddress>(static_cast<unsigned char>(f.at(2)));
            if (f != Commands::fullStateRequest(a) && f != Commands::statusQuery(a) && f != Commands::portProbe(a))
                changes.append(f);
        }
        return changes;
    }

    // The texts under an amplifier's row of the compare window.
    QStringList differenceRows(int address) const
    {
        QStringList rows;
        const QTreeWidget* tree = home->compareWindow()->list();
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = tree->topLevelItem(i);
            if (item->text(ShowCompareWindow::AddressColumn) != QString::number(address))
                continue;
            for (int c = 0; c < item->childCount(); ++c)
                rows.append(item->child(c)->text(ShowCompareWindow::ParameterColumn) + QStringLiteral(": ")
                            + item->child(c)->text(ShowCompareWindow::AmplifierColumn) + QStringLiteral(" / ")
                            + item->child(c)->text(ShowCompareWindow::ShowColumn));
        }
        return rows;
    }

    // A key of the home page, as the user presses it on the active window.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        home->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(home.get()));
        QTest::keyClick(home.get(), key, modifiers);
    }

    // Receives the listed amplifiers into a file, as Ctrl+S does.
    void saveFromBus(const char* name = "bus.vx4show")
    {
        chosen = path(name);
        press(Qt::Key_S);
    }
};

TEST_F(HomeShowTest, SaveShowReceivesEveryListedAmplifierAndReportsTheSilentOne)
{
    SimAmplifier& one = bus.addAmplifier(1);
    bus.addAmplifier(2, 2, 30);
    one.parameters().channels[1].volumeDb = -20;
    open("1 Hall A\r\n2 Hall B\r\n9 \r\n");
    int highest = 0;
    QObject::connect(home->progressBar(), &QProgressBar::valueChanged, [&](int v) { highest = std::max(highest, v); });
    messages.messages.clear();

    saveFromBus();
    ASSERT_EQ(fileRequests.size(), 1);
    EXPECT_EQ(fileRequests[0].kind, UserDialogs::FileRequest::Save);
    EXPECT_EQ(fileRequests[0].defaultSuffix, QStringLiteral("vx4show"));
    EXPECT_TRUE(fileRequests[0].filter.contains(QStringLiteral("*.vx4show")));
    const ShowFile::Show saved = read(path("bus.vx4show"));
    EXPECT_EQ(saved.devices, (QList<ShowFile::Device>{{"1", "Hall A"}, {"2", "Hall B"}, {"9", ""}}));
    ASSERT_EQ(saved.amplifiers.size(), 2);
    EXPECT_EQ(saved.amplifier(1)->parameters.channels[1].volumeDb, -20);
    EXPECT_EQ(saved.amplifier(2)->parameters.channelCount, 2);
    EXPECT_EQ(saved.amplifier(1)->reply, one.fullStateReply());
    EXPECT_EQ(highest, 2) << "the progress bar went over the three amplifiers";
    EXPECT_FALSE(home->progressBar()->isVisible());
    EXPECT_EQ(messages.messages,
              QStringList{"These amplifiers did not answer: 9. Their entries in the show are left as they were."});
    EXPECT_TRUE(home->windowTitle().endsWith(QStringLiteral(" - bus.vx4show"))) << home->windowTitle().toStdString();
    EXPECT_FALSE(home->isShowChanged());
    EXPECT_FALSE(home->isBusy());

    // Again with amplifier 2 silent: its entry stays as the file had it.
    bus.amplifier(2)->silent = true;
    bus.amplifier(2)->parameters().channels[0].mute = true;
    one.parameters().channels[1].volumeDb = -30;
    saveFromBus();
    const ShowFile::Show again = read(path("bus.vx4show"));
    EXPECT_EQ(again.amplifier(1)->parameters.channels[1].volumeDb, -30);
    EXPECT_FALSE(again.amplifier(2)->parameters.channels[0].mute);
}

TEST_F(HomeShowTest, CompareListsExactlyTheChangedPathsPerAmplifier)
{
    SimAmplifier& one = bus.addAmplifier(1);
    SimAmplifier& two = bus.addAmplifier(2);
    bus.addAmplifier(3);
    open("1 Hall A\r\n2 Hall B\r\n3 Hall C\r\n");
    saveFromBus();
    // Opened again from the file, as a person would the next day.
    home = nullptr;
    open("1 Hall A\r\n2 Hall B\r\n3 Hall C\r\n");
    chosen = path("bus.vx4show");
    press(Qt::Key_O);
    ASSERT_NE(home->currentShow(), nullptr);
    EXPECT_FALSE(home->isOffline()) << "a port answers";

    one.parameters().channels[0].bands[3].gainCentiDb = 450;
    two.parameters().channels[1].mute = true;
    two.parameters().channels[2].hpType = 4;
    home->compareWithShow();
    ASSERT_NE(home->compareWindow(), nullptr);
    EXPECT_EQ(differenceRows(1), QStringList{"bandGainDb CHA band 4: 4.5 / 0"});
    EXPECT_EQ(differenceRows(2), (QStringList{"mute CHB: 1 / 0", "hpType CHC: 4 24dB_Bworth / 0 Bypass"}));
    EXPECT_TRUE(differenceRows(3).isEmpty());
    // Comparing checks nothing: nothing goes out unless the user says so.
    EXPECT_TRUE(home->compareWindow()->checkedAddresses().isEmpty());
    EXPECT_FALSE(home->compareWindow()->sendButton()->isEnabled());
    EXPECT_TRUE(changesHeard().isEmpty());
}

TEST_F(HomeShowTest, SendSendsOneEqFrameToTheCheckedAmplifierOnly)
{
    SimAmplifier& one = bus.addAmplifier(1);
    SimAmplifier& two = bus.addAmplifier(2);
    open("1 Hall A\r\n2 Hall B\r\n");
    saveFromBus();
    one.parameters().channels[0].bands[3].gainCentiDb = 450;
    two.parameters().channels[1].volumeDb = -10;

    home->sendShow();
    ShowCompareWindow* window = home->compareWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->checkedAddresses(), (QList<int>{1, 2})) << "those that differ";
    window->setChecked(2, false);
    heard.clear();
    messages.messages.clear();
    QTest::mouseClick(window->sendButton(), Qt::LeftButton);

    const QList<QByteArray> changes = changesHeard();
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0].at(2), 1);
    EXPECT_EQ(static_cast<unsigned char>(changes[0].at(3)), bandGainGroup);
    for (const QByteArray& f : heard)
        EXPECT_NE(f.at(2), 2) << "the unchecked amplifier hears nothing: " << f.toHex(' ').toStdString();
    EXPECT_EQ(one.parameters().channels[0].bands[3].gainCentiDb, 0);
    EXPECT_EQ(two.parameters().channels[1].volumeDb, -10);
    EXPECT_EQ(messages.messages, QStringList{"Amplifier 1: in sync; frames sent: 1"});
    EXPECT_TRUE(differenceRows(1).isEmpty()) << "the read-back agrees";
    EXPECT_EQ(differenceRows(2).size(), 1);
}

TEST_F(HomeShowTest, SilentAmplifierIsReportedAndTheOthersGoOn)
{
    SimAmplifier& one = bus.addAmplifier(1);
    SimAmplifier& two = bus.addAmplifier(2);
    open("1 Hall A\r\n2 Hall B\r\n");
    saveFromBus();
    one.parameters().channels[0].mute = true;
    two.parameters().channels[0].mute = true;
    home->sendShow();
    ASSERT_NE(home->compareWindow(), nullptr);
    one.silent = true;
    heard.clear();
    messages.messages.clear();
    home->compareWindow()->sendChecked();
    EXPECT_EQ(messages.messages, QStringList{"Amplifier 1: did not answer; nothing was sent to it\n"
                                             "Amplifier 2: in sync; frames sent: 1"});
    for (const QByteArray& f : changesHeard())
        EXPECT_EQ(f.at(2), 2) << f.toHex(' ').toStdString();
    EXPECT_TRUE(one.parameters().channels[0].mute);
    EXPECT_FALSE(two.parameters().channels[0].mute);
    const QTreeWidgetItem* first = home->compareWindow()->list()->topLevelItem(0);
    EXPECT_EQ(first->text(ShowCompareWindow::ParameterColumn), QStringLiteral("did not answer"));
}

TEST_F(HomeShowTest, RefusedFilesSendNothingAndTheirMessageNamesTheField)
{
    bus.addAmplifier(1);
    open("1 Hall A\r\n");
    ShowFile::Show show;
    show.devices = {{"1", "Hall A"}};
    show.put(ShowBus::defaultAmplifier(1));
    const QByteArray good = ShowFile::encode(show);
    struct Case {
        const char* name;
        QByteArray text;
        const char* field;
    };
    const Case cases[] = {
        {"newer.vx4show", QByteArray(good).replace("\"format\": 1", "\"format\": 2"), "show.format"},
        {"range.vx4show", QByteArray(good).replace("\"volumeDb\": -80", "\"volumeDb\": 12"),
         "amplifiers[0].channels[0].volumeDb"},
    };
    for (const Case& c : cases) {
        QFile file(path(c.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.text);
        file.close();
        chosen = path(c.name);
        heard.clear();
        messages.messages.clear();
        home->sendShow(); // no show is open: the file is asked for first
        ASSERT_EQ(messages.messages.size(), 1) << c.name;
        EXPECT_TRUE(messages.messages[0].contains(QLatin1String(c.field))) << messages.messages[0].toStdString();
        EXPECT_TRUE(heard.isEmpty()) << c.name;
        EXPECT_EQ(home->currentShow(), nullptr);
        EXPECT_EQ(home->compareWindow(), nullptr);
    }
}


TEST_F(HomeShowTest, OfflineEditingChangesTheShowAndCtrlSWritesIt)
{
    // The bus is there but silent: no port answers.
    SimAmplifier& real = bus.addAmplifier(1);
    real.silent = true;
    open("");
    EXPECT_FALSE(home->link().isOpen());
    ShowFile::Show prepared;
    prepared.devices = {{"1", "Hall A"}, {"2", "Hall B"}};
    prepared.put(ShowBus::defaultAmplifier(1));
    prepared.put(ShowBus::defaultAmplifier(2, 2, 30));
    const QString file = path("prepared.vx4show");
    ASSERT_TRUE(ShowFile::write(file, prepared).isEmpty());
    chosen = file;
    messages.messages.clear();
    home->openShow();
    EXPECT_TRUE(home->isOffline());
    ASSERT_EQ(home->table().size(), 2);
    EXPECT_EQ(home->table().text(1, DeviceTable::NameColumn), QStringLiteral("Hall B"));
    EXPECT_EQ(home->table().text(0, DeviceTable::ConnectionColumn), QStringLiteral("Offline"));

    QString title;
    bool portOpen = false;
    home->setEditorOpener([&](QWidget*, const EditorTarget& target) {
        EXPECT_TRUE(target.offline);
        CDorvaneDlg editor(target);
        editor.show();
        clock->runDue();
        title = editor.windowTitle();
        portOpen = editor.link().isOpen();
        QLineEdit* gain = control<QLineEdit>(editor, QStringLiteral("boost(dB)"));
        editor.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
        gain->setFocus();
        gain->selectAll();
        QTest::keyClicks(gain, QStringLiteral("6"));
        QTest::keyClick(gain, Qt::Key_Return);
        editor.close();
    });
    heard.clear();
    QTest::mouseDClick(home->view()->viewport(), Qt::LeftButton, {},
                       home->view()->visualRect(home->table().index(0, DeviceTable::StateColumn)).center());
    EXPECT_TRUE(portOpen) << "the editor found its simulated amplifier";
    EXPECT_TRUE(title.endsWith(QStringLiteral("Offline"))) << title.toStdString();
    EXPECT_TRUE(heard.isEmpty()) << "the real bus heard nothing";
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join(u'|').toStdString();
    EXPECT_TRUE(home->isShowChanged());
    EXPECT_EQ(home->currentShow()->amplifier(1)->parameters.channels[0].bands[0].bandGainDb, 6);
    EXPECT_TRUE(home->windowTitle().contains(QStringLiteral("prepared.vx4show*"))) << home->windowTitle().toStdString();

    // Offline Ctrl+S writes the show to its file, asking nothing.
    fileRequests.clear();
    press(Qt::Key_S);
    EXPECT_TRUE(fileRequests.isEmpty());
    EXPECT_FALSE(home->isShowChanged());
    const ShowFile::Show saved = read(file);
    EXPECT_EQ(saved.amplifier(1)->parameters.channels[0].bands[0].bandGainDb, 6);
    EXPECT_EQ(saved.amplifier(2)->parameters.channelCount, 2);
    EXPECT_EQ(saved.devices, prepared.devices);
    EXPECT_TRUE(heard.isEmpty());
}

TEST_F(HomeShowTest, WorkOfflineMakesAShowOfTheListAndLeavingSearchesThePortAgain)
{
    bus.addAmplifier(1);
    open("1 Hall A\r\n7 Stage\r\n");
    ASSERT_TRUE(home->link().isOpen());
    clock->advance(ZhuYe::firstPollMs);
    home->setOffline(true);
    EXPECT_FALSE(home->link().isOpen());
    EXPECT_FALSE(home->isPolling());
    ASSERT_NE(home->currentShow(), nullptr);
    EXPECT_EQ(home->currentShow()->amplifiers.size(), 2);
    EXPECT_EQ(home->table().text(1, DeviceTable::ConnectionColumn), QStringLiteral("Offline"));
    heard.clear();
    clock->advance(3 * ZhuYe::pollPeriodMs);
    EXPECT_TRUE(heard.isEmpty()) << "no polls offline";
    // Offline the device list on disk is left as it was.
    home->table().setText(1, DeviceTable::NameColumn, QStringLiteral("renamed"));
    home->deleteCurrentRow();
    QFile list(path("save.txt"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_EQ(list.readAll(), QByteArray("1 Hall A\r\n7 Stage\r\n"));

    // The show made offline is not dropped without asking: Cancel stays
    // offline, Save writes it and goes back to the bus.
    saveAnswer = UserDialogs::SaveAnswer::Cancel;
    home->setOffline(false);
    EXPECT_EQ(askedToSave, QStringList{QStringLiteral("The show has changes that are not saved. Save them?")});
    EXPECT_TRUE(home->isOffline());
    saveAnswer = UserDialogs::SaveAnswer::Save;
    chosen = path("desk.vx4show");
    home->setOffline(false);
    EXPECT_FALSE(home->isOffline());
    EXPECT_TRUE(ShowFile::read(chosen).show.has_value());
    EXPECT_FALSE(home->isShowChanged());
    EXPECT_TRUE(home->link().isOpen());
    EXPECT_TRUE(home->isPolling());
    EXPECT_EQ(home->table().text(1, DeviceTable::NameColumn), QStringLiteral("Stage"));
    EXPECT_EQ(home->table().text(0, DeviceTable::ConnectionColumn), QStringLiteral("Not connected"));
}

TEST_F(HomeShowTest, ClosingWithUnsavedOfflineChangesAsksFirst)
{
    open("1 Hall A\r\n");
    home->setOffline(true);
    ASSERT_TRUE(home->isShowChanged());
    saveAnswer = UserDialogs::SaveAnswer::Cancel;
    home->close();
    EXPECT_TRUE(home->isVisible()) << "Cancel keeps the page and its show";
    EXPECT_EQ(askedToSave.size(), 1);
    // Opening another show asks too; Cancel opens nothing.
    home->openShow();
    EXPECT_EQ(askedToSave.size(), 2);
    EXPECT_TRUE(fileRequests.isEmpty());
    saveAnswer = UserDialogs::SaveAnswer::Discard;
    home->close();
    EXPECT_FALSE(home->isVisible());
    EXPECT_EQ(askedToSave.size(), 3);
}

} // namespace
