#include "clock/VirtualClock.h"
#include "serial/DeviceWatcher.h"
#include "serial/PortRegistry.h"
#include "serial/SerialPorts.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

using SerialPorts::PresentPort;

TEST(PortNumberFromName, ReadsTheDigitsAfterTheFirstCapitalM)
{
    const struct {
        const char* name;
        int number;
    } rows[] = {
        {"USB Serial Port (COM5)", 5},
        {"Communications Port (COM1)", 1},
        {"Multiport adapter (COM7)", 0},   // its first "M" is not the port's
        {"Prolific USB-to-Serial (COM23)", 23},
        {"USB Serial Port COM5", 0},       // no ")"
        {"(x) COM5", 0},                   // ")" before the "M"
        {"", 0},
        {"5)", 5},                          // no "M": from the start
        {"COM)", 0},
        {"COM 5)", 0},                     // digits must lead
        {"COM-5)", 0},
        {"COM99999999999999999999)", 0},   // beyond any int
        {"COM2147483647)", 2147483647},
        {"COM3: USB Serial (/dev/ttyUSB0)", 3},
        {"COM12: Serial port (/dev/pts/4)", 12},
        {"COM4: M) (/dev/ttyS1)", 4},
    };
    for (const auto& row : rows)
        EXPECT_EQ(PortNumberFromName(QString::fromUtf8(row.name)), row.number) << row.name;
}

TEST(PortNumberFromName, DisplayNamesYieldTheirNumberWhateverTheyHold)
{
    const char* descriptions[] = {"", "Multiport Modem", ")", "M)", "x (y)", "COM9)", "(((", "МОДЕМ"};
    const char* paths[] = {"/dev/ttyUSB0", "/dev/serial/by-id/usb-MM)-if00", "/tmp/M)(", "/dev/pts/7"};
    for (int number : {1, 9, 10, 17, 254, 100000})
        for (const char* description : descriptions)
            for (const char* path : paths) {
                const QString name = SerialPorts::displayNameFor(number, QString::fromUtf8(description), QString::fromUtf8(path));
                EXPECT_EQ(PortNumberFromName(name), number) << name.toStdString();
            }
}

TEST(PortDescription, FallsBackToTheDisplayNameLessItsPathPart)
{
    const struct {
        const char* device;
        const char* display;
        const char* description;
    } rows[] = {
        {"FT232R USB UART", "COM3: FT232R USB UART (/dev/ttyUSB0)", "FT232R USB UART"},
        {"", "USB Serial Port (COM5)", "USB Serial Port"},
        {"", "COM4: Serial port (/dev/pts/3)", "COM4: Serial port"},
        {"", "COM4: Serial port (/dev/odd)name)", "COM4: Serial port (/dev/odd)name)"}, // first ")" not last
        {"", " (COM1)", " (COM1)"},                                                    // " (" at the start
        {"", "Plain", "Plain"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(SerialPorts::descriptionFor(QString::fromUtf8(row.device), QString::fromUtf8(row.display)),
                  QString::fromUtf8(row.description))
            << row.display;
}

// The port list over injected devices and an injected open test.
class PortListTest : public ::testing::Test {
protected:
    QList<PresentPort> present;
    QSet<QString> busy;
    void SetUp() override
    {
        SerialPorts::setPresentPortsSource([this] { return present; });
        SerialPorts::setOpenTest([this](const QString& path) { return !busy.contains(path); });
    }
    void TearDown() override
    {
        SerialPorts::setPresentPortsSource({});
        SerialPorts::setOpenTest({});
    }
    QStringList listedPaths()
    {
        QList<SSerInfo> list{{"stale", {}, {}, false, {}}};
        ListSerialPorts(list);
        QStringList paths;
        for (const SSerInfo& info : list)
            paths.append(info.devicePath);
        return paths;
    }
};

TEST_F(PortListTest, EmptyWithoutDevices)
{
    EXPECT_TRUE(listedPaths().isEmpty());
}

TEST_F(PortListTest, RecordsCarryNumberedDisplayNames)
{
    present = {{"/dev/plt-usb0", "USB Serial", true}, {"/dev/plt-s0", "", false}};
    QList<SSerInfo> list;
    ListSerialPorts(list);
    ASSERT_EQ(list.size(), 2);
    const int first = PortRegistry::numberOf("/dev/plt-usb0");
    const int second = PortRegistry::numberOf("/dev/plt-s0");
    EXPECT_EQ(second, first + 1); // numbered in the order first seen
    EXPECT_EQ(list[0].displayName, QStringLiteral("COM%1: USB Serial (/dev/plt-usb0)").arg(first));
    EXPECT_EQ(list[0].description, u"USB Serial");
    EXPECT_TRUE(list[0].viaUsb);
    EXPECT_TRUE(list[0].portName.isEmpty());
    EXPECT_EQ(list[1].displayName, QStringLiteral("COM%1: Serial port (/dev/plt-s0)").arg(second));
    EXPECT_EQ(list[1].description, QStringLiteral("COM%1: Serial port").arg(second));
    EXPECT_FALSE(list[1].viaUsb);
    for (const SSerInfo& info : list)
        EXPECT_EQ(PortRegistry::pathOf(PortNumberFromName(info.displayName)), info.devicePath);
}

TEST_F(PortListTest, BusyAndOwnPortsAreLeftOutButKeepTheirNumbers)
{
    present = {{"/dev/plt-a", "", false}, {"/dev/plt-b", "", false}, {"/dev/plt-c", "", false}};
    busy = {"/dev/plt-a"};
    PortRegistry::markOpen("/dev/plt-c"); // held by a link of this process
    EXPECT_EQ(listedPaths(), QStringList({"/dev/plt-b"}));
    PortRegistry::markClosed("/dev/plt-c");
    busy.clear();
    EXPECT_EQ(listedPaths(), QStringList({"/dev/plt-a", "/dev/plt-b", "/dev/plt-c"}));

    // A device that goes and comes back keeps its number; new ones get
    // numbers never given before.
    const int numberOfB = PortRegistry::numberOf("/dev/plt-b");
    present = {{"/dev/plt-d", "", false}};
    listedPaths();
    present.append({"/dev/plt-b", "", false});
    listedPaths();
    EXPECT_EQ(PortRegistry::numberOf("/dev/plt-b"), numberOfB);
    EXPECT_GT(PortRegistry::numberOf("/dev/plt-d"), PortRegistry::numberOf("/dev/plt-c"));
    EXPECT_TRUE(PortRegistry::pathOf(0).isEmpty());
    EXPECT_TRUE(PortRegistry::pathOf(1'000'000).isEmpty());
}

TEST_F(PortListTest, PortsAboveSixteenAreListed)
{
    for (int i = 0; i < 20; ++i)
        present.append({QStringLiteral("/dev/plt-many%1").arg(i), "", false});
    QList<SSerInfo> list;
    ListSerialPorts(list);
    ASSERT_EQ(list.size(), 20);
    EXPECT_GT(PortNumberFromName(list.last().displayName), 16);
}

class DeviceWatcherTest : public ::testing::Test {
protected:
    ScopedVirtualClock clock;
    QStringList devices{"/dev/ttyUSB0"};
    DeviceWatcher watcher{nullptr, [this] { return devices; }};
    QStringList events;
    void SetUp() override
    {
        QObject::connect(&watcher, &DeviceWatcher::deviceArrived, [this](const QString& p) { events.append("+" + p); });
        QObject::connect(&watcher, &DeviceWatcher::deviceRemoved, [this](const QString& p) { events.append("-" + p); });
        watcher.start();
    }
};

TEST_F(DeviceWatcherTest, ReportsChangesOnTheNextSecond)
{
    clock->advance(1000);
    EXPECT_TRUE(events.isEmpty()); // what was there at the start is no arrival
    devices = {"/dev/ttyUSB1"};
    clock->advance(999);
    EXPECT_TRUE(events.isEmpty());
    clock->advance(1);
    EXPECT_EQ(events, QStringList({"-/dev/ttyUSB0", "+/dev/ttyUSB1"}));
    clock->advance(5000);
    EXPECT_EQ(events.size(), 2);
}

TEST_F(DeviceWatcherTest, ChangeInsideAWaitIsReportedAfterIt)
{
    devices.clear();
    clock->waitMs(3000);
    EXPECT_TRUE(events.isEmpty());
    clock->runDue();
    EXPECT_EQ(events, QStringList({"-/dev/ttyUSB0"}));
}

TEST_F(DeviceWatcherTest, StopsAndSurvivesAHandlerThatDeletesIt)
{
    watcher.stop();
    devices.clear();
    clock->advance(3000);
    EXPECT_TRUE(events.isEmpty());

    auto* owned = new DeviceWatcher(nullptr, [this] { return devices; });
    owned->start();
    int removals = 0;
    QObject::connect(owned, &DeviceWatcher::deviceRemoved, [&] {
        ++removals;
        delete owned;
    });
    devices = {"/dev/ttyUSB0", "/dev/ttyUSB1"};
    clock->advance(1000);
    devices.clear();
    clock->advance(1000);
    EXPECT_EQ(removals, 1);
}

} // namespace
