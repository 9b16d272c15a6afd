#include "response/ResponseCurve.h"
#include "response/ResponseMath.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

constexpr int width = 1199;

using Bands = std::array<EqBandSetting, 15>;

// Band k at the (k-1)-th of 14 steps across the axis, as a fresh editor puts them.
Bands spreadBands(int type, double gainDb, double q)
{
    Bands bands;
    for (std::size_t k = 0; k < bands.size(); ++k)
        bands[k] = {type, std::round(std::pow(10.0, 1.3 + 3.0 * double(k) / 14.0)), gainDb, q};
    return bands;
}

Bands mixedBands()
{
    Bands bands = spreadBands(EqType::peaking, 0.0, 1.4);
    const std::array<EqBandSetting, 15> settings{{
        {EqType::peaking, 63, 18, 0.1},
        {EqType::peaking, 63, 18, 20},
        {EqType::lowShelf, 120, -12, 0.7},
        {EqType::highShelf, 8000, 9.5, 2.3},
        {EqType::allPass, 500, 6, 1},
        {EqType::generalLow, 15000, 0, 0.5},
        {EqType::generalHigh, 25, 0, 8},
        {EqType::butterworthLow, 20000, 0, 0},
        {EqType::butterworthHigh, 20, 0, 0},
        {EqType::besselLow, 19000, 0, 1},
        {EqType::besselHigh, 30, 0, 1},
        {EqType::byPass, 1000, 18, 1},
        {EqType::peaking, 1000, -18, 3.3},
        {EqType::lowShelf, 40, 0, 1},
        {EqType::highShelf, 2000, -0.5, 0.1},
    }};
    bands = settings;
    return bands;
}

double bandSum(const Bands& bands, double f)
{
    double sum = 0.0;
    for (const EqBandSetting& band : bands)
        sum += eqBandResponseDb(band.type, f, band.frequencyHz, band.gainDb, band.q);
    return sum;
}

struct EqCurveRow {
    const char* name;
    Bands bands;
};

void PrintTo(const EqCurveRow& row, std::ostream* os)
{
    *os << row.name;
}

class EqCurve : public testing::TestWithParam<EqCurveRow> {};

TEST_P(EqCurve, IsTheSumOfTheBandsAtEveryColumn)
{
    ResponseCurves curves(width);
    std::vector<double> out;
    curves.eqCurveDb(GetParam().bands, false, out);
    ASSERT_EQ(out.size(), std::size_t(width));
    for (int p = 0; p < width; ++p) {
        const double f = frequencyAtOffset(p, width);
        ASSERT_NEAR(out[std::size_t(p)], bandSum(GetParam().bands, f), 1e-9) << "column " << p;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, EqCurve, testing::Values(
    EqCurveRow{"Mixed", mixedBands()},
    EqCurveRow{"PeakingPlus18", spreadBands(EqType::peaking, 18, 1.4)},
    EqCurveRow{"PeakingMinus18NarrowQ", spreadBands(EqType::peaking, -18, 20)},
    EqCurveRow{"LowShelves", spreadBands(EqType::lowShelf, 7.3, 0.4)},
    EqCurveRow{"HighShelves", spreadBands(EqType::highShelf, -11, 3)},
    EqCurveRow{"GeneralLows", spreadBands(EqType::generalLow, 0, 0.1)},
    EqCurveRow{"GeneralHighs", spreadBands(EqType::generalHigh, 0, 20)},
    EqCurveRow{"ButterworthLows", spreadBands(EqType::butterworthLow, 0, 1)},
    EqCurveRow{"BesselHighs", spreadBands(EqType::besselHigh, 0, 1)},
    // Corners far off the axis overflow a plain product of the bands.
    EqCurveRow{"ExtremeCorners", [] {
        Bands bands = spreadBands(EqType::generalLow, 0, 0.1);
        for (EqBandSetting& band : bands)
            band.frequencyHz = 1e-5;
        return bands;
    }()}),
    [](const testing::TestParamInfo<EqCurveRow>& info) { return info.param.name; });

TEST(EqCurve, BypassAndFlatBandsGiveZeroEverywhere)
{
    ResponseCurves curves(width);
    std::vector<double> out;
    for (const auto& [bands, bypass] : {std::pair{mixedBands(), true}, {spreadBands(EqType::peaking, 0, 1.4), false},
                                        {spreadBands(EqType::allPass, 12, 1.4), false},
                                        {spreadBands(EqType::byPass, 12, 1.4), false}}) {
        curves.eqCurveDb(bands, bypass, out);
        ASSERT_EQ(out.size(), std::size_t(width));
        for (double value : out)
            ASSERT_EQ(value, 0.0);
    }
}

TEST(EqCurve, TwoPeaksOnOneFrequencyAdd)
{
    Bands bands = spreadBands(EqType::peaking, 0, 1.4);
    bands[3] = {EqType::peaking, 1000, 18, 1.4};
    bands[9] = {EqType::peaking, 1000, 18, 1.4};
    ResponseCurves curves(width);
    std::vector<double> out;
    curves.eqCurveDb(bands, false, out);
    const auto peak = std::size_t(std::lround(offsetAtFrequency(1000, width)));
    EXPECT_NEAR(out[peak], 36.0, 0.05);
}

TEST(EqCurve, FollowsWidthChanges)
{
    const Bands bands = mixedBands();
    ResponseCurves curves;
    std::vector<double> out;
    for (int w : {0, 1, 640, 1920, 2560, 640}) {
        curves.setWidth(w);
        curves.eqCurveDb(bands, false, out);
        ASSERT_EQ(out.size(), std::size_t(w));
        ASSERT_EQ(curves.columnFrequencies().size(), std::size_t(w));
        if (w > 0) {
            EXPECT_DOUBLE_EQ(curves.columnFrequencies().front(), frequencyAtOffset(0, w));
            EXPECT_NEAR(out.back(), bandSum(bands, frequencyAtOffset(w - 1, w)), 1e-9);
        }
    }
    EXPECT_EQ(eqCurveDb(bands, false, 640), out);
}

TEST(CrossoverCurve, IsTheSumOfBothSidesForEveryTypePair)
{
    ResponseCurves curves(width);
    std::vector<double> out;
    for (int hpType = -1; hpType <= CrossoverType::count; ++hpType) {
        for (int lpType = -1; lpType <= CrossoverType::count; ++lpType) {
            const CrossoverSetting setting{hpType, 85, lpType, 3150};
            curves.crossoverCurveDb(setting, out);
            ASSERT_EQ(out.size(), std::size_t(width));
            for (int p = 0; p < width; ++p) {
                const double f = frequencyAtOffset(p, width);
                const double expected = crossoverResponseDb(highPassSide, hpType, f, 85)
                    + crossoverResponseDb(lowPassSide, lpType, f, 3150);
                ASSERT_NEAR(out[std::size_t(p)], expected, 1e-9) << hpType << " " << lpType << " column " << p;
            }
        }
    }
}

TEST(CrossoverCurve, CornersAtTheAxisEndsAndBeyond)
{
    ResponseCurves curves(width);
    std::vector<double> out;
    for (const CrossoverSetting& setting : {CrossoverSetting{CrossoverType::bessel48, 20000, CrossoverType::linkwitzRiley48, 20},
                                            CrossoverSetting{CrossoverType::butterworth48, 1e6, CrossoverType::bessel48, 1e-14},
                                            CrossoverSetting{CrossoverType::butterworth48, 0, CrossoverType::bessel48, -5}}) {
        curves.crossoverCurveDb(setting, out);
        for (int p = 0; p < width; ++p) {
            const double f = frequencyAtOffset(p, width);
            const double expected = crossoverResponseDb(highPassSide, setting.hpType, f, setting.hpFrequencyHz)
                + crossoverResponseDb(lowPassSide, setting.lpType, f, setting.lpFrequencyHz);
            ASSERT_TRUE(std::isfinite(out[std::size_t(p)]));
            ASSERT_NEAR(out[std::size_t(p)], expected, 1e-9 * std::max(1.0, std::abs(expected))) << p;
        }
    }
}

TEST(CrossoverCurve, BypassIsFlat)
{
    EXPECT_EQ(crossoverCurveDb({}, 300), std::vector<double>(300, 0.0));
}

} // namespace
