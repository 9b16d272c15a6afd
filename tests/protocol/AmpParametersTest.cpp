#include "protocol/AmpParameters.h"
#include "protocol/AmpStatus.h"

#include <gtest/gtest.h>

namespace {

TEST(AmpParameters, DefaultsBeforeTheFirstRead)
{
    const AmpParameters p;
    EXPECT_EQ(p.channelCount, 4);
    EXPECT_EQ(p.gainTop, 41);
    EXPECT_EQ(p.gainRange(), (ValueMapping::Range{23, 41}));
    EXPECT_EQ(p.thresholdRange(), (ValueMapping::Range{11, 41}));
    const ChannelParameters& ch = p.channels[0];
    EXPECT_EQ(ch.volumeDb, -80);
    EXPECT_EQ(ch.gainDb, 23);
    EXPECT_EQ(ch.limiterThreshold, 41);
    EXPECT_FALSE(ch.delayUs.has_value());
    EXPECT_EQ(ch.outputSource, 0);
    EXPECT_EQ(ch.bands[0].bandFrequencyHz, 20);
    EXPECT_EQ(ch.bands[14].bandFrequencyHz, 19953);
    EXPECT_EQ(ch.bands[7].bandType, EqFilterType::Peaking);
    EXPECT_EQ(ch.hpFrequencyHz, 316);
    EXPECT_EQ(ch.lpFrequencyHz, 5012);
    EXPECT_EQ(powerStatus(p.powerState), AmpStatus{});
}

TEST(AmpParameters, GraphDefaultsFollowThePlots)
{
    AmpParameters p;
    p.setGraphDefaults(700, 30, 600);
    const int expected[] = {20, 33, 54, 88, 144, 235, 385, 631, 1033, 1693, 2772, 4541, 7438, 12182, 19953};
    for (int b = 0; b < bandCount; ++b)
        EXPECT_EQ(p.band(3, b).bandFrequencyHz, expected[b]);
    EXPECT_EQ(p.channels[2].hpFrequencyHz, 299);
    EXPECT_EQ(p.channels[2].lpFrequencyHz, 4732);
    p.setGraphDefaults(0, 0, -1); // ignored
    EXPECT_EQ(p.channels[2].hpFrequencyHz, 299);
}

TEST(AmpParameters, GainTopLimitsHeldValues)
{
    AmpParameters p;
    p.channels[1].gainDb = 41;
    p.channels[1].limiterThreshold = 11;
    p.setGainTop(30);
    EXPECT_EQ(p.channels[1].gainDb, 30);
    EXPECT_EQ(p.channels[1].limiterThreshold, 11);
    EXPECT_EQ(p.channels[0].gainDb, 23);
}

TEST(AmpParameters, BridgingIsTheSecondChannelsSource)
{
    AmpParameters p;
    p.channels[3].outputSource = outputSourceBridged;
    EXPECT_FALSE(p.isBridged(0));
    EXPECT_TRUE(p.isBridged(1));
    EXPECT_EQ(p.pairMode(1), PairMode::Bridge);
    EXPECT_FALSE(p.isBridged(7));
}

TEST(EqBand, EditableBoxesByType)
{
    EqBand band;
    const std::pair<EqFilterType, std::pair<bool, bool>> rows[] = {
        {EqFilterType::HighShelf, {true, true}},
        {EqFilterType::AllPass, {false, true}},
        {EqFilterType::GeneralHigh, {false, true}},
        {EqFilterType::ButterworthLow, {false, false}},
        {EqFilterType::BesselLow, {false, false}},
    };
    for (const auto& [type, editable] : rows) {
        band.bandType = type;
        EXPECT_EQ(band.hasGain(), editable.first);
        EXPECT_EQ(band.hasQ(), editable.second);
    }
}

TEST(DisplayTexts, ListsAsTheAmplifierSpellsThem)
{
    const QStringList eq = eqFilterTypeNames();
    ASSERT_EQ(eq.size(), eqFilterTypeCount);
    EXPECT_EQ(eq[7], QStringLiteral("Butterworth Low "));
    EXPECT_EQ(eq[8], QStringLiteral("Butterworth High "));
    EXPECT_EQ(eq[10], QStringLiteral("Bessel High"));
    EXPECT_EQ(crossoverFilterTypeNames().size(), crossoverFilterTypeCount);
    EXPECT_EQ(crossoverFilterTypeName(CrossoverFilterType::LinkwitzRiley48), QStringLiteral("48dB_Lnkwtz"));
    EXPECT_EQ(inputTypeNames(), (QStringList{"Analog", "AES3", "AUTO"}));
    EXPECT_EQ(pairModeNames(), (QStringList{"NORMAL", "BRIDGE"}));
    EXPECT_EQ(powerStatus(1), AmpStatus{AmpStatusKind::Normal});
    EXPECT_EQ(powerStatus(2), AmpStatus{AmpStatusKind::Standby});
    EXPECT_EQ(powerStatus(3), AmpStatus{});
    EXPECT_FALSE(eqFilterTypeFromIndex(11).has_value());
    EXPECT_FALSE(crossoverFilterTypeFromIndex(-1).has_value());
}

} // namespace
