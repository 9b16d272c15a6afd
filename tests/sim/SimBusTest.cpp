#include "sim/SimBus.h"
#include "SimHex.h"

#include "protocol/Commands.h"

#include <gtest/gtest.h>

namespace {

constexpr int baud = 19200;

// A bus of amplifiers 1, 2 and 7 at 19200 baud.
struct ThreeAmps {
    SimBus bus{baud};
    ThreeAmps()
    {
        for (int a : {1, 2, 7})
            bus.addAmplifier(static_cast<std::uint8_t>(a));
    }
    QByteArray ask(const QByteArray& request, int lineBaud = baud)
    {
        bus.write(request, lineBaud, 0);
        return bus.takeDue(1000);
    }
};

struct AnswerRow {
    const char* what;
    const char* request;
    const char* answer; // empty: the amplifiers stay silent
};

void PrintTo(const AnswerRow& row, std::ostream* os) { *os << row.what; }

class BusAnswers : public testing::TestWithParam<AnswerRow> {};

TEST_P(BusAnswers, AnswerPerFrameType)
{
    ThreeAmps amps;
    EXPECT_EQ(spaced(amps.ask(hex(GetParam().request))), spaced(hex(GetParam().answer)));
}

INSTANTIATE_TEST_SUITE_P(Rows, BusAnswers, testing::Values(
    AnswerRow{"probe", "55 06 01 02 00 02 00 0B", "55 06 01 02 00 03 00 0C"},
    AnswerRow{"status", "55 06 02 17 00 02 00 21", "55 09 02 17 00 02 01 00 FF FF 23"},
    AnswerRow{"monitor", "55 06 07 50 00 01 01 5F",
              "55 22 07 50 00 01 04 CE 04 CE 04 CE 04 CE 00 96 00 96 00 96 00 96"
              " 0D DE 0D DE 0D DE 0D DE 0F A0 FF FF FF 72"},
    AnswerRow{"slot name of a clear slot", "55 06 01 83 03 02 00 8F", "55 0A 01 83 03 02 45 6D 70 74 79 A2"},
    AnswerRow{"slot 0 has no name", "55 06 01 83 00 02 00 8C", ""},
    AnswerRow{"nobody at 9", "55 06 09 02 00 02 00 13", ""},
    AnswerRow{"bad checksum", "55 06 01 02 00 02 00 0C", ""},
    AnswerRow{"parameter commands are not acknowledged", "55 06 01 10 02 03 EC 08", ""},
    AnswerRow{"power on is not acknowledged", "55 06 01 17 00 01 01 20", ""},
    AnswerRow{"garbage before a frame", "00 55 FF 55 55 06 01 02 00 02 00 0B", "55 06 01 02 00 03 00 0C"},
    AnswerRow{"a frame cut off, then a whole one", "55 06 01 02 00 55 06 01 02 00 02 00 0B",
              "55 06 01 02 00 03 00 0C"}));

TEST(SimBus, StatusReplyCarriesPowerLimitingAndProtection)
{
    ThreeAmps amps;
    SimAmplifier& amp = *amps.bus.amplifier(2);
    amps.bus.write(Commands::power(2, 2), baud, 0);
    amp.limitingFlags = 0x00;
    amp.protectionFlags = 0xF0;
    EXPECT_EQ(spaced(amps.ask(Commands::statusQuery(2))), spaced(hex("55 09 02 17 00 02 02 00 00 F0 16")));
    amp.shortStatusReply = true;
    EXPECT_EQ(spaced(amps.ask(Commands::statusQuery(2))), spaced(hex("55 06 02 17 00 02 02 23")));
}

TEST(SimBus, MonitorReplyInStandbyShowsNoOutputButTemperatures)
{
    ThreeAmps amps;
    amps.bus.amplifier(1)->clipFlags = 0x0E;
    amps.bus.write(Commands::power(1, 2), baud, 0);
    const QByteArray reply = amps.ask(Commands::monitorPoll(1));
    ASSERT_EQ(reply.size(), 36);
    for (int i = 6; i < 22; ++i)
        EXPECT_EQ(at(reply, i), 0) << i;
    EXPECT_EQ(at(reply, 22), 0x0D);
    EXPECT_EQ(at(reply, 32), 0x0E);
}

TEST(SimBus, AddressChangeMovesTheAmplifier)
{
    ThreeAmps amps;
    amps.ask(Commands::addressChange(2, 9));
    EXPECT_TRUE(amps.ask(Commands::portProbe(2)).isEmpty());
    EXPECT_EQ(spaced(amps.ask(Commands::portProbe(9))), spaced(hex("55 06 09 02 00 03 00 14")));
    // 0 and 255 are no addresses of one amplifier
    amps.ask(Commands::addressChange(9, 0));
    EXPECT_EQ(amps.bus.amplifiers()[1]->address(), 9);
}

TEST(SimBus, BaudMismatchIsSilenceAndLosesThePartialFrame)
{
    ThreeAmps amps;
    for (int other : {9600, 14400, 38400, 56000, 115200})
        EXPECT_TRUE(amps.ask(Commands::portProbe(1), other).isEmpty()) << other;
    // The head of a frame at the right speed, its tail at the wrong one.
    const QByteArray probe = Commands::portProbe(1);
    amps.bus.write(probe.left(4), baud, 0);
    amps.bus.write(probe.mid(4), 38400, 0);
    EXPECT_TRUE(amps.ask(probe.mid(4)).isEmpty());
    EXPECT_FALSE(amps.ask(probe).isEmpty());
}

TEST(SimBus, SimultaneousAnswersLaterWins)
{
    // All three answer the probe to 0 at once: the amplifier added last wins.
    ThreeAmps amps;
    EXPECT_EQ(spaced(amps.ask(Commands::portProbe(0))), spaced(hex("55 06 07 02 00 03 00 12")));
}

TEST(SimBus, OverlappingAnswerCutsTheEarlierOne)
{
    ThreeAmps amps;
    amps.bus.setWireTime(true);
    // 19200 baud: 0.52 ms a byte; amplifier 7 starts 2 ms after amplifier 1,
    // so 1 has completed 3 bytes when 7 overruns it.
    amps.bus.amplifier(7)->extraDelayMs = 2;
    amps.bus.amplifier(2)->silent = true;
    amps.bus.write(Commands::portProbe(0), baud, 0);
    EXPECT_EQ(spaced(amps.bus.takeDue(1000)), spaced(hex("55 06 01 55 06 07 02 00 03 00 12")));
    amps.bus.write(Commands::portProbe(0), baud, 0);
    EXPECT_EQ(amps.bus.pendingCount(), 11); // the same again, nothing left over
}

TEST(SimBus, AnswersThatDoNotOverlapBothArrive)
{
    ThreeAmps amps;
    amps.bus.amplifier(2)->silent = true;
    amps.bus.amplifier(7)->extraDelayMs = 20;
    amps.bus.write(Commands::portProbe(0), baud, 0);
    EXPECT_EQ(spaced(amps.bus.takeDue(1000)),
              spaced(hex("55 06 01 02 00 03 00 0C 55 06 07 02 00 03 00 12")));
}

TEST(SimBus, ReportCollidingWithAnAnswerWins)
{
    ThreeAmps amps;
    amps.bus.setLatencyMs(2);
    amps.bus.write(Commands::statusQuery(1), baud, 0);
    amps.bus.sendFaultReport(2, 0xFE, 3); // 1 ms into the 11-byte status reply
    EXPECT_EQ(spaced(amps.bus.takeDue(1000)), spaced(hex("55 55 06 02 40 00 01 FE 47")));
}

TEST(SimBus, OneAmplifierAnswersInTurn)
{
    ThreeAmps amps;
    amps.bus.write(Commands::portProbe(1) + Commands::statusQuery(1), baud, 0);
    EXPECT_EQ(spaced(amps.bus.takeDue(1000)),
              spaced(hex("55 06 01 02 00 03 00 0C 55 09 01 17 00 02 01 00 FF FF 22")));
}

TEST(SimBus, AnswersBecomeDueAfterLatencyDelayAndWireTime)
{
    SimBus bus(14400);
    SimAmplifier& amp = bus.addAmplifier(3);
    bus.setLatencyMs(5);
    amp.extraDelayMs = 100;
    const auto answers = bus.write(Commands::portProbe(3), 14400, 1000);
    ASSERT_EQ(answers.size(), 1);
    EXPECT_EQ(answers[0].dueMs(7), 1105);
    EXPECT_TRUE(bus.takeDue(1104).isEmpty());
    EXPECT_EQ(bus.takeDue(1105).size(), 8);

    // 597 bytes at 14400 baud take 415 ms, readable byte by byte.
    bus.setWireTime(true);
    amp.extraDelayMs = 0;
    bus.write(Commands::fullStateRequest(3), 14400, 0);
    EXPECT_EQ(bus.timeWhenDue(597), 5 + 415);
    EXPECT_EQ(bus.timeWhenDue(1), 5 + 1);
    EXPECT_FALSE(bus.timeWhenDue(598).has_value());
    EXPECT_EQ(bus.takeDue(5 + 208).size(), 299);
    EXPECT_EQ(bus.takeDue(420).size(), 298);
}

TEST(SimBus, GarbageAnswersAreNoFrames)
{
    ThreeAmps amps;
    amps.bus.amplifier(1)->answersGarbage = true;
    const QByteArray answer = amps.ask(Commands::portProbe(1));
    ASSERT_EQ(answer.size(), 8);
    EXPECT_NE(at(answer, 0), 0x55);
    EXPECT_NE(answer, hex("55 06 01 02 00 03 00 0C"));
}

TEST(SimBus, SilentAmplifierStillObeys)
{
    ThreeAmps amps;
    amps.bus.amplifier(1)->silent = true;
    EXPECT_TRUE(amps.ask(Commands::portProbe(1)).isEmpty());
    amps.ask(Commands::mute(1, 1, true));
    EXPECT_TRUE(amps.bus.amplifier(1)->parameters().channels[0].mute);
}

TEST(SimBus, UnsolicitedReports)
{
    ThreeAmps amps;
    amps.bus.sendFaultReport(1, 0xFE, 0);
    amps.bus.sendTemperatureProtectionReport(1, 10);
    amps.bus.sendIgnoredReport(1, 20);
    amps.bus.sendFaultReport(200, 0x7F, 30); // no such amplifier: a stray device
    EXPECT_EQ(spaced(amps.bus.takeDue(1000)),
              spaced(hex("55 06 01 40 00 01 FE 46 55 06 01 44 00 01 00 4C 55 06 01 43 00 01 00 4B"
                         " 55 06 C8 40 00 01 7F 8E")));
}

TEST(SimBus, ReadLimitLeavesTheRestForLater)
{
    ThreeAmps amps;
    amps.bus.write(Commands::fullStateRequest(1) + Commands::fullStateRequest(1), baud, 0);
    EXPECT_EQ(amps.bus.dueCount(1000), 2 * 597);
    EXPECT_EQ(amps.bus.takeDue(1000, 1024).size(), 1024);
    EXPECT_EQ(amps.bus.takeDue(1000).size(), 2 * 597 - 1024);
}

TEST(SimBus, RandomBytesNeverCrashAndTheBusRecovers)
{
    ThreeAmps amps;
    std::uint32_t state = 12345;
    for (int round = 0; round < 2000; ++round) {
        QByteArray noise;
        for (int i = 0; i < 37; ++i) {
            state = state * 1664525u + 1013904223u;
            // plenty of headers and small length bytes to provoke long candidates
            const std::uint8_t b = static_cast<std::uint8_t>(state >> 24);
            noise.append(static_cast<char>(b < 40 ? 0x55 : b < 60 ? 0x02 : b));
        }
        amps.bus.write(noise, baud, round);
    }
    amps.bus.takeDue(1'000'000);
    // after a quiet gap the next probe is heard
    amps.bus.write(Commands::portProbe(1), baud, 5000);
    EXPECT_EQ(spaced(amps.bus.takeDue(6000)), spaced(hex("55 06 01 02 00 03 00 0C")));
}

} // namespace
