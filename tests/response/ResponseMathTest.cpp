#include "response/ResponseMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double f0 = 1000.0;

struct EqRow {
    const char* name;
    int type;
    double w;
    double gainDb;
    double q;
    double expectedDb;
    double tolerance;
};

void PrintTo(const EqRow& row, std::ostream* os)
{
    *os << row.name;
}

class EqBandResponse : public testing::TestWithParam<EqRow> {};

TEST_P(EqBandResponse, MatchesPrototype)
{
    const EqRow& row = GetParam();
    EXPECT_NEAR(eqBandResponseDb(row.type, row.w * f0, f0, row.gainDb, row.q), row.expectedDb, row.tolerance);
}

INSTANTIATE_TEST_SUITE_P(Rows, EqBandResponse, testing::Values(
    EqRow{"PeakingCentrePlus6", EqType::peaking, 1, 6, 3, 6.0, 1e-12},
    EqRow{"PeakingCentreMinus18", EqType::peaking, 1, -18, 0.1, -18.0, 1e-12},
    EqRow{"PeakingOctave", EqType::peaking, 2, 6, 3, 0.30194582327653796, 1e-9},
    EqRow{"PeakingDecade", EqType::peaking, 10, 6, 3, 0.007345642924409144, 1e-9},
    EqRow{"LowShelfCorner", EqType::lowShelf, 1, 12, 0.7, 6.0, 1e-12},
    EqRow{"LowShelfBelow", EqType::lowShelf, 0.1, 12, 0.7, 11.995734764538339, 1e-9},
    EqRow{"LowShelfFarBelow", EqType::lowShelf, 1e-3, 12, 0.7, 12.0, 1e-6},
    EqRow{"LowShelfAbove", EqType::lowShelf, 10, 12, 0.7, 0.0042652354616595145, 1e-9},
    EqRow{"HighShelfCorner", EqType::highShelf, 1, -12, 0.7, -6.0, 1e-12},
    EqRow{"HighShelfAbove", EqType::highShelf, 10, 12, 0.7, 11.995734764538339, 1e-9},
    EqRow{"HighShelfFarAbove", EqType::highShelf, 1e3, 12, 0.7, 12.0, 1e-6},
    EqRow{"HighShelfBelow", EqType::highShelf, 0.1, 12, 0.7, 0.0042652354616595145, 1e-9},
    EqRow{"GeneralLowCorner", EqType::generalLow, 1, 0, 1.4, 2.92256071356476, 1e-9},
    EqRow{"GeneralLowOctave", EqType::generalLow, 2, 0, 1.4, -10.43001185078056, 1e-9},
    EqRow{"GeneralLowDecade", EqType::generalLow, 10, 0, 1.4, -39.93525302795924, 1e-9},
    EqRow{"GeneralLowIgnoresGain", EqType::generalLow, 1, 18, 1.4, 2.92256071356476, 1e-9},
    EqRow{"GeneralHighCorner", EqType::generalHigh, 1, 0, 1.4, 2.92256071356476, 1e-9},
    EqRow{"GeneralHighOctave", EqType::generalHigh, 0.5, 0, 1.4, -10.43001185078056, 1e-9},
    EqRow{"GeneralHighPassband", EqType::generalHigh, 10, 0, 1.4, 0.0647469720407613, 1e-9},
    EqRow{"ButterworthLowCorner", EqType::butterworthLow, 1, 0, 1.4, -3.010299956639812, 1e-9},
    EqRow{"ButterworthLowDecade", EqType::butterworthLow, 10, 0, 1.4, -40.00043427276863, 1e-9},
    EqRow{"ButterworthHighCorner", EqType::butterworthHigh, 1, 0, 1.4, -3.010299956639812, 1e-9},
    EqRow{"ButterworthHighDecade", EqType::butterworthHigh, 0.1, 0, 1.4, -40.00043427276863, 1e-9},
    EqRow{"BesselLowCorner", EqType::besselLow, 1, 0, 1.4, -4.771212547196624, 1e-9},
    EqRow{"BesselLowOctave", EqType::besselLow, 2, 0, 1.4, -13.222192947339193, 1e-9},
    EqRow{"BesselLowDecade", EqType::besselLow, 10, 0, 1.4, -40.043643711077515, 1e-9},
    EqRow{"BesselHighOctave", EqType::besselHigh, 0.5, 0, 1.4, -13.222192947339193, 1e-9},
    EqRow{"BesselHighDecade", EqType::besselHigh, 0.1, 0, 1.4, -40.043643711077515, 1e-9},
    EqRow{"ByPass", EqType::byPass, 1, 18, 1.4, 0.0, 0.0},
    EqRow{"AllPass", EqType::allPass, 3, 18, 1.4, 0.0, 0.0},
    EqRow{"TypeBelowRange", -1, 1, 18, 1.4, 0.0, 0.0},
    EqRow{"TypeAboveRange", EqType::count, 1, 18, 1.4, 0.0, 0.0}),
    [](const testing::TestParamInfo<EqRow>& info) { return info.param.name; });

TEST(EqBandResponse, GainZeroIsFlatForPeakingAndShelves)
{
    for (int type : {EqType::peaking, EqType::lowShelf, EqType::highShelf}) {
        for (double q : {0.1, 1.4, 20.0}) {
            for (double w : {0.01, 0.5, 1.0, 2.0, 100.0})
                EXPECT_EQ(eqBandResponseDb(type, w * f0, f0, 0.0, q), 0.0) << type << " " << q << " " << w;
        }
    }
}

TEST(EqBandResponse, InputsThatWouldDivideByZeroGiveZero)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (int type = 0; type < EqType::count; ++type) {
        for (const auto& [f, centre, q] : {std::tuple{0.0, f0, 1.4}, {-5.0, f0, 1.4}, {100.0, 0.0, 1.4},
                                           {nan, f0, 1.4}, {100.0, inf, 1.4}}) {
            EXPECT_EQ(eqBandResponseDb(type, f, centre, 6.0, q), 0.0) << type;
        }
    }
    for (int type : {EqType::peaking, EqType::lowShelf, EqType::highShelf, EqType::generalLow, EqType::generalHigh})
        EXPECT_EQ(eqBandResponseDb(type, 500.0, f0, 6.0, 0.0), 0.0) << type;
    // Types that ignore q still answer without one.
    EXPECT_NEAR(eqBandResponseDb(EqType::besselLow, f0, f0, 0.0, 0.0), -4.771212547196624, 1e-9);
}

struct CrossoverRow {
    const char* name;
    int side;
    int type;
    double w;
    double expectedDb;
    double tolerance;
};

void PrintTo(const CrossoverRow& row, std::ostream* os)
{
    *os << row.name;
}

class CrossoverResponse : public testing::TestWithParam<CrossoverRow> {};

TEST_P(CrossoverResponse, MatchesPolynomial)
{
    const CrossoverRow& row = GetParam();
    EXPECT_NEAR(crossoverResponseDb(row.side, row.type, row.w * f0, f0), row.expectedDb, row.tolerance);
}

constexpr int hp = highPassSide;
constexpr int lp = lowPassSide;

INSTANTIATE_TEST_SUITE_P(AtCorner, CrossoverResponse, testing::Values(
    CrossoverRow{"Butterworth12Low", lp, CrossoverType::butterworth12, 1, -3.009, 5e-4},
    CrossoverRow{"Butterworth12High", hp, CrossoverType::butterworth12, 1, -3.009, 5e-4},
    CrossoverRow{"Bessel12Low", lp, CrossoverType::bessel12, 1, -4.771, 5e-4},
    CrossoverRow{"Bessel12High", hp, CrossoverType::bessel12, 1, -4.771, 5e-4},
    CrossoverRow{"LinkwitzRiley12Low", lp, CrossoverType::linkwitzRiley12, 1, -6.021, 5e-4},
    CrossoverRow{"LinkwitzRiley12High", hp, CrossoverType::linkwitzRiley12, 1, -6.021, 5e-4},
    CrossoverRow{"Butterworth24Low", lp, CrossoverType::butterworth24, 1, -3.009, 5e-4},
    CrossoverRow{"Butterworth24High", hp, CrossoverType::butterworth24, 1, -3.009, 5e-4},
    CrossoverRow{"Bessel24Low", lp, CrossoverType::bessel24, 1, -7.580, 5e-4},
    CrossoverRow{"Bessel24High", hp, CrossoverType::bessel24, 1, -7.580, 5e-4},
    CrossoverRow{"LinkwitzRiley24Low", lp, CrossoverType::linkwitzRiley24, 1, -6.018, 5e-4},
    CrossoverRow{"LinkwitzRiley24High", hp, CrossoverType::linkwitzRiley24, 1, -6.018, 5e-4},
    CrossoverRow{"Butterworth48Low", lp, CrossoverType::butterworth48, 1, -2.984, 5e-4},
    CrossoverRow{"Butterworth48High", hp, CrossoverType::butterworth48, 1, -2.984, 5e-4},
    CrossoverRow{"Bessel48Low", lp, CrossoverType::bessel48, 1, -12.590, 5e-4},
    CrossoverRow{"Bessel48High", hp, CrossoverType::bessel48, 1, -12.610, 5e-4},
    CrossoverRow{"LinkwitzRiley48Low", lp, CrossoverType::linkwitzRiley48, 1, -6.018, 5e-4},
    CrossoverRow{"LinkwitzRiley48High", hp, CrossoverType::linkwitzRiley48, 1, -6.018, 5e-4}),
    [](const testing::TestParamInfo<CrossoverRow>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(OneDecadeOut, CrossoverResponse, testing::Values(
    CrossoverRow{"Butterworth12Low", lp, CrossoverType::butterworth12, 10, -40.0, 0.05},
    CrossoverRow{"Butterworth12High", hp, CrossoverType::butterworth12, 0.1, -40.0, 0.05},
    CrossoverRow{"Butterworth24Low", lp, CrossoverType::butterworth24, 10, -80.0, 0.05},
    CrossoverRow{"Butterworth24High", hp, CrossoverType::butterworth24, 0.1, -80.0, 0.05},
    CrossoverRow{"Butterworth48Low", lp, CrossoverType::butterworth48, 10, -160.0, 0.05},
    CrossoverRow{"Butterworth48High", hp, CrossoverType::butterworth48, 0.1, -160.0, 0.05},
    CrossoverRow{"LinkwitzRiley12Low", lp, CrossoverType::linkwitzRiley12, 10, -40.086427475652854, 1e-9},
    CrossoverRow{"LinkwitzRiley12High", hp, CrossoverType::linkwitzRiley12, 0.1, -40.086427475652854, 1e-9},
    CrossoverRow{"LinkwitzRiley24Low", lp, CrossoverType::linkwitzRiley24, 10, -80.00081608785118, 1e-9},
    CrossoverRow{"LinkwitzRiley48High", hp, CrossoverType::linkwitzRiley48, 0.1, -159.9999798970845, 1e-9},
    CrossoverRow{"Bessel12Low", lp, CrossoverType::bessel12, 10, -40.043636143916295, 1e-9},
    CrossoverRow{"Bessel24Low", lp, CrossoverType::bessel24, 10, -80.04271583581647, 1e-9},
    CrossoverRow{"Bessel24High", hp, CrossoverType::bessel24, 0.1, -80.0636076205914, 1e-9},
    CrossoverRow{"Bessel48Low", lp, CrossoverType::bessel48, 10, -160.0417387323178, 1e-9},
    CrossoverRow{"Bessel48High", hp, CrossoverType::bessel48, 0.1, -160.11012898932512, 1e-9},
    // A Bessel high-pass is no mirror of the low-pass: one octave out.
    CrossoverRow{"Bessel24LowOctave", lp, CrossoverType::bessel24, 2, -25.389640263156874, 1e-9},
    CrossoverRow{"Bessel24HighOctave", hp, CrossoverType::bessel24, 0.5, -25.74184371813459, 1e-9},
    // Pass bands stay near 0 dB.
    CrossoverRow{"Butterworth48LowPassband", lp, CrossoverType::butterworth48, 0.1, 0.0, 1e-3},
    CrossoverRow{"Butterworth48HighPassband", hp, CrossoverType::butterworth48, 10, 0.0, 1e-3}),
    [](const testing::TestParamInfo<CrossoverRow>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(Flat, CrossoverResponse, testing::Values(
    CrossoverRow{"BypassLow", lp, CrossoverType::bypass, 10, 0.0, 0.0},
    CrossoverRow{"BypassHigh", hp, CrossoverType::bypass, 0.1, 0.0, 0.0},
    CrossoverRow{"TypeBelowRange", lp, -1, 10, 0.0, 0.0},
    CrossoverRow{"TypeAboveRange", hp, CrossoverType::count, 0.1, 0.0, 0.0},
    CrossoverRow{"UnknownSide", 2, CrossoverType::butterworth48, 10, 0.0, 0.0}),
    [](const testing::TestParamInfo<CrossoverRow>& info) { return info.param.name; });

TEST(CrossoverResponse, NonPositiveFrequenciesGiveZero)
{
    for (int side : {hp, lp}) {
        EXPECT_EQ(crossoverResponseDb(side, CrossoverType::bessel48, 0.0, f0), 0.0);
        EXPECT_EQ(crossoverResponseDb(side, CrossoverType::bessel48, 100.0, 0.0), 0.0);
        EXPECT_EQ(crossoverResponseDb(side, CrossoverType::bessel48, 100.0, -1.0), 0.0);
    }
}

TEST(FrequencyAxis, SpansThreeDecadesFromTwentyHertz)
{
    for (double width : {100.0, 1199.0, 1920.0}) {
        EXPECT_DOUBLE_EQ(frequencyAtOffset(0, width), std::pow(10.0, 1.3));
        EXPECT_DOUBLE_EQ(frequencyAtOffset(width, width), std::pow(10.0, 4.3));
        EXPECT_DOUBLE_EQ(frequencyAtOffset(width / 3, width), std::pow(10.0, 2.3));
        EXPECT_NEAR(offsetAtFrequency(std::pow(10.0, 1.3), width), 0.0, 1e-9);
        EXPECT_NEAR(offsetAtFrequency(std::pow(10.0, 4.3), width), width, 1e-9);
        EXPECT_NEAR(offsetAtFrequency(1000.0, width), width * 1.7 / 3, 1e-9);
    }
    EXPECT_NEAR(frequencyAtOffset(0, 600), 19.9526, 1e-4);
    EXPECT_NEAR(frequencyAtOffset(600, 600), 19952.6, 0.1);
}

TEST(FrequencyAxis, RoundTrips)
{
    constexpr double width = 1199.0;
    for (double p : {-10.0, 0.0, 0.5, 1.0, 137.0, 599.5, 1000.0, 1199.0, 1300.0})
        EXPECT_NEAR(offsetAtFrequency(frequencyAtOffset(p, width), width), p, 1e-9) << p;
    for (double f : {10.0, 20.0, 440.0, 1000.0, 19999.0})
        EXPECT_NEAR(frequencyAtOffset(offsetAtFrequency(f, width), width), f, f * 1e-12) << f;
}

TEST(FrequencyAxis, DegenerateInputsStayFinite)
{
    EXPECT_DOUBLE_EQ(frequencyAtOffset(5, 0), std::pow(10.0, 1.3));
    EXPECT_DOUBLE_EQ(frequencyAtOffset(5, -3), std::pow(10.0, 1.3));
    EXPECT_EQ(offsetAtFrequency(0, 100), 0.0);
    EXPECT_EQ(offsetAtFrequency(-1, 100), 0.0);
    EXPECT_EQ(offsetAtFrequency(1000, 0), 0.0);
}

} // namespace
