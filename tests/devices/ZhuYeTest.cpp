#include "DevicesTestSupport.h"
#include "ListedPorts.h"
#include "RecordedEvents.h"
#include "RootPowers.h"

#include "app/CodePage.h"
#include "app/Translations.h"
#include "clock/VirtualClock.h"
#include "devices/DeviceTexts.h"
#include "devices/EventLogWindow.h"
#include "devices/ZhuYe.h"
#include "protocol/Commands.h"
#include "serial/SerialLinkFactory.h"
#include "serial/SerialPorts.h"
#include "sim/SimBus.h"
#include "sim/SimLink.h"
#include "widgets/CHeaderCtrlCl.h"
#include "widgets/CListCtrlCl.h"
#include "widgets/CSkinScrollBar.h"
#include "widgets/SkinnedFrame.h"
#include "widgets/UserDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// The home page on a simulated bus behind one listed port, on the virtual
// clock, with its list in a temporary folder and every message recorded.
struct HomePageTest : EnglishFixture {
    ScopedVirtualClock clock;
    SimBus bus{19200};
    QTemporaryDir dir;
    UserDialogs::MessageRecorder messages;
    QList<QByteArray> heard;
    QList<SerialPorts::PresentPort> present{{QStringLiteral("/dev/vx4-home-test"), QStringLiteral("Test bus"), true}};
    int port = 0;
    std::unique_ptr<ZhuYe> home;

    HomePageTest()
    {
        port = listPorts([this] { return present; }).value(0);
        setSerialLinkMaker([this](QObject* parent) {
            auto link = std::make_unique<SimLink>(nullptr, parent);
            link->addPort(port, &bus);
            return link;
        });
        QObject::connect(&bus, &SimBus::frameHeard, [this](const QByteArray& f) { heard.append(f); });
    }
    ~HomePageTest() override
    {
        home.reset();
        setSerialLinkMaker({});
        SerialPorts::setPresentPortsSource({});
        SerialPorts::setOpenTest({});
    }

    QString listPath() const { return dir.filePath(QStringLiteral("save.txt")); }

    // Opens the home page as the program does and lets its start-up run.
    void open(const QByteArray& savedList = {})
    {
        if (!savedList.isNull())
            writeFile(listPath(), savedList);
        home = std::make_unique<ZhuYe>();
        home->setDeviceListPath(listPath());
        home->show();
        clock->runDue();
    }

    int queriesTo(int address) const
    {
        return static_cast<int>(heard.count(Commands::statusQuery(static_cast<DeviceAddress>(address))));
    }
    QString cell(int row, int column) const { return home->table().text(row, column); }
    QPoint cellCentre(int row, int column) const
    {
        return home->view()->visualRect(home->table().index(row, column)).center();
    }
    void clickCell(int row, int column)
    {
        QTest::mouseClick(home->view()->viewport(), Qt::LeftButton, {}, cellCentre(row, column));
    }
};

TEST_F(HomePageTest, StartUpFindsThePortLoadsTheListAndPollsAfterOneSecond)
{
    bus.addAmplifier(1);
    open("1 Hall A\r\n9 \r\n");
    EXPECT_TRUE(home->link().isOpen());
    EXPECT_EQ(sharedState().baudText, QStringLiteral("19200"));
    EXPECT_EQ(sharedState().portNumber, port);
    ASSERT_EQ(home->table().size(), 2);
    EXPECT_EQ(cell(0, DeviceTable::NameColumn), QStringLiteral("Hall A"));
    EXPECT_EQ(cell(1, DeviceTable::ConnectionColumn), QStringLiteral("Not connected"));
    EXPECT_TRUE(home->isPolling());
    EXPECT_EQ(queriesTo(1), 0);

    const qint64 pollStart = clock->nowMs() + ZhuYe::firstPollMs;
    clock->advance(ZhuYe::firstPollMs);
    EXPECT_EQ(queriesTo(1), 1);
    EXPECT_EQ(cell(0, DeviceTable::ConnectionColumn), QStringLiteral("The connection"));
    EXPECT_EQ(cell(0, DeviceTable::StateColumn), QStringLiteral("Normal"));
    EXPECT_EQ(cell(1, DeviceTable::ConnectionColumn), QStringLiteral("Not connected"));
    EXPECT_EQ(cell(1, DeviceTable::StateColumn), QStringLiteral(" "));

    // Ten seconds after the end of that poll (two rows of 100 ms), not before.
    EXPECT_EQ(clock->nowMs() - pollStart, 200);
    clock->advance(ZhuYe::pollPeriodMs - 1);
    EXPECT_EQ(queriesTo(1), 1);
    clock->advance(1);
    EXPECT_EQ(queriesTo(1), 2);
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(HomePageTest, NoPortAtAllLoadsTheListThenSaysTheConnectionFails)
{
    present.clear();
    open("4 Foyer\r\n");
    EXPECT_EQ(home->table().size(), 1);
    EXPECT_EQ(messages.messages, QStringList{QStringLiteral("The connection fails")});
    EXPECT_FALSE(home->isPolling());
    home->searchDevices();
    EXPECT_TRUE(heard.isEmpty());
}

TEST_F(HomePageTest, NoAnswerLeavesThePortClosedWithoutAMessage)
{
    open("4 Foyer\r\n");
    EXPECT_FALSE(home->link().isOpen());
    EXPECT_FALSE(home->isPolling());
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(home->table().size(), 1);
}

TEST_F(HomePageTest, RefusedPortStillLoadsTheListSoNoSaveCanLoseIt)
{
    bus.setPluggedIn(false);
    writeFile(listPath(), "1 Hall A\r\n2 Hall B\r\n");
    home = std::make_unique<ZhuYe>();
    home->setDeviceListPath(listPath());
    home->show();
    clock->runDue();
    // The refusal is shown once; the list is there all the same.
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_FALSE(messages.messages.first().isEmpty());
    EXPECT_EQ(home->table().size(), 2);
    home->deleteCurrentRow(); // nothing chosen: nothing removed
    EXPECT_EQ(readFile(listPath()), QByteArray("1 Hall A\r\n2 Hall B\r\n"));
}

TEST_F(HomePageTest, SearchSkipsListedAddressesShowsProgressAndSaves)
{
    for (int address : {1, 2, 7})
        bus.addAmplifier(static_cast<std::uint8_t>(address));
    open("1 Hall A\r\n");
    heard.clear();
    clock->clearWaits();
    bool progressShown = false;
    QObject::connect(&bus, &SimBus::frameHeard, [&] {
        progressShown = progressShown || (home->progressBar()->isVisible() && home->searchStatus()->isVisible()
                                          && home->searchStatus()->text() == QStringLiteral("In the search"));
    });

    home->searchDevices();
    EXPECT_TRUE(progressShown);
    EXPECT_GE(home->searchStatus()->width(),
              home->searchStatus()->fontMetrics().horizontalAdvance(QStringLiteral("In the search")));
    EXPECT_LE(home->searchStatus()->geometry().right(), home->progressBar()->x());
    EXPECT_FALSE(home->progressBar()->isVisible());
    EXPECT_FALSE(home->searchStatus()->isVisible());
    EXPECT_EQ(home->progressBar()->value(), 254);
    EXPECT_EQ(queriesTo(1), 0);
    EXPECT_EQ(queriesTo(254), 1);
    EXPECT_EQ(clock->waits(), QList<int>(253, 20));
    ASSERT_EQ(home->table().size(), 3);
    EXPECT_EQ(cell(2, DeviceTable::NumberColumn), QStringLiteral("3"));
    EXPECT_EQ(cell(2, DeviceTable::AddressColumn), QStringLiteral("7"));
    EXPECT_EQ(cell(2, DeviceTable::ConnectionColumn), QStringLiteral("The connection"));
    EXPECT_EQ(readFile(listPath()), QByteArray("1 Hall A\r\n2 \r\n7 \r\n"));
}

TEST_F(HomePageTest, AdapterPulledDuringASearchEndsItKeepsTheRowsAndTheWindow)
{
    bus.addAmplifier(2);
    bus.addAmplifier(9);
    open("1 Hall A\r\n");
    QObject::connect(&bus, &SimBus::frameHeard, [&](const QByteArray& frame) {
        if (frame == Commands::statusQuery(5))
            bus.setPluggedIn(false);
    });
    home->searchDevices();
    EXPECT_EQ(messages.messages.size(), 1);
    EXPECT_FALSE(home->progressBar()->isVisible());
    EXPECT_FALSE(home->searchStatus()->isVisible());
    EXPECT_FALSE(home->isBusy());
    // Amplifier 2 was found before the adapter went; 9 never was.
    EXPECT_EQ(readFile(listPath()), QByteArray("1 Hall A\r\n2 \r\n"));
    // The poll goes on ticking and says it once more, not at every tick.
    clock->advance(ZhuYe::firstPollMs + 100);
    EXPECT_TRUE(home->isPolling());
    EXPECT_EQ(messages.messages.size(), 2);
    clock->advance(ZhuYe::pollPeriodMs + 100);
    EXPECT_EQ(messages.messages.size(), 2);
}

TEST_F(HomePageTest, UnreadableListIsNeverWrittenOver)
{
    VX4_RUN_WITHOUT_ROOT_POWERS();
    bus.addAmplifier(2);
    writeFile(listPath(), "1 Hall A\r\n");
    QFile::setPermissions(listPath(), QFile::WriteOwner);
    open();
    EXPECT_EQ(home->table().size(), 0);
    EXPECT_TRUE(messages.messages.isEmpty());
    home->searchDevices();
    home->refreshDevices();
    ASSERT_EQ(messages.messages.size(), 1); // said once
    EXPECT_TRUE(messages.messages.first().contains(QStringLiteral("not written over")));
    QFile::setPermissions(listPath(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(readFile(listPath()), QByteArray("1 Hall A\r\n"));
}

TEST_F(HomePageTest, AListThatIsNoFileIsSaidAndNeverWrittenOver)
{
    // A named pipe in the list's place: the page opens at once.
    ASSERT_EQ(::mkfifo(QFile::encodeName(listPath()).constData(), 0600), 0);
    bus.addAmplifier(2);
    open();
    EXPECT_EQ(home->table().size(), 0);
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages.first().contains(QStringLiteral("no regular file"))) << messages.messages.first().toStdString();
    home->searchDevices();
    EXPECT_EQ(home->table().size(), 1);
    EXPECT_TRUE(messages.messages.last().contains(QStringLiteral("not written over")));
    EXPECT_FALSE(QFileInfo(listPath()).isFile());
}

TEST_F(HomePageTest, TypedAddresses)
{
    struct Row {
        const char* typed;
        bool accepted;
        const char* cellAfter;
    };
    const Row rows[] = {
        {"0", false, "3"},
        {"255", false, "3"},
        {"abc", false, "3"},
        {"007", true, "007"},
        {"254", true, "254"},
    };
    bus.addAmplifier(3);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        messages.messages.clear();
        open("3 Stage\r\n");
        heard.clear();
        clickCell(0, DeviceTable::AddressColumn);
        ASSERT_TRUE(home->cellEditor()->isVisible());
        EXPECT_EQ(home->cellEditor()->text(), QStringLiteral("3"));
        EXPECT_EQ(home->cellEditor()->geometry(),
                  home->view()->visualRect(home->table().index(0, DeviceTable::AddressColumn)));
        home->cellEditor()->setText(QString::fromLatin1(row.typed));
        home->commitCellEdit();
        EXPECT_EQ(cell(0, DeviceTable::AddressColumn), QString::fromLatin1(row.cellAfter));
        if (row.accepted) {
            const int typed = QByteArray(row.typed).toInt();
            EXPECT_TRUE(messages.messages.isEmpty());
            EXPECT_EQ(heard, QList<QByteArray>{Commands::addressChange(3, static_cast<DeviceAddress>(typed))});
            EXPECT_FALSE(home->cellEditor()->isVisible());
            EXPECT_EQ(readFile(listPath()), QByteArray(row.cellAfter) + " Stage\r\n");
        } else {
            EXPECT_EQ(messages.messages, QStringList{QStringLiteral("Input error, please enter 1-254")});
            EXPECT_TRUE(heard.isEmpty());
            EXPECT_TRUE(home->cellEditor()->isVisible());
            EXPECT_EQ(home->cellEditor()->text(), QString::fromLatin1(row.typed));
            EXPECT_EQ(readFile(listPath()), QByteArray("3 Stage\r\n"));
        }
        home.reset();
    }
}

TEST_F(HomePageTest, ChineseNameIsSavedInCodePage936)
{
    open("3 \r\n");
    clickCell(0, DeviceTable::NameColumn);
    home->cellEditor()->setText(QString::fromUtf8("大厅 左"));
    home->commitCellEdit();
    // 大 = B4 F3, 厅 = CC FC in code page 936.
    EXPECT_EQ(readFile(listPath()), hex("33 20 B4F3 CCFC 20 D7F3 0D0A"));
    home.reset();
    open();
    EXPECT_EQ(cell(0, DeviceTable::NameColumn), QString::fromUtf8("大厅 左"));
}

TEST_F(HomePageTest, OnlyAddressAndNameCellsOpenTheEditBox)
{
    open("3 Stage\r\n");
    for (int column : {DeviceTable::NumberColumn, DeviceTable::ConnectionColumn, DeviceTable::StateColumn}) {
        clickCell(0, column);
        EXPECT_FALSE(home->cellEditor()->isVisible()) << column;
        EXPECT_EQ(home->currentRow(), 0);
    }
}

TEST_F(HomePageTest, DeleteRemovesTheClickedRowAndRenumbers)
{
    open("1 A\r\n2 B\r\n3 C\r\n");
    clickCell(0, DeviceTable::NumberColumn);
    home->deleteCurrentRow();
    ASSERT_EQ(home->table().size(), 2);
    EXPECT_EQ(cell(0, DeviceTable::NumberColumn), QStringLiteral("1"));
    EXPECT_EQ(cell(0, DeviceTable::NameColumn), QStringLiteral("B"));
    EXPECT_EQ(cell(1, DeviceTable::NumberColumn), QStringLiteral("2"));
    EXPECT_EQ(readFile(listPath()), QByteArray("2 B\r\n3 C\r\n"));

    // A click below the last row chooses no row: Delete then removes nothing.
    QTest::mouseClick(home->view()->viewport(), Qt::LeftButton, {}, QPoint(20, home->view()->viewport()->height() - 5));
    EXPECT_EQ(home->currentRow(), -1);
    home->deleteCurrentRow();
    EXPECT_EQ(home->table().size(), 2);
}

TEST_F(HomePageTest, DeleteRemovesTheHighlightedRowEachTimeAndAlwaysSaves)
{
    open("1 A\r\n2 B\r\n3 C\r\n");
    const auto highlighted = [&] {
        QList<int> rows;
        for (const QModelIndex& index : home->view()->selectionModel()->selectedRows())
            rows.append(index.row());
        return rows;
    };
    clickCell(1, DeviceTable::NumberColumn);
    ASSERT_EQ(highlighted(), QList<int>{1});
    home->deleteCurrentRow();
    EXPECT_EQ(readFile(listPath()), QByteArray("1 A\r\n3 C\r\n"));
    // "3 C" moved up into the highlighted place: the next Delete takes it.
    EXPECT_EQ(highlighted(), QList<int>{1});
    home->deleteCurrentRow();
    EXPECT_EQ(readFile(listPath()), QByteArray("1 A\r\n"));
    // Nothing is highlighted below the last row, and nothing is removed; the
    // list is written all the same.
    EXPECT_TRUE(highlighted().isEmpty());
    EXPECT_EQ(home->currentRow(), -1);
    QFile::remove(listPath());
    home->deleteCurrentRow();
    EXPECT_EQ(home->table().size(), 1);
    EXPECT_EQ(readFile(listPath()), QByteArray("1 A\r\n"));
}

TEST_F(HomePageTest, DoubleClickOnAnAddressCellSendsNothingAndSaysNothing)
{
    bus.addAmplifier(9);
    open("9 Stage left\r\n Nameless\r\n");
    QList<int> addresses;
    home->setEditorOpener([&](QWidget*, const EditorTarget& target) { addresses.append(target.address); });
    clock->advance(ZhuYe::firstPollMs);
    heard.clear();
    // A double-click: its first click opens the cell, the rest lands on the
    // box now over it.
    for (int row : {0, 1}) {
        clickCell(row, DeviceTable::AddressColumn);
        ASSERT_TRUE(home->cellEditor()->isVisible());
        QTest::mouseDClick(home->cellEditor(), Qt::LeftButton, {}, home->cellEditor()->rect().center());
    }
    EXPECT_EQ(addresses, QList<int>({9, 0}));
    EXPECT_TRUE(heard.isEmpty()) << heard.value(0).toHex(' ').toStdString();
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join(u'|').toStdString();
    EXPECT_FALSE(home->cellEditor()->isVisible());
    EXPECT_EQ(cell(1, DeviceTable::AddressColumn), QString());
}

TEST_F(HomePageTest, DoubleClickAfterTypingANewAddressCommitsItFirst)
{
    bus.addAmplifier(9);
    open("9 Stage left\r\n");
    QList<int> addresses;
    home->setEditorOpener([&](QWidget*, const EditorTarget& target) { addresses.append(target.address); });
    clock->advance(ZhuYe::firstPollMs);
    clickCell(0, DeviceTable::AddressColumn);
    home->cellEditor()->setText(QStringLiteral("12"));
    heard.clear();
    QTest::mouseDClick(home->cellEditor(), Qt::LeftButton, {}, home->cellEditor()->rect().center());
    EXPECT_EQ(heard, QList<QByteArray>{Commands::addressChange(9, 12)});
    EXPECT_EQ(addresses, QList<int>{12});
    EXPECT_EQ(readFile(listPath()), QByteArray("12 Stage left\r\n"));

    // A refused address keeps the user in the cell; no editor opens.
    clickCell(0, DeviceTable::AddressColumn);
    home->cellEditor()->setText(QStringLiteral("300"));
    QTest::mouseDClick(home->cellEditor(), Qt::LeftButton, {}, home->cellEditor()->rect().center());
    EXPECT_EQ(addresses, QList<int>{12});
    EXPECT_EQ(messages.messages, QStringList{QStringLiteral("Input error, please enter 1-254")});
    EXPECT_TRUE(home->cellEditor()->isVisible());
}

// What the editor found when it opened, and an editor that leaves its status
// behind as the real one does.
struct EditorVisit {
    int address = -1;
    QString name;
    QString baudText;
    int port = 0;
    bool homePortOpen = true;
    int visits = 0;
};

TEST_F(HomePageTest, DoubleClickHandsTheLineToTheEditorAndThePollTakesItBack)
{
    bus.addAmplifier(9);
    open("9 Stage left\r\n5 \r\n");
    EditorVisit visit;
    home->setEditorOpener([&](QWidget*, const EditorTarget& target) {
        ++visit.visits;
        visit.address = target.address;
        visit.name = target.name;
        visit.baudText = target.baudText;
        visit.port = target.portNumber;
        visit.homePortOpen = home->link().isOpen();
        sharedState().editorStatus = AmpStatus{AmpStatusKind::Clip};
        sharedState().reopenHomePort = true;
    });
    QTest::mouseDClick(home->view()->viewport(), Qt::LeftButton, {}, cellCentre(0, DeviceTable::StateColumn));
    EXPECT_EQ(visit.visits, 1);
    EXPECT_EQ(visit.address, 9);
    EXPECT_EQ(visit.name, QStringLiteral("Stage left"));
    // The port and baud rate the home page found go with it.
    EXPECT_EQ(visit.baudText, QStringLiteral("19200"));
    EXPECT_EQ(visit.port, port);
    EXPECT_FALSE(visit.homePortOpen);
    EXPECT_FALSE(home->link().isOpen());

    // The next poll reopens the port; the editor's status lands on its row.
    clock->advance(ZhuYe::firstPollMs);
    EXPECT_TRUE(home->link().isOpen());
    EXPECT_EQ(cell(0, DeviceTable::StateColumn), QStringLiteral("clip"));
    EXPECT_EQ(cell(0, DeviceTable::ConnectionColumn), QStringLiteral("The connection"));
}

TEST_F(HomePageTest, DoubleClickOnTheCellBeingEditedOpensTheEditorToo)
{
    open("9 Stage left\r\n");
    int visits = 0;
    home->setEditorOpener([&](QWidget*, const EditorTarget&) { ++visits; });
    clickCell(0, DeviceTable::NameColumn);
    ASSERT_TRUE(home->cellEditor()->isVisible());
    QTest::mouseDClick(home->cellEditor(), Qt::LeftButton, {}, home->cellEditor()->rect().center());
    EXPECT_EQ(visits, 1);
    EXPECT_EQ(sharedState().selectedAddress, 9);
}

TEST_F(HomePageTest, ContextMenuBelowTheRowsOpensTheEditorForAddressZero)
{
    open("9 Stage left\r\n");
    QString itemText;
    home->setMenuRunner([&](QMenu* menu, const QPoint&) {
        itemText = menu->actions().value(0)->text();
        return menu->actions().value(0);
    });
    sharedState().selectedAddress = 42;
    sharedState().selectedName = QStringLiteral("old");
    int visits = 0;
    home->setEditorOpener([&](QWidget*, const EditorTarget&) { ++visits; });
    Q_EMIT home->view()->customContextMenuRequested(QPoint(20, home->view()->viewport()->height() - 5));
    EXPECT_EQ(itemText, QStringLiteral("DSP配置"));
    EXPECT_EQ(visits, 1);
    EXPECT_EQ(sharedState().selectedAddress, 0);
    EXPECT_TRUE(sharedState().selectedName.isEmpty());

    Q_EMIT home->view()->customContextMenuRequested(cellCentre(0, DeviceTable::NumberColumn));
    EXPECT_EQ(sharedState().selectedAddress, 9);
    EXPECT_EQ(visits, 2);
}

TEST_F(HomePageTest, ReportsOnTheLineReachTheStateColumn)
{
    bus.addAmplifier(1);
    bus.addAmplifier(2);
    open("1 A\r\n2 B\r\n");
    struct Row {
        int address;
        std::uint8_t bits;
        const char* row0;
        const char* row1;
        const char* statusText;
    };
    const Row rows[] = {
        {1, 0xFE, "fault1", "", "fault1"},
        {1, 0x7F, "Dc protection 4", "", "Normal"},
        {2, 0xFF, "Dc protection 4", "Normal", "Normal"},
        {77, 0xFB, "Dc protection 4", "Normal", "fault3"}, // no row: only the status text
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.address);
        bus.sendFaultReport(static_cast<std::uint8_t>(row.address), row.bits, clock->nowMs());
        clock->advance(60);
        EXPECT_EQ(cell(0, DeviceTable::StateColumn), QString::fromLatin1(row.row0));
        EXPECT_EQ(cell(1, DeviceTable::StateColumn), QString::fromLatin1(row.row1));
        ASSERT_TRUE(sharedState().editorStatus.has_value());
        EXPECT_EQ(DeviceTexts::status(*sharedState().editorStatus), QString::fromLatin1(row.statusText));
    }
    bus.sendTemperatureProtectionReport(2, clock->nowMs());
    clock->advance(60);
    // Applies to the address of the last decoded frame, 77: no row.
    EXPECT_EQ(cell(1, DeviceTable::StateColumn), QStringLiteral("Normal"));
}

// The home page with an event log, as the program starts it.
struct HomePageLogTest : HomePageTest {
    RecordedEvents events;
    EventLog& log = events.log;

    HomePageLogTest() { useEventLog(&log); }
    ~HomePageLogTest() override { useEventLog(nullptr); }
    QStringList newKinds() { return events.newKinds(); }
};

TEST_F(HomePageLogTest, TheBusIsRecordedOnceForEveryChange)
{
    bus.addAmplifier(1);
    open("1 Hall A\r\n2 Hall B\r\n");
    EXPECT_EQ(newKinds(), QStringList{QStringLiteral("port.found")});
    const LogEvent found = log.events({}).value(0);
    EXPECT_EQ(found.port, QStringLiteral("/dev/vx4-home-test"));
    EXPECT_EQ(found.baud, 19200);
    EXPECT_EQ(found.text, QStringLiteral("The amplifiers answer on /dev/vx4-home-test at 19200 baud"));

    clock->advance(ZhuYe::firstPollMs + 100);
    EXPECT_EQ(newKinds(), (QStringList{QStringLiteral("1 connection.answered"), QStringLiteral("1 state.normal"),
                                       QStringLiteral("2 connection.silent")}));
    EXPECT_EQ(log.events({}).value(0).name, QStringLiteral("Hall B"));
    clock->advance(ZhuYe::pollPeriodMs);
    EXPECT_TRUE(newKinds().isEmpty()) << "a poll that finds nothing new records nothing";

    // A fault report is recorded when it comes; the next poll tells the
    // state the amplifier's status reply gives, once.
    bus.amplifier(1)->protectionFlags = 0xFD;
    bus.sendFaultReport(1, 0xFD, clock->nowMs());
    clock->advance(60);
    EXPECT_EQ(newKinds(), QStringList{QStringLiteral("1 report.fault")});
    EXPECT_EQ(log.events({}).value(0).text, QStringLiteral("The amplifier reports a fault: fault2"));
    clock->advance(ZhuYe::pollPeriodMs);
    EXPECT_EQ(newKinds(), QStringList{QStringLiteral("1 state.fault")});
    clock->advance(ZhuYe::pollPeriodMs);
    EXPECT_TRUE(newKinds().isEmpty());

    // Silent and back: both said, and the state is told again on return.
    bus.amplifier(1)->silent = true;
    clock->advance(ZhuYe::pollPeriodMs);
    EXPECT_EQ(newKinds(), QStringList{QStringLiteral("1 connection.silent")});
    bus.amplifier(1)->silent = false;
    clock->advance(ZhuYe::pollPeriodMs);
    EXPECT_EQ(newKinds(), (QStringList{QStringLiteral("1 connection.answered"), QStringLiteral("1 state.fault")}));

    // Deleting a row is recorded with the amplifier it named.
    clickCell(1, DeviceTable::NumberColumn);
    home->deleteCurrentRow();
    EXPECT_EQ(newKinds(), QStringList{QStringLiteral("2 device.deleted")});
    EXPECT_EQ(log.events({}).value(0).name, QStringLiteral("Hall B"));
}

TEST_F(HomePageLogTest, ErrorsShownAreRecorded)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(listPath()).constData(), 0600), 0);
    open();
    ASSERT_FALSE(messages.messages.isEmpty());
    const QList<LogEvent> events = log.events({});
    const bool recorded = std::any_of(events.cbegin(), events.cend(), [&](const LogEvent& e) {
        return e.kind == QStringLiteral("error.file") && e.text == messages.messages.first();
    });
    EXPECT_TRUE(recorded);
}

TEST_F(HomePageLogTest, TheLogWindowFiltersGrowsLiveAndExports)
{
    bus.addAmplifier(1);
    bus.addAmplifier(2);
    open("1 Hall A\r\n2 Hall B\r\n");
    clock->advance(ZhuYe::firstPollMs + 100);
    // The context menu offers the log with its key.
    home->setMenuRunner([](QMenu* menu, const QPoint&) {
        QAction* log = menu->actions().value(1);
        EXPECT_EQ(log->text(), QStringLiteral("Event log"));
        EXPECT_EQ(log->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
        EXPECT_TRUE(log->isEnabled());
        return static_cast<QAction*>(nullptr);
    });
    Q_EMIT home->view()->customContextMenuRequested(cellCentre(0, DeviceTable::NumberColumn));
    EXPECT_EQ(home->eventLogWindow(), nullptr);
    home->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(home.get()));
    QTest::keyClick(home.get(), Qt::Key_L, Qt::ControlModifier);
    EventLogWindow* window = home->eventLogWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Event log"));
    // Newest first: the port found at start-up is the last row.
    const EventTableModel& rows = window->shown();
    ASSERT_EQ(rows.rowCount(), 5);
    EXPECT_EQ(rows.events().last().kind, QStringLiteral("port.found"));
    EXPECT_EQ(rows.index(0, EventTableModel::NameColumn).data().toString(), QStringLiteral("Hall B"));

    auto* amplifier = window->findChild<QComboBox*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(amplifier, nullptr);
    amplifier->setCurrentIndex(amplifier->findData(2));
    EXPECT_EQ(rows.rowCount(), 2);

    // A fault of amplifier 2 appears at once; one of amplifier 1 does not.
    bus.sendFaultReport(2, 0xFB, clock->nowMs());
    clock->advance(60);
    bus.sendFaultReport(1, 0xFE, clock->nowMs());
    clock->advance(60);
    ASSERT_EQ(rows.rowCount(), 3);
    EXPECT_EQ(rows.events().first().kind, QStringLiteral("report.fault"));
    EXPECT_EQ(rows.events().first().address, 2);

    QList<QComboBox*> combos = window->findChildren<QComboBox*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(combos.size(), 2);
    amplifier->setCurrentIndex(0);
    combos.at(1)->setCurrentIndex(combos.at(1)->findData(static_cast<int>(EventGroup::Faults)));
    EXPECT_EQ(rows.rowCount(), 2);

    const QString csvPath = dir.filePath(QStringLiteral("faults"));
    UserDialogs::setFileChooser([&](const UserDialogs::FileRequest& request) {
        EXPECT_EQ(request.defaultSuffix, QStringLiteral("csv"));
        return csvPath + QStringLiteral(".csv");
    });
    window->exportCsv();
    UserDialogs::setFileChooser({});
    const auto exported = EventLog::fromCsv(readFile(csvPath + QStringLiteral(".csv")));
    ASSERT_TRUE(exported.has_value());
    EXPECT_EQ(*exported, rows.events());

    // A file that cannot be written is said, not dropped.
    UserDialogs::setFileChooser([&](const UserDialogs::FileRequest&) { return dir.filePath(QStringLiteral("none/x.csv")); });
    window->exportCsv();
    UserDialogs::setFileChooser({});
    ASSERT_FALSE(messages.messages.isEmpty());
    EXPECT_TRUE(messages.messages.last().startsWith(QStringLiteral("The events cannot be written to "))) << messages.messages.last().toStdString();
}

TEST_F(HomePageTest, EnterEndsTheEditAndPutsTheFocusOnTheTable)
{
    open("3 Stage\r\n");
    QApplication::setActiveWindow(home.get());
    clickCell(0, DeviceTable::NameColumn);
    ASSERT_TRUE(home->cellEditor()->hasFocus());
    home->cellEditor()->setText(QStringLiteral("Balcony"));
    QTest::keyClick(home->cellEditor(), Qt::Key_Return);
    EXPECT_TRUE(home->view()->hasFocus());
    EXPECT_FALSE(home->cellEditor()->isVisible());
    EXPECT_EQ(cell(0, DeviceTable::NameColumn), QStringLiteral("Balcony"));
    EXPECT_TRUE(home->isVisible()); // Enter presses no button and closes nothing
}

TEST_F(HomePageTest, ResizingGrowsTheTableAndKeepsTheButtonsInTheCorner)
{
    open();
    const QSize opened = home->size();
    EXPECT_EQ(home->minimumSize(), opened);
    QPushButton* button = nullptr;
    for (auto* b : home->findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("Search"))
            button = b;
    ASSERT_NE(button, nullptr);
    const QRect table = home->view()->geometry();
    const QPoint buttonAt = button->pos();
    const QPoint editAt = home->cellEditor()->pos();
    home->resize(opened + QSize(120, 80));
    EXPECT_EQ(home->view()->geometry(), table.adjusted(0, 0, 120, 80));
    EXPECT_EQ(button->pos(), buttonAt + QPoint(120, 80));
    EXPECT_EQ(home->progressBar()->pos().y(), button->pos().y());
    EXPECT_EQ(home->cellEditor()->pos(), editAt);
}

TEST_F(HomePageTest, LayoutFollowsTheDialogUnits)
{
    open();
    // With the tests' dialog font (9 points, 1.75 pixels a horizontal and
    // 1.75 a vertical dialog unit): the table at 8,10 647x243 units, the
    // buttons 50x14 units in a row under it, right of the progress bar
    // (80x14 at 325,257).
    const QRect table = home->view()->geometry();
    EXPECT_EQ(table.size(), QSize(1132, 425));
    QList<QPushButton*> buttons = home->findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 3);
    for (auto* b : buttons) {
        EXPECT_EQ(b->size(), QSize(87, 24)) << b->text().toStdString();
        EXPECT_EQ(b->y(), table.y() + 432) << b->text().toStdString();
        EXPECT_GT(b->x(), home->progressBar()->geometry().right());
    }
    EXPECT_EQ(home->progressBar()->size(), QSize(140, 24));
    // Five columns of the 1130-pixel client width: the first a twentieth
    // (English), the four others a quarter each.
    EXPECT_EQ(table.width() - 2 * home->view()->frameWidth(), 1130);
    EXPECT_EQ(home->view()->columnWidth(0), 56);
    for (int column = 1; column < 5; ++column)
        EXPECT_EQ(home->view()->columnWidth(column), 282);
}

TEST_F(HomePageTest, SilentRowsAreDrawnNotConnectedInEnglishToo)
{
    open("1 A\r\n");
    home->table().setText(0, DeviceTable::ConnectionColumn, QStringLiteral("Not connected"));
    EXPECT_EQ(home->view()->rowFill(0), QColor(150, 205, 205));
    home->table().setText(0, DeviceTable::ConnectionColumn, QStringLiteral("The connection"));
    EXPECT_EQ(home->view()->rowFill(0), QColor(187, 255, 255));
}

TEST_F(HomePageTest, WholeRowChangesColourWhenItsAmplifierAnswers)
{
    bus.addAmplifier(1);
    open("1 A\r\n");
    // The regions the view asks to repaint, as the row changes.
    struct RepaintSpy : QObject {
        QRegion asked;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                asked += static_cast<QPaintEvent*>(event)->region();
            return false;
        }
    } spy;
    QWidget* viewport = home->view()->viewport();
    QCoreApplication::processEvents();
    viewport->installEventFilter(&spy);
    home->table().setText(0, DeviceTable::ConnectionColumn, QStringLiteral("The connection"));
    QCoreApplication::processEvents(); // delivers the pending repaint
    const QRect numberCell = home->view()->visualRect(home->table().index(0, DeviceTable::NumberColumn));
    EXPECT_TRUE(spy.asked.contains(numberCell.center()));
    const QImage image = viewport->grab().toImage();
    EXPECT_EQ(QColor(image.pixel(numberCell.left() + 2, numberCell.center().y())), QColor(187, 255, 255));
}

TEST_F(HomePageTest, EveryControlHasItsAccessibleName)
{
    open();
    QStringList names;
    for (auto* w : home->findChildren<QWidget*>())
        if (!w->accessibleName().isEmpty())
            names.append(w->accessibleName());
    for (const char* name : {"Device table", "Search", "Refresh", "Delete", "Cell editor", "In the search"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(name))) << name;
}

TEST_F(HomePageTest, ChineseTextsAndCatalogue)
{
    setUiLanguage(chineseUi);
    ASSERT_TRUE(installUiCatalogue(*QCoreApplication::instance()));
    present.clear();
    open();
    EXPECT_EQ(messages.messages, QStringList{QString::fromUtf8("连接失败")});
    QStringList captions;
    for (auto* b : home->findChildren<QPushButton*>())
        captions.append(b->text());
    captions.sort();
    QStringList expected{QString::fromUtf8("搜索"), QString::fromUtf8("刷新"), QString::fromUtf8("删除")};
    expected.sort();
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(home->view()->header()->headings().value(1), QString::fromUtf8("设备地址"));
    // The numbers' column is narrower in Chinese: a twenty-fifth of the
    // client width (also 1130 pixels here), against a twentieth in English.
    EXPECT_EQ(home->view()->width() - 2 * home->view()->frameWidth(), 1130);
    EXPECT_EQ(home->view()->columnWidth(0), 45);
    removeUiCatalogue(*QCoreApplication::instance());
}

TEST_F(HomePageTest, PaintedFrameSkinnedBarsAndTheCloseButtonEndsThePage)
{
    open("1 A\r\n");
    auto* frame = home->findChild<SkinnedFrame*>();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(home->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(frame->kind(), SkinFrame::Kind::HomePage);
    // The controls sit below the caption and inside the strips.
    EXPECT_GT(home->view()->y(), frame->layout().caption.bottom());
    EXPECT_GE(home->view()->x(), frame->metrics().fx);
    EXPECT_NE(qobject_cast<CSkinScrollBar*>(home->view()->verticalScrollBar()), nullptr);
    EXPECT_NE(qobject_cast<CSkinScrollBar*>(home->view()->horizontalScrollBar()), nullptr);

    // The caption's close button ends the page as its own close does.
    int result = -1;
    QObject::connect(home.get(), &QDialog::finished, [&result](int r) { result = r; });
    frame->button(SkinFrame::Button::Close)->click();
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_FALSE(home->isVisible());
}

} // namespace
