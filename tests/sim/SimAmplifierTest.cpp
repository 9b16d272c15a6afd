#include "sim/SimAmplifier.h"
#include "SimHex.h"

#include "protocol/Commands.h"
#include "protocol/ControlFrame.h"

#include <gtest/gtest.h>

namespace {

int word(const QByteArray& b, qsizetype i) { return (at(b, i) << 8) | at(b, i + 1); }

TEST(FullStateReply, LayoutMarkersAndChecksum)
{
    SimAmplifier amp(5);
    const QByteArray reply = amp.fullStateReply();
    ASSERT_EQ(reply.size(), 597);
    EXPECT_EQ(spaced(reply.left(7)), spaced(hex("55 02 53 05 60 04 00")));
    const std::pair<int, int> markers[] = {
        {7, 0x10},   {12, 0x11},  {17, 0x13},  {22, 0x14},  {27, 0x15},  {36, 0x17},  {40, 0x1A},
        {42, 0x1B},  {47, 0x1C},  {52, 0x20},  {57, 0x21},  {62, 0x22},  {71, 0x23},  {80, 0x24},
        {89, 0x25},  {98, 0x26},  {103, 0x30}, {108, 0x31}, {593, 0x70}};
    for (auto [offset, marker] : markers)
        EXPECT_EQ(at(reply, offset), marker) << offset;
    EXPECT_EQ(at(reply, 594), 41);
    EXPECT_EQ(at(reply, 596), ControlFrame::checksum(reply, 1, 596));
    // the first byte of each EQ block and band record numbers it
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(at(reply, 109 + 121 * c), c + 1);
        EXPECT_EQ(at(reply, 109 + 121 * c + 1 + 8 * 14), 15);
    }
}

TEST(FullStateReply, FactoryDefaults)
{
    SimAmplifier amp(1);
    const QByteArray r = amp.fullStateReply();
    EXPECT_EQ(spaced(r.mid(7, 5)), spaced(hex("10 B0 B0 B0 B0")));  // -80 dB
    EXPECT_EQ(spaced(r.mid(22, 5)), spaced(hex("14 17 17 17 17"))); // gainTop - 18
    EXPECT_EQ(spaced(r.mid(36, 2)), spaced(hex("17 01")));          // on
    EXPECT_EQ(spaced(r.mid(42, 5)), spaced(hex("1B 01 02 03 04")));
    EXPECT_EQ(spaced(r.mid(52, 5)), spaced(hex("20 01 01 01 01")));  // Bypass + 1
    EXPECT_EQ(spaced(r.mid(98, 5)), spaced(hex("26 29 29 29 29")));  // threshold 41
    // band 1: 20 Hz, 0 dB, Q 1.4, Peaking; band 15: 10^4.3 Hz
    EXPECT_EQ(spaced(r.mid(110, 8)), spaced(hex("01 00 14 00 00 00 8C 02")));
    EXPECT_EQ(word(r, 110 + 8 * 14 + 1), 19953);
}

TEST(FullStateReply, TwoChannelModelWithGainTop30)
{
    SimAmplifier amp(4, 2, 30);
    const QByteArray r = amp.fullStateReply();
    ASSERT_EQ(r.size(), 597);
    EXPECT_EQ(at(r, 5), 2);
    EXPECT_EQ(at(r, 594), 30);
    EXPECT_EQ(at(r, 23), 12);
    EXPECT_EQ(at(r, 99), 30);
    // it has no CHC and CHD: commands for them change nothing
    amp.handleFrame(Commands::volume(4, 3, -10));
    amp.handleFrame(Commands::gain(4, 1, 40)); // above gainTop: held at 30
    const QByteArray after = amp.fullStateReply();
    EXPECT_EQ(at(after, 10), 0xB0);
    EXPECT_EQ(at(after, 23), 30);
}

struct CommandRow {
    const char* what;
    QByteArray command; // to address 1
    int offset;
    const char* bytes;  // at offset in the next full-state reply
};

void PrintTo(const CommandRow& row, std::ostream* os) { *os << row.what; }

class CommandsChangeState : public testing::TestWithParam<CommandRow> {};

TEST_P(CommandsChangeState, NextFullStateShowsIt)
{
    SimAmplifier amp(1);
    EXPECT_TRUE(amp.handleFrame(GetParam().command).isEmpty());
    const QByteArray expected = hex(GetParam().bytes);
    EXPECT_EQ(spaced(amp.fullStateReply().mid(GetParam().offset, expected.size())), spaced(expected));
}

INSTANTIATE_TEST_SUITE_P(Rows, CommandsChangeState, testing::Values(
    CommandRow{"volume CHB -20", Commands::volume(1, 2, -20), 8, "B0 EC B0"},
    CommandRow{"volume +9 held at +6", Commands::volume(1, 1, 9), 8, "06"},
    CommandRow{"volume of every channel", Commands::volume(1, 0, -3), 8, "FD FD FD FD"},
    CommandRow{"mute CHD", Commands::mute(1, 4, true), 13, "00 00 00 01"},
    CommandRow{"input AES3", Commands::inputType(1, 1, 1), 18, "01"},
    CommandRow{"input 3 is no input", Commands::inputType(1, 1, 3), 18, "00"},
    CommandRow{"gain 30", Commands::gain(1, 3, 30), 25, "1E"},
    CommandRow{"gain below range", Commands::gain(1, 3, 5), 25, "17"},
    CommandRow{"delay 65000", Commands::delay(1, 2, 65000), 30, "FD E8"},
    CommandRow{"delay held at 65000", Commands::delay(1, 2, 65535), 30, "FD E8"},
    CommandRow{"standby", Commands::power(1, 2), 36, "17 02"},
    CommandRow{"knob lock", Commands::knobLock(1, true), 40, "1A 01"},
    CommandRow{"CHD bridged", Commands::outputSource(1, 4, 5), 43, "01 02 03 05"},
    CommandRow{"CHA cannot be bridged", Commands::outputSource(1, 1, 5), 43, "01"},
    CommandRow{"no selection changes nothing", Commands::outputSource(1, 2, 0), 44, "02"},
    CommandRow{"invert CHB", Commands::invert(1, 2, true), 48, "00 01"},
    CommandRow{"high-pass 24dB_Bworth", Commands::highPassType(1, 1, 4), 53, "05"},
    CommandRow{"low-pass 48dB_Lnkwtz", Commands::lowPassType(1, 2, 9), 59, "0A"},
    CommandRow{"high-pass 80 Hz", Commands::highPassFrequency(1, 1, 80), 63, "00 50"},
    CommandRow{"low-pass 12000 Hz CHD", Commands::lowPassFrequency(1, 4, 12000), 78, "2E E0"},
    CommandRow{"attack from the box", Commands::attack(1, 1, 250, AttackSource::Box), 81, "00 FA"},
    CommandRow{"attack from the slider", Commands::attack(1, 1, 10000, AttackSource::Slider), 81, "27 10"},
    CommandRow{"release", Commands::release(1, 1, 3000), 90, "0B B8"},
    CommandRow{"threshold 20", Commands::threshold(1, 1, 20), 99, "14"},
    CommandRow{"EQ bypass CHC", Commands::eqBypass(1, 3, true), 104, "00 00 01"},
    CommandRow{"band 1 of CHA", Commands::eqBand(1, 1, 1, 1000, -6.5), 110, "01 03 E8 FD 76 00 8C 02"},
    CommandRow{"band 15 of CHD Q", Commands::eqQ(1, 4, 15, 2000), 472 + 1 + 8 * 14, "0F 4D F1 00 00 07 D0 02"},
    CommandRow{"band type High Shelf", Commands::eqType(1, 2, 3, 3), 230 + 1 + 8 * 2 + 7, "04"}));

TEST(SimAmplifier, EqResetAndFactoryReset)
{
    SimAmplifier amp(1);
    const SimParameters defaults = amp.parameters();
    amp.handleFrame(Commands::eqBand(1, 2, 7, 500, 12));
    amp.handleFrame(Commands::eqBypass(1, 2, true));
    // The amplifier answers an EQ reset with its whole state, the flat EQ in it.
    const QByteArray answer = amp.handleFrame(Commands::eqReset(1, 2));
    EXPECT_EQ(answer, amp.fullStateReply());
    EXPECT_EQ(amp.parameters().channels[1].bands, defaults.channels[1].bands);
    EXPECT_TRUE(amp.handleFrame(Commands::eqReset(0, 2)).isEmpty()) << "a broadcast is answered by no one";
    EXPECT_TRUE(amp.handleFrame(Commands::eqReset(1, 5)).isEmpty()) << "no such channel";
    EXPECT_TRUE(amp.parameters().channels[1].eqBypass); // bypass is no band setting
    amp.handleFrame(Commands::volume(1, 1, 0));
    amp.handleFrame(Commands::factoryReset(1));
    EXPECT_EQ(amp.parameters(), defaults);
}

TEST(SimAmplifier, FramesForOthersAreIgnoredBroadcastsObeyed)
{
    SimAmplifier amp(1);
    amp.handleFrame(Commands::mute(2, 1, true));
    EXPECT_FALSE(amp.parameters().channels[0].mute);
    amp.handleFrame(Commands::mute(0, 1, true));
    EXPECT_TRUE(amp.parameters().channels[0].mute);
    EXPECT_EQ(spaced(amp.handleFrame(Commands::portProbe(0))), spaced(hex("55 06 01 02 00 03 00 0C")));
}

QByteArray nameAnswer(SimAmplifier& amp, int slot)
{
    const QByteArray answer = amp.handleFrame(Commands::presetQueryName(1, slot));
    return answer.mid(6, answer.size() - 7);
}

TEST(PresetSlots, StoreNameRecallClear)
{
    SimAmplifier amp(1);
    amp.handleFrame(Commands::volume(1, 1, -12));
    amp.handleFrame(Commands::power(1, 1));
    amp.handleFrame(Commands::presetStore(1, 3));
    EXPECT_EQ(nameAnswer(amp, 3), "Preset 3");
    amp.handleFrame(Commands::presetWriteName(1, 3, "Hall A"));
    EXPECT_EQ(spaced(amp.handleFrame(Commands::presetQueryName(1, 3))),
              spaced(ControlFrame::build(QByteArray("\x01\x83\x03\x02Hall A", 10))));

    amp.handleFrame(Commands::volume(1, 1, 0));
    amp.handleFrame(Commands::power(1, 2));
    amp.handleFrame(Commands::presetRecall(1, 3));
    EXPECT_EQ(amp.parameters().channels[0].volumeDb, -12);
    EXPECT_EQ(amp.parameters().powerState, 2); // a preset does not switch the amplifier on

    // recalling a clear slot changes nothing
    amp.handleFrame(Commands::volume(1, 1, -1));
    amp.handleFrame(Commands::presetRecall(1, 4));
    EXPECT_EQ(amp.parameters().channels[0].volumeDb, -1);

    amp.handleFrame(Commands::presetClearAll(1));
    EXPECT_EQ(nameAnswer(amp, 3), "Empty");
    amp.handleFrame(Commands::presetRecall(1, 3));
    EXPECT_EQ(amp.parameters().channels[0].volumeDb, -1);
}

TEST(PresetSlots, NamesAreHeldToSixteenBytesAndMayBeEmpty)
{
    SimAmplifier amp(1);
    QByteArray longName = "ABCDEFGHIJKLMNOPQRST";
    QByteArray payload = QByteArray("\x01\x84\x02\x02", 4) + longName; // a writer that sends more
    amp.handleFrame(ControlFrame::build(payload));
    EXPECT_EQ(nameAnswer(amp, 2), "ABCDEFGHIJKLMNOP");
    amp.handleFrame(Commands::presetWriteName(1, 2, ""));
    EXPECT_EQ(spaced(amp.handleFrame(Commands::presetQueryName(1, 2))), spaced(hex("55 05 01 83 02 02 8D")));
    // slot 0 and 17 do not exist
    amp.handleFrame(Commands::presetStore(1, 0));
    amp.handleFrame(Commands::presetStore(1, 17));
    for (int s = 1; s <= 16; ++s)
        EXPECT_FALSE(amp.presetSlot(s).parameters.has_value()) << s;
}

TEST(ReplayedFullState, TakenToOwnAddressAndToAllNotToOthers)
{
    SimAmplifier source(5);
    source.handleFrame(Commands::volume(5, 2, -7));
    source.handleFrame(Commands::eqBand(5, 3, 9, 4321, 3.5));
    source.handleFrame(Commands::knobLock(5, true));
    source.handleFrame(Commands::power(5, 2));
    const QByteArray stored = source.fullStateReply();

    for (bool toAll : {false, true}) {
        SimAmplifier target(9, 4, 41);
        SimAmplifier bystander(8);
        const QByteArray frame = ControlFrame::replayStoredFrame(stored, 9, toAll);
        EXPECT_TRUE(target.handleFrame(frame).isEmpty());
        bystander.handleFrame(frame);
        EXPECT_EQ(target.parameters().channels[1].volumeDb, -7) << toAll;
        EXPECT_EQ(target.parameters().channels[2].bands[8].frequencyHz, 4321);
        EXPECT_EQ(target.parameters().channels[2].bands[8].gainCentiDb, 350);
        EXPECT_TRUE(target.parameters().knobLock);
        EXPECT_EQ(target.parameters().powerState, 1); // stays on
        EXPECT_EQ(target.address(), 9);
        EXPECT_EQ(bystander.parameters().channels[1].volumeDb, toAll ? -7 : -80);
    }
}

TEST(ReplayedFullState, OwnModelRangesAndMissingSections)
{
    SimAmplifier big(1, 4, 41);
    for (int c = 1; c <= 4; ++c)
        big.handleFrame(Commands::gain(1, c, 41));
    QByteArray stored = big.fullStateReply();
    stored[12] = 0; // the mute marker is gone: mute stays as it is
    stored[13] = 1;

    SimAmplifier small(2, 2, 30);
    small.handleFrame(Commands::mute(2, 1, true));
    small.handleFrame(ControlFrame::replayStoredFrame(stored, 2, false));
    EXPECT_EQ(small.parameters().channels[0].gainDb, 30);  // held to its own gainTop
    EXPECT_EQ(small.parameters().channels[2].gainDb, 12);  // it has no CHC
    EXPECT_TRUE(small.parameters().channels[0].mute);
    EXPECT_EQ(small.gainTop(), 30);
    EXPECT_EQ(at(small.fullStateReply(), 5), 2);

}

} // namespace
