#include "protocol/ControlFrame.h"
#include "protocol/FullStateReply.h"
#include "Hex.h"

#include <gtest/gtest.h>

namespace {

// Offsets 0 to 51, written by hand so that the layout is checked apart
// from the encoder: volume -6 -10 -80 +6, mute 1 0 0 1, input 0 1 2 0,
// gain 30 23 28 41, delay 0 1000 65000 65535, standby, knobs locked,
// sources 2 / bridged / 3 / bridged, invert 0 1 0 0.
const char* const headSections = "55 02 52 07 60 04 00"
                                 " 10 FA F6 B0 06"
                                 " 11 01 00 00 01"
                                 " 13 00 01 02 00"
                                 " 14 1E 17 1C 29"
                                 " 15 00 00 03 E8 FD E8 FF FF"
                                 " 17 02 00 00"
                                 " 1A 01"
                                 " 1B 02 05 03 05"
                                 " 1C 00 01 00 00";

AmpParameters applied(const QByteArray& bytes, AmpParameters parameters = {})
{
    applyFullStateReply(decodeFullStateReply(bytes), parameters);
    return parameters;
}

TEST(FullStateReply, HeadSectionsAtTheirOffsets)
{
    const AmpParameters p = applied(hex(headSections));
    const std::array<int, 4> volumes{-6, -10, -80, 6};
    const std::array<int, 4> gains{30, 23, 28, 41};
    const std::array<int, 4> delays{0, 1000, 65000, 65535};
    const std::array<int, 4> sources{2, 5, 3, 5};
    for (int c = 0; c < 4; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(p.channels[c].volumeDb, volumes[c]);
        EXPECT_EQ(p.channels[c].mute, c == 0 || c == 3);
        EXPECT_EQ(static_cast<int>(p.channels[c].inputType), c == 3 ? 0 : c);
        EXPECT_EQ(p.channels[c].gainDb, gains[c]);
        EXPECT_EQ(p.channels[c].delayUs, delays[c]);
        EXPECT_EQ(p.channels[c].outputSource, sources[c]);
        EXPECT_EQ(p.channels[c].invert, c == 1);
    }
    EXPECT_EQ(p.powerState, 2);
    EXPECT_TRUE(p.knobLock);
    EXPECT_TRUE(p.isBridged(0));
    EXPECT_TRUE(p.isBridged(1));
    EXPECT_EQ(statusAfterRead(decodeFullStateReply(hex(headSections))), AmpStatus{AmpStatusKind::Standby});
    // nothing past offset 51 arrived
    EXPECT_EQ(p.channels[0].hpFrequencyHz, AmpParameters().channels[0].hpFrequencyHz);
    EXPECT_EQ(p.band(0, 0).bandQ, 1.4);
}

TEST(FullStateReply, TwoChannelsApplyOutputSourceToChaAndChbOnly)
{
    QByteArray bytes = hex(headSections);
    bytes[FullStateLayout::channelCount] = 2;
    AmpParameters before;
    before.channels[2].outputSource = 1;
    before.channels[3].outputSource = 4;
    const AmpParameters p = applied(bytes, before);
    EXPECT_EQ(p.channelCount, 2);
    EXPECT_EQ(p.channels[0].outputSource, 2);
    EXPECT_EQ(p.channels[1].outputSource, 5);
    EXPECT_EQ(p.channels[2].outputSource, 1);
    EXPECT_EQ(p.channels[3].outputSource, 4);
    EXPECT_FALSE(p.isBridged(1));
    // the other sections still apply to all four channels
    EXPECT_EQ(p.channels[3].volumeDb, 6);
}

TEST(FullStateReply, UnknownChannelCountAppliesNoOutputSource)
{
    QByteArray bytes = hex(headSections);
    bytes[FullStateLayout::channelCount] = 3;
    const AmpParameters p = applied(bytes);
    EXPECT_EQ(p.channelCount, 4);
    for (const ChannelParameters& channel : p.channels)
        EXPECT_EQ(channel.outputSource, 0);
}

TEST(FullStateReply, SourceOutsideTheListSelectsNothing)
{
    QByteArray bytes = hex(headSections);
    bytes[FullStateLayout::outputSource + 1] = 5; // CHA cannot be bridged
    bytes[FullStateLayout::outputSource + 2] = 9;
    const AmpParameters p = applied(bytes);
    EXPECT_EQ(p.channels[0].outputSource, 0);
    EXPECT_EQ(p.channels[1].outputSource, 0);
    EXPECT_FALSE(p.isBridged(0));
}

AmpParameters sample()
{
    AmpParameters p;
    p.setGainTop(30);
    p.powerState = 1;
    for (int c = 0; c < 4; ++c) {
        ChannelParameters& ch = p.channels[c];
        ch.volumeDb = -20 - c;
        ch.gainDb = 12 + c;
        ch.delayUs = 100 * c;
        ch.outputSource = c + 1;
        ch.hpType = CrossoverFilterType::Bessel24;
        ch.lpType = CrossoverFilterType::LinkwitzRiley48;
        ch.hpFrequencyHz = 80 + c;
        ch.lpFrequencyHz = 12000 + c;
        ch.limiterThreshold = 2 + c;
        ch.attackMs = 10 + c;
        ch.releaseMs = 500 + c;
        ch.eqBypass = c == 2;
        for (int b = 0; b < bandCount; ++b) {
            ch.bands[b].bandFrequencyHz = 100 + 10 * b + c;
            ch.bands[b].bandGainDb = -12.5 + b;
            ch.bands[b].bandQ = 0.5 + 0.1 * b;
            ch.bands[b].bandType = static_cast<EqFilterType>(b % eqFilterTypeCount);
        }
    }
    return p;
}

void expectSameState(const AmpParameters& a, const AmpParameters& b)
{
    EXPECT_EQ(a.gainTop, b.gainTop);
    EXPECT_EQ(a.powerState, b.powerState);
    for (int c = 0; c < 4; ++c) {
        SCOPED_TRACE(c);
        const ChannelParameters& x = a.channels[c];
        const ChannelParameters& y = b.channels[c];
        EXPECT_EQ(x.volumeDb, y.volumeDb);
        EXPECT_EQ(x.gainDb, y.gainDb);
        EXPECT_EQ(x.delayUs, y.delayUs);
        EXPECT_EQ(x.outputSource, y.outputSource);
        EXPECT_EQ(x.hpType, y.hpType);
        EXPECT_EQ(x.lpType, y.lpType);
        EXPECT_EQ(x.hpFrequencyHz, y.hpFrequencyHz);
        EXPECT_EQ(x.lpFrequencyHz, y.lpFrequencyHz);
        EXPECT_EQ(x.limiterThreshold, y.limiterThreshold);
        EXPECT_EQ(x.attackMs, y.attackMs);
        EXPECT_EQ(x.releaseMs, y.releaseMs);
        EXPECT_EQ(x.eqBypass, y.eqBypass);
        for (int b = 0; b < bandCount; ++b) {
            EXPECT_EQ(x.bands[b].bandFrequencyHz, y.bands[b].bandFrequencyHz);
            EXPECT_DOUBLE_EQ(x.bands[b].bandGainDb, y.bands[b].bandGainDb);
            EXPECT_NEAR(x.bands[b].bandQ, y.bands[b].bandQ, 1e-9);
            EXPECT_EQ(x.bands[b].bandType, y.bands[b].bandType);
        }
    }
}

TEST(FullStateReply, EncodedReplyReadsBackAndReplays)
{
    const QByteArray bytes = encodeFullStateReply(sample(), 7);
    ASSERT_EQ(bytes.size(), FullStateLayout::size);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes.back()), ControlFrame::checksum(bytes, 1, bytes.size() - 1));
    expectSameState(applied(bytes), sample());

    for (const auto& [own, toAll, address] : {std::tuple{9, false, 9}, std::tuple{9, true, 0}}) {
        const QByteArray replay = ControlFrame::replayStoredFrame(bytes, own, toAll);
        ASSERT_EQ(replay.size(), bytes.size());
        EXPECT_EQ(replay[3], address);
        EXPECT_EQ(replay.left(3), bytes.left(3));
        EXPECT_EQ(replay.mid(4, replay.size() - 5), bytes.mid(4, bytes.size() - 5));
        EXPECT_EQ(static_cast<std::uint8_t>(replay.back()), ControlFrame::checksum(replay, 1, replay.size() - 1));
        // what the amplifier receives decodes to the same settings
        expectSameState(applied(replay), sample());
    }
}

TEST(FullStateReply, GainTopMovesTheRangesAndComesBeforeGain)
{
    const AmpParameters p = applied(encodeFullStateReply(sample(), 7));
    EXPECT_EQ(p.gainRange(), (ValueMapping::Range{12, 30}));
    EXPECT_EQ(p.thresholdRange(), (ValueMapping::Range{2, 32}));
    // 12 lies below the default range 23..41: applied after gainTop it stands
    EXPECT_EQ(p.channels[0].gainDb, 12);
    EXPECT_EQ(p.channels[0].limiterThreshold, 2);
}

TEST(FullStateReply, EqRecordOfChdBandFifteen)
{
    struct Row {
        const char* record; // frequency, gain, Q, type
        int frequency;
        double gain;
        double q;
        EqFilterType type;
    };
    const Row rows[] = {
        {"03 E8 FB 1E 00 93 0A", 1000, -12.5, 1.4, EqFilterType::BesselLow}, // Q 147
        {"03 E8 07 08 00 8F 01", 1000, 18, 1.4, EqFilterType::ByPass},       // Q 143
        {"00 00 7F FF 00 05 00", 20, 18, 0.1, EqFilterType::Peaking},        // out of range: limited, type kept
        {"FF FF 80 00 FF FF 0C", 20000, -18, 20, EqFilterType::Peaking},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.record);
        QByteArray bytes = encodeFullStateReply(AmpParameters(), 1);
        bytes.replace(585 + 1, 7, hex(row.record));
        AmpParameters p;
        p.selectedEqChannel = 3;
        p.selectedBand = 14;
        p = applied(bytes, p);
        const EqBand& band = p.band(3, 14);
        EXPECT_EQ(band.bandFrequencyHz, row.frequency);
        EXPECT_DOUBLE_EQ(band.bandGainDb, row.gain);
        EXPECT_DOUBLE_EQ(band.bandQ, row.q);
        EXPECT_EQ(band.bandType, row.type);
        EXPECT_EQ(p.selectedBandFrequency, row.frequency);
        EXPECT_FLOAT_EQ(p.selectedBandGain, static_cast<float>(row.gain));
    }
}

TEST(FullStateReply, PartialRepliesApplyOnlyWhatArrived)
{
    const QByteArray full = encodeFullStateReply(sample(), 7);
    const AmpParameters untouched;
    struct Row {
        qsizetype size;
        bool volume, delay, power, eqBypass, firstBand, lastBand, gainTop;
    };
    const Row rows[] = {
        {0, false, false, false, false, false, false, false},
        {12, true, false, false, false, false, false, false},
        {35, true, false, false, false, false, false, false}, // delay section one byte short
        {36, true, true, false, false, false, false, false},
        {37, true, true, false, false, false, false, false},  // power marker without its value
        {38, true, true, true, false, false, false, false},
        {108, true, true, true, true, false, false, false},
        {118, true, true, true, true, true, false, false},
        {593, true, true, true, true, true, true, false},
        {594, true, true, true, true, true, true, false},
        {596, true, true, true, true, true, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.size);
        const AmpParameters p = applied(full.left(row.size));
        EXPECT_EQ(p.channels[1].volumeDb != untouched.channels[1].volumeDb, row.volume);
        EXPECT_EQ(p.channels[1].delayUs.has_value(), row.delay);
        EXPECT_EQ(p.powerState == 1, row.power);
        EXPECT_EQ(p.channels[2].eqBypass, row.eqBypass);
        EXPECT_EQ(p.band(0, 0).bandFrequencyHz == 100, row.firstBand);
        EXPECT_EQ(p.band(3, 14).bandFrequencyHz == 243, row.lastBand);
        EXPECT_EQ(p.gainTopRead, row.gainTop);
    }
}

TEST(FullStateReply, MissingMarkerLeavesItsSection)
{
    QByteArray bytes = encodeFullStateReply(sample(), 7);
    bytes[FullStateLayout::volume] = 0;
    bytes[FullStateLayout::eq] = 0;
    const AmpParameters p = applied(bytes);
    EXPECT_EQ(p.channels[0].volumeDb, -80);
    EXPECT_EQ(p.band(0, 0).bandQ, 1.4);
    EXPECT_EQ(p.channels[0].releaseMs, 500);
}

TEST(FullStateReply, NotStartingWithHeaderAppliesNothing)
{
    QByteArray bytes = encodeFullStateReply(sample(), 7);
    bytes[0] = 0x54;
    const FullStateReply reply = decodeFullStateReply(bytes);
    EXPECT_FALSE(reply.startsWithHeader);
    EXPECT_FALSE(reply.hasAnySection());
    expectSameState(applied(bytes), AmpParameters());
    EXPECT_EQ(statusAfterRead(reply), AmpStatus{});
}

TEST(FullStateReply, AnyTruncationOrByteNoiseIsSafe)
{
    // Every prefix, and a reply of pseudo-random bytes behind a valid header.
    const QByteArray full = encodeFullStateReply(sample(), 7);
    for (qsizetype size = 0; size <= full.size(); ++size)
        applied(full.left(size));
    std::uint32_t state = 12345;
    QByteArray noise(1024, '\0');
    for (int round = 0; round < 50; ++round) {
        for (char& byte : noise) {
            state = state * 1664525u + 1013904223u;
            byte = static_cast<char>(state >> 24);
        }
        noise[0] = 0x55;
        const AmpParameters p = applied(noise.left(round * 20));
        EXPECT_TRUE(p.gainRange().contains(p.channels[0].gainDb));
        EXPECT_GE(p.band(0, 0).bandQ, 0.1);
    }
}

} // namespace
