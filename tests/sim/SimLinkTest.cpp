#include "sim/SimLink.h"
#include "SimHex.h"

#include "clock/VirtualClock.h"
#include "protocol/Commands.h"
#include "serial/SerialError.h"
#include "sim/SimBus.h"

#include <gtest/gtest.h>

namespace {

const QString settings19200 = QStringLiteral("19200,n,8,1");

struct LinkOnBus : testing::Test {
    ScopedVirtualClock clock;
    SimBus bus{19200};
    SimLink link{&bus};
    int notifications = 0;

    LinkOnBus()
    {
        bus.addAmplifier(1);
        bus.setLatencyMs(5);
        QObject::connect(&link, &SerialLink::received, [this](int code) {
            EXPECT_EQ(code, SerialLink::dataReceivedEvent);
            EXPECT_FALSE(clock->isWaiting());
            ++notifications;
        });
        link.open(1, settings19200);
    }
};

TEST_F(LinkOnBus, AnswersAreReadableOnlyFromTheirDueTime)
{
    link.write(Commands::portProbe(1));
    EXPECT_TRUE(link.readAll().isEmpty());
    clock->waitMs(4);
    EXPECT_TRUE(link.readAll().isEmpty());
    clock->waitMs(1);
    EXPECT_EQ(spaced(link.readAll()), spaced(hex("55 06 01 02 00 03 00 0C")));
    EXPECT_TRUE(link.readAll().isEmpty());
}

TEST_F(LinkOnBus, NotificationOnceTheThresholdIsDue)
{
    link.setReceiveThreshold(7);
    link.write(Commands::portProbe(1));
    clock->advance(4);
    EXPECT_EQ(notifications, 0);
    clock->advance(1);
    EXPECT_EQ(notifications, 1);
    clock->advance(100);
    EXPECT_EQ(notifications, 1); // not again until the bytes are taken
    link.readAll();
    link.write(Commands::portProbe(1));
    clock->advance(10);
    EXPECT_EQ(notifications, 2);
}

TEST_F(LinkOnBus, ThresholdCountsBytesOfSeveralAnswers)
{
    link.setReceiveThreshold(20);
    for (int i = 0; i < 2; ++i) {
        link.write(Commands::portProbe(1));
        clock->advance(10);
    }
    EXPECT_EQ(notifications, 0); // 16 bytes waiting
    link.write(Commands::portProbe(1));
    clock->advance(10);
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(link.readAll().size(), 24);
}

TEST_F(LinkOnBus, NoNotificationForAnAnswerReadAfterAWait)
{
    link.write(Commands::statusQuery(1));
    clock->waitMs(100);
    EXPECT_EQ(link.readAll().size(), 11);
    clock->runDue();
    EXPECT_EQ(notifications, 0);
}

TEST_F(LinkOnBus, NotificationForUnsolicitedReportsAndAfterAPartialRead)
{
    bus.sendFaultReport(1, 0xFE, clock->nowMs() + 30);
    clock->advance(29);
    EXPECT_EQ(notifications, 0);
    clock->advance(1);
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(spaced(link.readAll()), spaced(hex("55 06 01 40 00 01 FE 46")));

    // more than the read limit waiting: the rest notifies again
    // (one amplifier sends its answers one after the other: 311 ms each at 19200)
    link.write(Commands::fullStateRequest(1) + Commands::fullStateRequest(1));
    clock->advance(700);
    EXPECT_EQ(notifications, 2);
    EXPECT_EQ(link.readAll().size(), SerialLink::readLimit);
    clock->runDue();
    EXPECT_EQ(notifications, 3);
    EXPECT_EQ(link.readAll().size(), 2 * 597 - SerialLink::readLimit);
}

TEST_F(LinkOnBus, DiscardDropsOnlyWhatArrived)
{
    bus.setWireTime(true);
    link.write(Commands::fullStateRequest(1));
    clock->waitMs(105); // 5 ms latency, then 0.52 ms a byte
    link.discardInput();
    clock->waitMs(400);
    EXPECT_EQ(link.readAll().size(), 597 - 192);
}

TEST_F(LinkOnBus, SpeedMustMatchTheBus)
{
    link.applySettings(QStringLiteral("14400,n,8,1"));
    EXPECT_EQ(link.baudRate(), 14400);
    link.write(Commands::portProbe(1));
    clock->waitMs(300);
    EXPECT_TRUE(link.readAll().isEmpty());
    link.applySettings(settings19200);
    link.write(Commands::portProbe(1));
    clock->waitMs(300);
    EXPECT_EQ(link.readAll().size(), 8);
}

TEST_F(LinkOnBus, RefusalsRaiseSerialError)
{
    for (const char* bad : {"19200,e,8,1", "19200", "fast,n,8,1", "", " 19200,n,8,1", "-5,n,8,1"})
        EXPECT_THROW(link.applySettings(QString::fromLatin1(bad)), SerialError) << bad;
    EXPECT_EQ(link.settings(), settings19200);

    link.close();
    EXPECT_FALSE(link.isOpen());
    EXPECT_THROW(link.write(Commands::portProbe(1)), SerialError);
    EXPECT_NO_THROW(link.discardInput());
    EXPECT_TRUE(link.readAll().isEmpty());
    EXPECT_NO_THROW(link.applySettings(QStringLiteral("38400,n,8,1"))); // allowed while closed
    EXPECT_THROW(link.open(0, settings19200), SerialError);
    EXPECT_THROW(link.open(2, settings19200), SerialError);
    EXPECT_FALSE(link.isOpen());
}

TEST_F(LinkOnBus, PortIsExclusive)
{
    SimLink other(&bus);
    EXPECT_THROW(other.open(1, settings19200), SerialError);
    link.open(1, settings19200); // already open: only the settings
    link.close();
    other.open(1, settings19200);
    other.write(Commands::portProbe(1));
    clock->waitMs(10);
    EXPECT_EQ(other.readAll().size(), 8);
}

TEST_F(LinkOnBus, UnpluggedAdapter)
{
    link.write(Commands::portProbe(1));
    bus.setPluggedIn(false);
    clock->advance(10);
    EXPECT_EQ(notifications, 0);
    EXPECT_TRUE(link.isOpen());
    EXPECT_TRUE(link.readAll().isEmpty());
    EXPECT_THROW(link.write(Commands::portProbe(1)), SerialError);
    link.close();
    EXPECT_THROW(link.open(1, settings19200), SerialError);

    bus.setPluggedIn(true);
    link.open(1, settings19200);
    link.write(Commands::portProbe(1));
    clock->advance(10);
    EXPECT_EQ(notifications, 1);
}

TEST_F(LinkOnBus, SeveralPorts)
{
    SimBus second(38400);
    second.addAmplifier(4);
    link.close();
    link.addPort(2, &second);
    link.open(2, QStringLiteral("38400,n,8,1"));
    EXPECT_EQ(link.portNumber(), 2);
    link.write(Commands::portProbe(0));
    clock->waitMs(10);
    EXPECT_EQ(spaced(link.readAll()), spaced(hex("55 06 04 02 00 03 00 0F")));
}

} // namespace
