#include "DevicesTestSupport.h"

#include "clock/VirtualClock.h"
#include "devices/DeviceSession.h"
#include "devices/DeviceTable.h"
#include "protocol/Commands.h"
#include "sim/SimBus.h"
#include "sim/SimLink.h"

namespace {

struct SessionTest : EnglishFixture {
    ScopedVirtualClock clock;
    SimBus bus{38400};
    SimLink link{&bus};
    DeviceTable table;
    DeviceSession session{link, table};
    QList<QByteArray> heard;

    SessionTest()
    {
        QObject::connect(&bus, &SimBus::frameHeard, [this](const QByteArray& f) { heard.append(f); });
    }
    void openAt38400() { link.open(1, QStringLiteral("38400,n,8,1")); }
    int queriesTo(int address) const { return static_cast<int>(heard.count(Commands::statusQuery(static_cast<DeviceAddress>(address)))); }
};

TEST_F(SessionTest, DetectFindsTheBusAt38400AfterTheSlowerRates)
{
    bus.addAmplifier(1);
    SimBus silentBus{38400}; // port 2 answers at no rate
    link.addPort(2, &silentBus);
    EXPECT_TRUE(session.detectPort({2, 1}));
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(link.portNumber(), 1);
    EXPECT_EQ(link.settings(), QStringLiteral("38400,n,8,1"));
    EXPECT_EQ(link.receiveThreshold(), 7);
    EXPECT_EQ(sharedState().baudText, QStringLiteral("38400"));
    EXPECT_EQ(sharedState().portNumber, 1);
    // Five rates on the silent port, then 14400, 19200 and 38400.
    EXPECT_EQ(clock->waits(), QList<int>(8, 300));
}

TEST_F(SessionTest, DetectWithNothingAnsweringClosesThePort)
{
    EXPECT_FALSE(session.detectPort({1}));
    EXPECT_FALSE(link.isOpen());
    EXPECT_TRUE(sharedState().baudText.isEmpty());
    EXPECT_EQ(clock->waits().size(), 5);
}

TEST_F(SessionTest, DetectKeepsToTheFirstTenPorts)
{
    QList<int> ports(10, 2);
    ports.append(1);
    SimBus silentBus{38400};
    link.addPort(2, &silentBus);
    bus.addAmplifier(1);
    EXPECT_FALSE(session.detectPort(ports));
    EXPECT_EQ(clock->waits().size(), 50);
}

TEST_F(SessionTest, SearchWithNothingAnsweringProbesEveryAddress)
{
    openAt38400();
    QList<int> progress;
    EXPECT_TRUE(session.searchDevices([&](int a) { progress.append(a); }));
    EXPECT_EQ(clock->nowMs(), 254 * 20);
    EXPECT_EQ(progress.size(), 254);
    EXPECT_EQ(progress.first(), 1);
    EXPECT_EQ(progress.last(), 254);
    EXPECT_EQ(table.size(), 0);
}

TEST_F(SessionTest, SearchFindsThreeAmplifiersAndSkipsListedAddresses)
{
    for (int a : {4, 17, 200})
        bus.addAmplifier(static_cast<std::uint8_t>(a));
    bus.amplifier(17)->parameters().powerState = 2;
    bus.amplifier(200)->protectionFlags = 0x0F;
    table.appendRow(QStringLiteral("1"), {}, {}, {});
    table.appendRow(QStringLiteral("2"), {}, {}, {});
    openAt38400();
    QList<int> progress;
    session.searchDevices([&](int a) { progress.append(a); });
    EXPECT_EQ(queriesTo(1), 0);
    EXPECT_EQ(queriesTo(2), 0);
    EXPECT_EQ(queriesTo(3), 1);
    EXPECT_EQ(progress.size(), 252);
    ASSERT_EQ(table.size(), 5);
    EXPECT_EQ(table.row(2), (DeviceRow{"3", "4", "", "The connection", "Normal", {AmpStatusKind::Normal}}));
    EXPECT_EQ(table.row(3), (DeviceRow{"4", "17", "", "The connection", "Standby", {AmpStatusKind::Standby}}));
    EXPECT_EQ(table.row(4), (DeviceRow{"5", "200", "", "The connection", "Dc protection", {AmpStatusKind::DcProtection}}));
}

TEST_F(SessionTest, SearchRowTakesTheAddressTheReplyCarries)
{
    SimAmplifier& amp = bus.addAmplifier(5);
    amp.extraDelayMs = 25; // answers after the search moved on to the next address
    openAt38400();
    session.searchDevices();
    ASSERT_EQ(table.size(), 1);
    EXPECT_EQ(table.text(0, DeviceTable::AddressColumn), QStringLiteral("5"));
}

TEST_F(SessionTest, LateReplyLandsOnTheNextRowInARefresh)
{
    bus.addAmplifier(1).extraDelayMs = 150;
    table.appendRow(QStringLiteral("1"), {}, {}, {});
    table.appendRow(QStringLiteral("2"), {}, {}, {});
    openAt38400();
    EXPECT_TRUE(session.refreshDevices());
    EXPECT_EQ(table.row(0), (DeviceRow{"1", "1", "", "Not connected", " "}));
    EXPECT_EQ(table.row(1), (DeviceRow{"2", "2", "", "The connection", "Normal", {AmpStatusKind::Normal}}));
    EXPECT_EQ(clock->waits(), QList<int>({100, 100}));
}

TEST_F(SessionTest, RefreshReopensOnlyWhenTheEditorAllowsIt)
{
    bus.addAmplifier(1);
    table.appendRow(QStringLiteral("1"), {}, {}, {});
    openAt38400();
    session.prepareEditor(0);
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(sharedState().selectedAddress, 1);
    EXPECT_FALSE(session.refreshDevices());
    EXPECT_TRUE(heard.isEmpty());
    sharedState().reopenHomePort = true;
    EXPECT_TRUE(session.refreshDevices());
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(table.text(0, DeviceTable::StateColumn), QStringLiteral("Normal"));
}

TEST_F(SessionTest, AddressEdits)
{
    struct Case {
        const char* typed;
        bool accepted;
        const char* cell;
    };
    const Case cases[] = {{"0", false, "3"}, {"255", false, "3"}, {"abc", false, "3"}, {"007", true, "007"}, {"254", true, "254"}};
    bus.addAmplifier(3);
    openAt38400();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        table.clear();
        table.appendRow(QStringLiteral("3"), {}, {}, {});
        heard.clear();
        const AddressEditResult result = session.commitAddressEdit(0, QString::fromLatin1(c.typed));
        EXPECT_EQ(result.accepted, c.accepted);
        EXPECT_EQ(result.message, c.accepted ? QString() : QStringLiteral("Input error, please enter 1-254"));
        EXPECT_EQ(table.text(0, DeviceTable::AddressColumn), QString::fromLatin1(c.cell));
        const int n = c.accepted ? QString::fromLatin1(c.typed).toInt() : -1;
        EXPECT_EQ(heard, c.accepted ? QList<QByteArray>{Commands::addressChange(3, static_cast<DeviceAddress>(n))}
                                    : QList<QByteArray>{});
        bus.amplifier(static_cast<std::uint8_t>(c.accepted ? n : 3))->setAddress(3);
    }
}

TEST_F(SessionTest, AddressEditWithThePortClosedSendsNothing)
{
    table.appendRow(QStringLiteral("3"), {}, {}, {});
    bus.addAmplifier(3);
    ASSERT_FALSE(link.isOpen());
    EXPECT_TRUE(session.commitAddressEdit(0, QStringLiteral("9")).accepted);
    EXPECT_EQ(table.text(0, DeviceTable::AddressColumn), QStringLiteral("9"));
    EXPECT_TRUE(heard.isEmpty());
    EXPECT_EQ(bus.amplifier(3)->address(), 3);
}

TEST_F(SessionTest, FaultReportArrivingOnTheLink)
{
    table.appendRow(QStringLiteral("6"), {}, {}, {});
    openAt38400();
    link.setReceiveThreshold(7);
    QObject::connect(&link, &SerialLink::received, [this](int code) { session.onHomeReceive(code); });
    bus.sendFaultReport(6, 0xFD, clock->nowMs());
    clock->advance(10);
    EXPECT_EQ(table.text(0, DeviceTable::StateColumn), QStringLiteral("fault2"));
    EXPECT_EQ(sharedState().editorStatus, (AmpStatus{AmpStatusKind::FaultNumber, 2}));
}

} // namespace
