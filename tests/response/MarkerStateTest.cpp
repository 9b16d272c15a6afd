#include "response/MarkerState.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// An EQ area of 600 x 300 pixels (plot 40..560 x 23..277, 0 dB at 150) and a
// crossover area of 420 x 160 (plot 23..397 x 12..148).
struct MarkerStateTest : testing::Test {
    MarkerState markers;
    MarkerStateTest()
    {
        markers.setAreas(600, 300, 420, 160);
        markers.resetToInitial();
    }
};

TEST(PlotGeometryTest, RectanglesUseIntegerDivisionOfTheAreaSize)
{
    struct Row {
        int w, h;
        int x0, x1, y1, y0;
    };
    for (const Row& r : {Row{600, 300, 40, 560, 23, 277}, Row{745, 387, 49, 696, 29, 358}, Row{14, 12, 0, 14, 0, 12}}) {
        const EqPlotRect eq = eqPlotRect(r.w, r.h);
        EXPECT_EQ(eq.x0, r.x0) << r.w;
        EXPECT_EQ(eq.x1, r.x1) << r.w;
        EXPECT_EQ(eq.y1, r.y1) << r.w;
        EXPECT_EQ(eq.y0, r.y0) << r.w;
        EXPECT_EQ(eq.zeroDbY(), r.h / 2);
    }
    const CrossoverPlotRect xo = crossoverPlotRect(420, 160);
    EXPECT_EQ(xo.x0, 23);
    EXPECT_EQ(xo.x1, 397);
    EXPECT_EQ(xo.y1, 12);
    EXPECT_EQ(xo.y0, 148);
    // -30 dB at the bottom, +6 dB at the top: 0 dB one sixth below the top.
    EXPECT_NEAR(xo.zeroDbY(), 148 - 136 * 5.0 / 6.0, 1e-9);
}

TEST_F(MarkerStateTest, InitialBandsSitInFourteenIntegerStepsOnTheZeroLine)
{
    for (int c = 0; c < MarkerState::channels; ++c) {
        for (int b = 0; b < MarkerState::bands; ++b) {
            const BandMarker& m = markers.band(c, b);
            EXPECT_EQ(m.box.centreX(), 40 + 37 * b);
            EXPECT_EQ(m.box.centreY(), 150);
            EXPECT_EQ(m.box.right - m.box.left, 10);
            EXPECT_FLOAT_EQ(m.offsetX, 37.0f * b);
            EXPECT_EQ(m.offsetY, 0.0f);
        }
    }
    EXPECT_EQ(markers.bandFrequencyHz(0, 0), 20);
    EXPECT_EQ(markers.bandFrequencyHz(3, 14), 19430);
    EXPECT_EQ(markers.bandGainDb(2, 7), 0.0);
}

TEST_F(MarkerStateTest, InitialCornersAtTwoAndFourFifthsOnTheCrossoverZeroLine)
{
    // Centres at 172.6 and 322.2; the frequency is read at the whole pixel.
    EXPECT_EQ(markers.crossoverFrequencyHz(0, MarkerState::highPass), 313);
    EXPECT_EQ(markers.crossoverFrequencyHz(0, MarkerState::lowPass), 4993);
    const MarkerBox& hp = markers.corner(1, MarkerState::highPass).box;
    EXPECT_EQ(hp.left, 167);
    EXPECT_EQ(hp.top, 29); // trunc(34.67 - 5)
    EXPECT_EQ(hp.bottom - hp.top, 10);
}

TEST_F(MarkerStateTest, FrequencyPlacedAndReadBackLandsOnItsPixel)
{
    struct Row {
        int typed, centre, kept;
    };
    for (const Row& r : {Row{20, 40, 20}, Row{1000, 334, 991}, Row{5000, 455, 4946}, Row{20000, 560, 19953}}) {
        markers.placeBandFrequency(3, 14, r.typed);
        EXPECT_EQ(markers.band(3, 14).box.centreX(), r.centre) << r.typed;
        EXPECT_FLOAT_EQ(markers.band(3, 14).offsetX, float(r.centre - 40)) << r.typed;
        EXPECT_EQ(markers.bandFrequencyHz(3, 14), r.kept) << r.typed;
        // Never more than one pixel (about 1.3 %) away from what was typed.
        EXPECT_LT(std::abs(r.kept - r.typed), r.typed / 50 + 1);
    }
}

TEST_F(MarkerStateTest, GainPlacedAndReadBack)
{
    struct Row {
        double typed;
        int top;
        double shown;
    };
    // +6: centre 107.67, box 102..112, read at 107 (43 pixels up): 6.09 + 0.05.
    for (const Row& r : {Row{6, 102, 36.0 * 43 / 254 + 0.05}, Row{0, 145, 0.0}, Row{-18, 272, -36.0 * 127 / 254 + 0.05},
                         Row{18, 18, 36.0 * 127 / 254 + 0.05}}) {
        markers.placeBandGain(1, 4, r.typed);
        EXPECT_EQ(markers.band(1, 4).box.top, r.top) << r.typed;
        EXPECT_EQ(markers.band(1, 4).box.bottom, r.top + 10) << r.typed;
        EXPECT_FLOAT_EQ(markers.band(1, 4).offsetY, float(-254 * r.typed / 36)) << r.typed;
        EXPECT_NEAR(markers.bandGainDb(1, 4), r.shown, 1e-9) << r.typed;
    }
}

TEST_F(MarkerStateTest, ZeroLineKeepsTheGainOffsetForTheCurve)
{
    markers.placeBandGain(0, 2, 6);
    const float offset = markers.band(0, 2).offsetY;
    markers.putBandOnZeroLine(0, 2);
    EXPECT_EQ(markers.band(0, 2).box.centreY(), 150);
    EXPECT_EQ(markers.band(0, 2).offsetY, offset);
    EXPECT_EQ(markers.bandGainDb(0, 2), 0.0);
}

TEST_F(MarkerStateTest, CrossoverCornerFollowsItsFrequency)
{
    markers.placeCrossoverFrequency(2, MarkerState::lowPass, 2000);
    const CrossoverMarker& lp = markers.corner(2, MarkerState::lowPass);
    EXPECT_EQ(lp.box.left, int(lp.centreX) - 5);
    EXPECT_NEAR(markers.crossoverFrequencyHz(2, MarkerState::lowPass), 2000, 25);
    // The other channels keep theirs.
    EXPECT_EQ(markers.crossoverFrequencyHz(1, MarkerState::lowPass), 4993);
}

TEST(MarkerStateEdgeTest, AreasWithoutSizeGiveTheAxisStartInsteadOfDividingByZero)
{
    MarkerState markers;
    markers.setAreas(0, 0, 0, 0);
    markers.resetToInitial();
    markers.placeBandGain(0, 0, 12);
    markers.placeBandFrequency(0, 0, 0);
    EXPECT_EQ(markers.bandFrequencyHz(0, 0), 20);
    EXPECT_EQ(markers.bandGainDb(0, 0), 0.0);
    EXPECT_EQ(markers.crossoverFrequencyHz(0, 0), 20);
    // Out-of-range indices are held to the nearest marker, never past the arrays.
    EXPECT_EQ(&markers.band(9, 99), &markers.band(3, 14));
}

} // namespace
