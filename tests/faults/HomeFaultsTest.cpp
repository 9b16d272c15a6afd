// The home page when the adapter goes away in the middle of an action, when
// the line carries rubbish, and when "save.txt" cannot be written.
#include "FaultsSupport.h"

#include "devices/ZhuYe.h"
#include "protocol/Commands.h"

#include <QDir>
#include <QProgressBar>

#include <functional>
#include <optional>

namespace {

struct HomeFaults : BusFixture {
    std::unique_ptr<ZhuYe> home;

    ~HomeFaults() override { home.reset(); }
    QString listPath() const { return dir.filePath(QStringLiteral("save.txt")); }
    void open(const QByteArray& savedList, const QString& path = {})
    {
        const QString at = path.isEmpty() ? listPath() : path;
        if (!savedList.isNull())
            writeFile(at, savedList);
        home = std::make_unique<ZhuYe>();
        home->setDeviceListPath(at);
        home->show();
        clock->runDue();
    }
    QStringList column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < home->table().size(); ++row)
            texts << home->table().text(row, column);
        return texts;
    }
};

TEST_F(HomeFaults, AdapterPulledMidActionEndsItOnceKeepsTheListAndTheTableRecovers)
{
    const QByteArray list = "2 Hall\r\n9 Stage\r\n";
    const struct {
        const char* what;
        std::function<void(HomeFaults&)> action;
        QByteArray listAfter;
    } rows[] = {
        {"detection",
         [&](HomeFaults& t) {
             t.pullOn = Commands::portProbe(0);
             t.open(list);
         },
         list},
        {"search",
         [&](HomeFaults& t) {
             t.open(list);
             t.pullOn = Commands::statusQuery(8);
             t.home->searchDevices();
         },
         "2 Hall\r\n9 Stage\r\n7 \r\n"},
        {"refresh",
         [&](HomeFaults& t) {
             t.open(list);
             t.pullOn = Commands::statusQuery(2);
             t.home->refreshDevices();
         },
         list},
        {"poll tick",
         [&](HomeFaults& t) {
             t.open(list);
             t.pullOn = Commands::statusQuery(2);
             t.clock->advance(ZhuYe::firstPollMs);
         },
         list},
    };
    for (int a : {2, 7, 9})
        bus.addAmplifier(static_cast<std::uint8_t>(a));
    const QString removed = QStringLiteral("The device COM%1 was removed").arg(port);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        home.reset();
        plugBackIn();
        messages.messages.clear();
        pullOn.clear();
        writeFile(listPath(), list);

        row.action(*this);
        EXPECT_FALSE(home->isBusy());
        EXPECT_FALSE(home->progressBar()->isVisible());
        EXPECT_EQ(messages.messages, QStringList{removed});
        EXPECT_EQ(readFile(listPath()), row.listAfter);

        // While it is gone the poll says so once more at most, never at
        // every tick.
        pullOn.clear();
        clock->advance(3 * ZhuYe::pollPeriodMs);
        EXPECT_LE(messages.messages.size(), 2);
        EXPECT_EQ(messages.messages.count(removed), messages.messages.size());
        const qsizetype said = messages.messages.size();

        plugBackIn();
        clock->advance(ZhuYe::firstPollMs + ZhuYe::pollPeriodMs + 3000);
        EXPECT_TRUE(home->link().isOpen());
        EXPECT_EQ(column(DeviceTable::ConnectionColumn).count(QStringLiteral("The connection")),
                  home->table().size());
        EXPECT_EQ(messages.messages.size(), said);
        EXPECT_EQ(readFile(listPath()), row.listAfter);
    }
}

TEST_F(HomeFaults, RubbishOnTheLineNeverMakesARowOrAMessage)
{
    const auto statusOf = [](std::uint8_t address) {
        return SimAmplifier(address).handleFrame(Commands::statusQuery(address));
    };
    const struct {
        const char* what;
        std::function<void(SimBus& bus, qint64 nowMs)> spoil;
        QStringList addressesAfterSearch;
        QString connection; // of every row after a refresh
    } rows[] = {
        {"garbage answers",
         [](SimBus& b, qint64) {
             for (const auto& amp : b.amplifiers())
                 amp->answersGarbage = true;
         },
         {"3"}, QStringLiteral("Not connected")},
        {"a burst of noise", [](SimBus& b, qint64 now) { b.injectNoise(QByteArray(300, '\x55'), now); },
         {"3", "5"}, QStringLiteral("The connection")},
        {"a status reply without its 0x55",
         [&](SimBus& b, qint64 now) { b.injectNoise(statusOf(7).mid(1), now); }, {"3", "5"},
         QStringLiteral("The connection")},
        {"answers later than the wait", [](SimBus& b, qint64) { b.setLatencyMs(DeviceSession::searchWaitMs + 10); },
         {"3", "5"}, QStringLiteral("The connection")},
        {"answers at the pace of the line", [](SimBus& b, qint64) { b.setWireTime(true); }, {"3", "5"},
         QStringLiteral("The connection")},
        {"two amplifiers at one address", [](SimBus& b, qint64) { b.addAmplifier(5); }, {"3", "5"},
         QStringLiteral("The connection")},
        {"every amplifier silent",
         [](SimBus& b, qint64) {
             for (const auto& amp : b.amplifiers())
                 amp->silent = true;
         },
         {"3"}, QStringLiteral("Not connected")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        home.reset();
        resetSharedState();
        SimBus fresh{19200};
        line = &fresh;
        fresh.addAmplifier(3);
        fresh.addAmplifier(5);
        messages.messages.clear();
        open("3 Desk\r\n");
        ASSERT_TRUE(home->link().isOpen());

        row.spoil(fresh, clock->nowMs());
        home->searchDevices();
        EXPECT_EQ(column(DeviceTable::AddressColumn), row.addressesAfterSearch);
        home->refreshDevices();
        EXPECT_EQ(column(DeviceTable::ConnectionColumn),
                  QStringList(row.addressesAfterSearch.size(), row.connection));
        EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(readFile(listPath()).startsWith("3 Desk\r\n"));
        home.reset();
    }
    line = &bus;
}

TEST_F(HomeFaults, ListThatCannotBeWrittenIsSaidOnceAndTheOldOneSurvives)
{
    bus.addAmplifier(3);
    bus.addAmplifier(5);
    const QString underAFile = dir.filePath(QStringLiteral("plain/save.txt"));
    writeFile(dir.filePath(QStringLiteral("plain")), "not a folder");
    const struct {
        const char* what;
        QString path;
        QByteArray before; // the list on disk at start
        rlim_t diskRoom;   // 0: room enough
    } rows[] = {
        {"a path under a regular file", underAFile, QByteArray(), 0},
        // The new list is twelve bytes; the disk fills after ten.
        {"a disk that fills during the save", listPath(), "3 Desk\r\n", 10},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        home.reset();
        messages.messages.clear();
        open(row.before, row.path);
        ASSERT_TRUE(home->link().isOpen());
        {
            std::optional<FullDisk> full;
            if (row.diskRoom > 0)
                full.emplace(row.diskRoom);
            home->searchDevices();
            home->refreshDevices();
            clock->advance(ZhuYe::firstPollMs + ZhuYe::pollPeriodMs);
        }
        ASSERT_EQ(messages.messages.size(), 1) << messages.messages.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(messages.messages[0].startsWith(QStringLiteral("Cannot save ") + QDir::toNativeSeparators(row.path)))
            << messages.messages[0].toStdString();
        EXPECT_EQ(readFile(row.path), row.before);
        // No half-written file is left beside the list.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), row.before.isNull() ? 1 : 2);
        EXPECT_EQ(home->table().size(), 2);
    }
    // Room again: the next save goes through.
    home->refreshDevices();
    EXPECT_EQ(readFile(listPath()), QByteArray("3 Desk\r\n5 \r\n"));
    EXPECT_EQ(messages.messages.size(), 1);
}

} // namespace
