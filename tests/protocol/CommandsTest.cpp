#include "protocol/Commands.h"
#include "protocol/ControlFrame.h"
#include "Hex.h"

#include <gtest/gtest.h>

namespace {

struct CommandRow {
    const char* name;
    QByteArray frame;
    const char* expected;
};

void PrintTo(const CommandRow& row, std::ostream* os) { *os << row.name; }

class CommandFrames : public testing::TestWithParam<CommandRow> {};

TEST_P(CommandFrames, WholeFrameOnTheWire)
{
    EXPECT_EQ(GetParam().frame.toHex(' ').toUpper(), hex(GetParam().expected).toHex(' ').toUpper());
    EXPECT_TRUE(ControlFrame::isWellFormed(GetParam().frame));
}

using namespace Commands;

INSTANTIATE_TEST_SUITE_P(Editor, CommandFrames, testing::Values(
    CommandRow{"portProbe", portProbe(3), "55 06 03 02 00 02 00 0D"},
    CommandRow{"volume -20 CHB", volume(3, 2, -20), "55 06 03 10 02 03 EC 0A"},
    CommandRow{"volume +6", volume(3, 1, 6), "55 06 03 10 01 03 06 23"},
    CommandRow{"volume -80", volume(3, 4, -80), "55 06 03 10 04 03 B0 D0"},
    CommandRow{"mute", mute(5, 3, true), "55 06 05 11 03 01 01 21"},
    CommandRow{"inputType AUTO", inputType(5, 2, 2), "55 06 05 13 02 01 02 23"},
    CommandRow{"gain", gain(5, 1, 41), "55 06 05 14 01 01 29 4A"},
    CommandRow{"delay", delay(5, 4, 65000), "55 07 05 15 04 01 FD E8 0B"},
    CommandRow{"power standby", power(7, 2), "55 06 07 17 00 01 02 27"},
    CommandRow{"factoryReset", factoryReset(7), "55 06 07 19 00 01 01 28"},
    CommandRow{"knobLock", knobLock(7, true), "55 06 07 1A 00 01 01 29"},
    CommandRow{"outputSource bridged", outputSource(7, 2, 5), "55 06 07 1B 02 01 05 30"},
    CommandRow{"invert", invert(7, 3, true), "55 06 07 1C 03 01 01 2E"},
    CommandRow{"highPassType 48dB_Lnkwtz", highPassType(7, 1, 9), "55 06 07 20 01 01 0A 39"},
    CommandRow{"lowPassType Bypass", lowPassType(7, 2, 0), "55 06 07 21 02 01 01 32"},
    CommandRow{"highPassFrequency", highPassFrequency(7, 1, 20000), "55 07 07 22 01 01 4E 20 A0"},
    CommandRow{"lowPassFrequency", lowPassFrequency(7, 3, 20), "55 07 07 23 03 01 00 14 49"},
    CommandRow{"attack slider", attack(9, 1, 10000, AttackSource::Slider), "55 07 09 24 01 01 27 10 6D"},
    CommandRow{"attack box", attack(9, 1, 1, AttackSource::Box), "55 07 09 24 01 03 00 01 39"},
    CommandRow{"release", release(9, 4, 300), "55 07 09 25 04 03 01 2C 69"},
    CommandRow{"threshold negative", threshold(9, 2, -5), "55 06 09 26 02 01 FB 33"},
    CommandRow{"eqBypass", eqBypass(9, 1, true), "55 06 09 30 01 01 01 42"},
    CommandRow{"eqBand 15 of CHD, -18 dB", eqBand(3, 4, 15, 1000, -18), "55 0A 03 31 04 0F 03 03 E8 F8 F8 2F"},
    CommandRow{"eqBand +18 dB", eqBand(3, 1, 1, 20, 18), "55 0A 03 31 01 01 03 00 14 07 08 66"},
    CommandRow{"eqQ", eqQ(3, 2, 5, 2000), "55 08 03 32 02 05 01 07 D0 1C"},
    CommandRow{"eqType Bessel High", eqType(3, 2, 5, 10), "55 07 03 33 02 05 01 0B 50"},
    CommandRow{"eqReset", eqReset(3, 3), "55 07 03 34 03 00 01 01 43"},
    CommandRow{"monitorPoll", monitorPoll(3), "55 06 03 50 00 01 01 5B"},
    CommandRow{"fullStateRequest", fullStateRequest(3), "55 04 03 60 02 69"}));

INSTANTIATE_TEST_SUITE_P(HomePage, CommandFrames, testing::Values(
    CommandRow{"portProbe to all", portProbe(0), "55 06 00 02 00 02 00 0A"},
    CommandRow{"statusQuery", statusQuery(9), "55 06 09 17 00 02 00 28"},
    CommandRow{"addressChange", addressChange(3, 9), "55 06 03 18 00 01 09 2B"}));

INSTANTIATE_TEST_SUITE_P(PresetSlots, CommandFrames, testing::Values(
    CommandRow{"store", presetStore(3, 16), "55 06 03 80 10 01 00 9A"},
    CommandRow{"recall with no slot chosen", presetRecall(3, 0), "55 06 03 81 00 01 00 8B"},
    CommandRow{"clear all", presetClearAll(3), "55 06 03 82 00 01 00 8C"},
    CommandRow{"query name", presetQueryName(3, 2), "55 06 03 83 02 02 00 90"},
    CommandRow{"write name", presetWriteName(3, 2, "Hall"), "55 09 03 84 02 02 48 61 6C 6C 15"},
    CommandRow{"write empty name", presetWriteName(3, 2, {}), "55 05 03 84 02 02 90"}));

TEST(PresetWriteName, SixteenBytesAtMost)
{
    const QByteArray sixteen(16, 'A');
    EXPECT_EQ(presetWriteName(1, 1, sixteen).size(), 6 + 16 + 1);
    EXPECT_EQ(presetWriteName(1, 1, sixteen + "B"), presetWriteName(1, 1, sixteen));
}

} // namespace

#include "protocol/PortProbeAnswer.h"

namespace {

struct ProbeRow {
    const char* reply;
    bool matches;
};

class ProbeAnswer : public testing::TestWithParam<ProbeRow> {};

TEST_P(ProbeAnswer, EveryByteButTheLastAsExpected)
{
    EXPECT_EQ(matchesPortProbeAnswer(hex(GetParam().reply), 3), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(Rows, ProbeAnswer, testing::Values(
    ProbeRow{"55 06 03 02 00 03 00 0E", true},
    ProbeRow{"55 06 03 02 00 03 00 FF", true},  // the checksum is not examined
    ProbeRow{"55 06 03 02 00 03 00", true},     // nor a missing one
    ProbeRow{"77", true},                       // a lone byte has nothing but its last
    ProbeRow{"", false},
    ProbeRow{"55 06 04 02 00 03 00 0F", false}, // another address
    ProbeRow{"55 06 03 02 00 02 00 0D", false}, // our own probe echoed
    ProbeRow{"55 06 03 02 00 03 00 0E 55", true},
    ProbeRow{"55 06 03 02 00 03 00 0E 55 06", false}));

} // namespace
