#include "EditorTestSupport.h"

#include "editor/EditorSession.h"
#include "protocol/Commands.h"

namespace {

struct EditorSessionTest : EditorBusFixture {
    SimLink link;
    EditorSession session{link, chosenTarget()};

    EditorSessionTest()
    {
        link.addPort(ports[0], &otherBus);
        link.addPort(ports[1], &bus);
        session.setAnnouncer([](const QString& text, bool) { UserDialogs::showMessage(nullptr, text); });
    }
    EditorSession::ConnectResult connect() { return session.connectEditor(ports); }
};

TEST_F(EditorSessionTest, ProbesEachPortAndKeepsTheOneThatAnswers)
{
    bus.addAmplifier(address);
    EXPECT_EQ(connect(), EditorSession::ConnectResult::Connected);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(link.portNumber(), ports[1]);
    EXPECT_EQ(link.settings(), QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(link.receiveThreshold(), 1);
    EXPECT_EQ(clock->waits(), QList<int>({200, 200}));
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::portProbe(address)});
    EXPECT_EQ(messages.messages, QStringList{QStringLiteral("The connection is successful")});
    EXPECT_EQ(session.statusText(), QStringLiteral("Normal"));
    EXPECT_TRUE(session.linkConnected());
    EXPECT_EQ(session.address(), address);
    EXPECT_TRUE(session.monitorTimer().isActive());
    EXPECT_EQ(session.monitorTimer().interval(), 1000);
}

TEST_F(EditorSessionTest, NoAnswerOnAnyPortFailsWithThePortClosed)
{
    bus.addAmplifier(address + 1); // another amplifier does not answer for ours
    EXPECT_EQ(connect(), EditorSession::ConnectResult::Failed);
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(messages.messages, QStringList{QStringLiteral("The connection fails")});
    EXPECT_EQ(session.statusText(), QStringLiteral("Not connected"));
    EXPECT_FALSE(session.linkConnected());
    EXPECT_FALSE(session.monitorTimer().isActive());
}

TEST_F(EditorSessionTest, NoPortTriesAndShowsNothing)
{
    EXPECT_EQ(session.connectEditor({}), EditorSession::ConnectResult::NoPort);
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_TRUE(clock->waits().isEmpty());
    EXPECT_EQ(session.statusText(), QStringLiteral("Not connected"));
}

TEST_F(EditorSessionTest, OneByteAnswerCountsAsTheAmplifier)
{
    // Nothing but the first byte of an answer arrives during the wait.
    QObject::connect(&otherBus, &SimBus::frameHeard, [this] { otherBus.injectNoise(hex("55"), clock->nowMs() + 10); });
    EXPECT_EQ(connect(), EditorSession::ConnectResult::Connected);
    EXPECT_EQ(link.portNumber(), ports[0]);
}

TEST_F(EditorSessionTest, FullStateWaitFollowsTheBaudRate)
{
    const std::pair<const char*, int> rows[] = {{"14400", 900}, {"19200", 800}, {"38400", 600}, {"56000", 500},
                                                {"115200", 500}, {"9600", 0},   {"", 0}};
    for (const auto& [baud, ms] : rows)
        EXPECT_EQ(EditorSession::fullStateWaitMs(QString::fromLatin1(baud)), ms) << baud;
}

TEST_F(EditorSessionTest, FullStateReadAppliesTheAnswerAndTheStatus)
{
    SimAmplifier& amp = bus.addAmplifier(address, 4, 30);
    amp.parameters().powerState = 2;
    amp.parameters().channels[1].volumeDb = -20;
    ASSERT_EQ(connect(), EditorSession::ConnectResult::Connected);
    clock->clearWaits();
    const auto reply = session.readFullState();
    ASSERT_TRUE(reply.has_value());
    EXPECT_TRUE(reply->startsWithHeader);
    EXPECT_EQ(clock->waits(), QList<int>{800});
    EXPECT_EQ(session.parameters().gainTop, 30);
    EXPECT_EQ(session.parameters().channels[1].volumeDb, -20);
    EXPECT_EQ(session.statusText(), QStringLiteral("Standby"));
}

TEST_F(EditorSessionTest, FullStateAtAnUnlistedRateIsReadWithoutWaiting)
{
    sharedState().baudText = QStringLiteral("9600");
    EditorSession session{link, chosenTarget()};
    bus.setBaudRate(9600);
    bus.addAmplifier(address).parameters().channels[0].volumeDb = -5;
    ASSERT_EQ(session.connectEditor(ports), EditorSession::ConnectResult::Connected);
    clock->clearWaits();
    const auto reply = session.readFullState();
    ASSERT_TRUE(reply.has_value());
    EXPECT_TRUE(clock->waits().isEmpty());
    // The answer was still on its way: nothing applied.
    EXPECT_FALSE(reply->startsWithHeader);
    EXPECT_EQ(session.parameters().channels[0].volumeDb, -80);
}

TEST_F(EditorSessionTest, ClosedPortReadsNothing)
{
    EXPECT_FALSE(session.readFullState().has_value());
    EXPECT_FALSE(session.refreshFromReply().has_value());
    EXPECT_FALSE(session.send(Commands::mute(address, 1, true)));
    EXPECT_FALSE(session.frameSentSinceTick());
}

TEST_F(EditorSessionTest, PollsEverySecondAndShowsTheReadings)
{
    SimAmplifier& amp = bus.addAmplifier(address);
    amp.readings().voltage[0] = 1200;
    amp.readings().current[0] = 100;
    amp.readings().temperature[3] = -200;
    amp.clipFlags = 0x00;
    ASSERT_EQ(connect(), EditorSession::ConnectResult::Connected);
    // The probe was a frame: the first tick sends no poll.
    clock->advance(1000);
    takeHeard();
    clock->advance(999);
    EXPECT_TRUE(takeHeard().isEmpty());
    clock->advance(1);
    EXPECT_EQ(takeHeard(), QList<QByteArray>{hex("55 06 03 50 00 01 01 5B")});
    clock->advance(100);
    EXPECT_EQ(session.readings().voltage[0], QStringLiteral("12.00V"));
    EXPECT_EQ(session.readings().current[0], QStringLiteral("1.00A"));
    EXPECT_EQ(session.readings().temperature[3], QStringLiteral("-2.00℃"));
    EXPECT_EQ(session.statusText(), QStringLiteral("clip"));
    EXPECT_EQ(session.missedPolls(), 0);
}

TEST_F(EditorSessionTest, UserFrameSkipsOnePoll)
{
    bus.addAmplifier(address);
    ASSERT_EQ(connect(), EditorSession::ConnectResult::Connected);
    clock->advance(900);
    EXPECT_TRUE(session.send(Commands::mute(address, 2, true)));
    takeHeard();
    clock->advance(100); // the tick after the frame sends nothing
    EXPECT_TRUE(takeHeard().isEmpty());
    EXPECT_FALSE(session.frameSentSinceTick());
    clock->advance(1000);
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::monitorPoll(address)});
}

TEST_F(EditorSessionTest, SevenUnansweredPollsShowTheLostPicture)
{
    SimAmplifier& amp = bus.addAmplifier(address);
    ASSERT_EQ(connect(), EditorSession::ConnectResult::Connected);
    clock->advance(1000); // the tick after the probe sends no poll
    amp.silent = true;
    QList<bool> connectedAfterTick;
    for (int tick = 1; tick <= 8; ++tick) {
        clock->advance(1000);
        connectedAfterTick.append(session.linkConnected());
    }
    EXPECT_EQ(connectedAfterTick, QList<bool>({true, true, true, true, true, true, false, false}));
    EXPECT_EQ(session.missedPolls(), 8);
    // The status keeps its last text; polling goes on.
    EXPECT_EQ(session.statusText(), QStringLiteral("Normal"));
    amp.silent = false;
    clock->advance(1100);
    EXPECT_TRUE(session.linkConnected());
    EXPECT_EQ(session.missedPolls(), 0);
}

TEST_F(EditorSessionTest, RefreshRatesAndOff)
{
    bus.addAmplifier(address);
    ASSERT_EQ(connect(), EditorSession::ConnectResult::Connected);
    session.setMonitorPeriod(1200);
    clock->advance(1200); // the tick after the probe sends no poll
    takeHeard();
    clock->advance(1199);
    EXPECT_TRUE(takeHeard().isEmpty());
    clock->advance(1);
    EXPECT_EQ(takeHeard().size(), 1);
    session.stopMonitor();
    clock->advance(10000);
    EXPECT_TRUE(takeHeard().isEmpty());
    EXPECT_EQ(session.monitorPeriodMs(), 1200);
}

TEST_F(EditorSessionTest, ArrivalProbesTheOpenPortInPlaceAndKeepsIt)
{
    bus.addAmplifier(address);
    ASSERT_EQ(connect(), EditorSession::ConnectResult::Connected);
    ASSERT_EQ(link.portNumber(), ports[1]);
    otherBus.addAmplifier(address); // the same address behind the newly arrived port
    session.setMonitorPeriod(2400);
    takeHeard();
    messages.messages.clear();
    int otherHeard = 0;
    QObject::connect(&otherBus, &SimBus::frameHeard, [&] { ++otherHeard; });

    // The port list leaves out the port this editor holds open.
    EXPECT_EQ(session.connectEditor({ports[0]}), EditorSession::ConnectResult::Connected);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(link.portNumber(), ports[1]);
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::portProbe(address)});
    EXPECT_EQ(otherHeard, 0);
    EXPECT_TRUE(session.linkConnected());
    EXPECT_EQ(session.statusText(), QStringLiteral("Normal"));
    EXPECT_EQ(messages.messages, QStringList{QStringLiteral("The connection is successful")});

    // The chosen rate survives: a second to the first tick (which the probe
    // skips), then 2400 ms.
    EXPECT_EQ(session.monitorPeriodMs(), 2400);
    clock->advance(1000);
    EXPECT_TRUE(takeHeard().isEmpty());
    clock->advance(2399);
    EXPECT_TRUE(takeHeard().isEmpty());
    clock->advance(1);
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::monitorPoll(address)});
}

TEST_F(EditorSessionTest, ArrivalWithTheAmplifierGoneMovesToThePortWhereItAnswers)
{
    SimAmplifier& amp = bus.addAmplifier(address);
    ASSERT_EQ(connect(), EditorSession::ConnectResult::Connected);
    amp.silent = true;
    otherBus.addAmplifier(address);
    EXPECT_EQ(session.connectEditor({ports[0]}), EditorSession::ConnectResult::Connected);
    EXPECT_EQ(link.portNumber(), ports[0]);
}

TEST_F(EditorSessionTest, EveryFrameOnTheEditorLinkSkipsThePoll)
{
    bus.addAmplifier(address);
    ASSERT_EQ(connect(), EditorSession::ConnectResult::Connected);
    EXPECT_TRUE(session.frameSentSinceTick()) << "the probe";
    clock->advance(1000);
    ASSERT_FALSE(session.frameSentSinceTick());
    session.readFullState();
    EXPECT_TRUE(session.frameSentSinceTick()) << "the full-state request";
    clock->advance(1000);
    ASSERT_FALSE(session.frameSentSinceTick());
    // What the preset actions write on the editor's link counts alike.
    takeHeard();
    session.link().write(Commands::fullStateRequest(address));
    EXPECT_TRUE(session.frameSentSinceTick());
    clock->advance(1000);
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::fullStateRequest(address)}) << "no poll after it";
    // The poll itself is no such frame: the next tick polls again.
    clock->advance(1000);
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::monitorPoll(address)});
    clock->advance(1000);
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::monitorPoll(address)});
}

} // namespace
