#include "sim/SimConsole.h"
#include "SimHex.h"

#include "sim/SimBus.h"

#include <gtest/gtest.h>

namespace {

struct ConsoleRow {
    const char* line;
    const char* reply;   // the start of the reply
    const char* onLine;  // bytes the bus then sends, hex
};

void PrintTo(const ConsoleRow& row, std::ostream* os) { *os << row.line; }

class Console : public testing::TestWithParam<ConsoleRow> {};

TEST_P(Console, CommandsStageFaults)
{
    SimBus bus;
    bus.addAmplifier(1);
    const QString reply = runSimCommand(bus, QString::fromLatin1(GetParam().line), 0);
    const QString expected = QString::fromLatin1(GetParam().reply);
    EXPECT_EQ(reply.left(expected.size()).toStdString(), expected.toStdString());
    EXPECT_EQ(spaced(bus.takeDue(100)), spaced(hex(GetParam().onLine)));
}

INSTANTIATE_TEST_SUITE_P(Rows, Console, testing::Values(
    ConsoleRow{"fault 1 0xFE", "ok", "55 06 01 40 00 01 FE 46"},
    ConsoleRow{"  temp   1 ", "ok", "55 06 01 44 00 01 00 4C"},
    ConsoleRow{"ignored 1", "ok", "55 06 01 43 00 01 00 4B"},
    ConsoleRow{"fault 1 256", "error:", ""},
    ConsoleRow{"fault x 1", "error:", ""},
    ConsoleRow{"silent 9 on", "error: no amplifier", ""},
    ConsoleRow{"frobnicate 1", "error:", ""},
    ConsoleRow{"", "", ""},
    ConsoleRow{"list", "1: 4 channels, gainTop 41, on", ""}));

TEST(Console, FaultsAndReadingsReachTheAnswers)
{
    SimBus bus;
    SimAmplifier& amp = bus.addAmplifier(1);
    EXPECT_EQ(runSimCommand(bus, QStringLiteral("flags 1 0xFE 0 0x0F"), 0), QStringLiteral("ok"));
    EXPECT_EQ(runSimCommand(bus, QStringLiteral("reading 1 2 24.5 -1.25 61"), 0), QStringLiteral("ok"));
    EXPECT_EQ(runSimCommand(bus, QStringLiteral("delay 1 300"), 0), QStringLiteral("ok"));
    EXPECT_EQ(runSimCommand(bus, QStringLiteral("garbage 1 on"), 0), QStringLiteral("ok"));
    EXPECT_EQ(amp.clipFlags, 0xFE);
    EXPECT_EQ(amp.limitingFlags, 0x00);
    EXPECT_EQ(amp.protectionFlags, 0x0F);
    EXPECT_EQ(amp.readings().voltage[1], 2450);
    EXPECT_EQ(amp.readings().current[1], -125);
    EXPECT_EQ(amp.readings().temperature[1], 6100);
    EXPECT_EQ(amp.extraDelayMs, 300);
    EXPECT_TRUE(amp.answersGarbage);
    EXPECT_EQ(runSimCommand(bus, QStringLiteral("silent 1 maybe"), 0).left(6), QStringLiteral("error:"));
    EXPECT_FALSE(amp.silent);
}

} // namespace
