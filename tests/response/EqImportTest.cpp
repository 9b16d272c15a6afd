// The mapping of a filter file onto fifteen bands: the amplifier's ranges,
// more filters than bands, types it lacks, and the curve's cost.
#include "protocol/ParameterTable.h"
#include "response/EqImport.h"
#include "response/ResponseMath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using T = EqFilterType;

EqFileText readOk(const QByteArray& bytes)
{
    const EqTextRead read = readEqText(bytes);
    EXPECT_TRUE(read.ok()) << eqTextErrorText(read.error).toStdString();
    return read.text.value_or(EqFileText{});
}

QStringList adjustmentTexts(const EqImportPlan& plan)
{
    QStringList texts;
    for (const EqAdjustment& a : plan.adjustments)
        texts << eqAdjustmentText(a);
    return texts;
}

QByteArray peakingFilters(int count)
{
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += QStringLiteral("Filter %1: ON PK Fc %2 Hz Gain -1 dB Q 2\n").arg(i).arg(100 * i).toUtf8();
    return text;
}

TEST(EqImport, ValuesAreBroughtIntoTheAmplifiersRangesAndEachChangeIsSaid)
{
    const EqFileText text = readOk("Filter 1: ON PK Fc 10 Hz Gain -30 dB Q 0.05\n"
                                   "Filter 2: ON PK Fc 1000 Hz Gain -4.567 dB Q 1.41\n"
                                   "Filter 3: ON PK Fc 99.5 Hz Gain 2 dB Q 2.3\n"
                                   "Filter 4: ON PK Fc 25000 Hz Gain 21 dB Q 40\n");
    const EqImportPlan plan = planEqImport(text);
    EXPECT_EQ(adjustmentTexts(plan), (QStringList{
                                         "band 1: frequency 10 Hz limited to 20 Hz",
                                         "band 1: gain -30 dB limited to -18 dB",
                                         "band 1: Q 0.05 limited to 0.1",
                                         "band 2: gain -4.567 dB rounded to -4.57 dB",
                                         "band 2: Q 1.41 cut to 1.4",
                                         "band 3: frequency 99.5 Hz rounded to 100 Hz",
                                         "band 4: frequency 25000 Hz limited to 20000 Hz",
                                         "band 4: gain +21 dB limited to +18 dB",
                                         "band 4: Q 40 limited to 20",
                                     }));
    EXPECT_EQ(plan.bands[0].frequencyHz, 20);
    EXPECT_DOUBLE_EQ(plan.bands[0].gainDb, -18);
    EXPECT_DOUBLE_EQ(plan.bands[0].q, 0.1);
    EXPECT_DOUBLE_EQ(plan.bands[1].gainDb, -4.57);
    // 2.3 x 10 lands just below 23 in doubles: still 2.3, nothing said.
    EXPECT_DOUBLE_EQ(plan.bands[2].q, 2.3);
    EXPECT_EQ(plan.bands[3].frequencyHz, 20000);
    EXPECT_DOUBLE_EQ(plan.bands[3].gainDb, 18);
    EXPECT_DOUBLE_EQ(plan.bands[3].q, 20);
}

TEST(EqImport, TheFirstFifteenFiltersAreTakenAndTheRestSaid)
{
    const EqImportPlan plan = planEqImport(readOk(peakingFilters(17)));
    for (int b = 0; b < bandCount; ++b)
        EXPECT_EQ(plan.bands[std::size_t(b)].frequencyHz, 100 * (b + 1));
    EXPECT_EQ(adjustmentTexts(plan), (QStringList{"line 16: the amplifier has 15 bands; this PK filter is not imported",
                                                  "line 17: the amplifier has 15 bands; this PK filter is not imported"}));
}

TEST(EqImport, FiltersSwitchedOffKeepTheirPlaceUnlessActiveOnesNeedIt)
{
    // Fifteen lines: the filter switched off stays a flat band 2.
    QByteArray fifteen = peakingFilters(15);
    fifteen.replace("Filter 2: ON PK Fc 200 Hz Gain -1 dB Q 2", "Filter 2: OFF None");
    EqImportPlan plan = planEqImport(readOk(fifteen));
    EXPECT_EQ(plan.bands[1].type, T::ByPass);
    EXPECT_EQ(plan.bands[2].frequencyHz, 300);
    EXPECT_TRUE(plan.adjustments.isEmpty());

    // Sixteen lines, fifteen of them active: the flat one gives way and
    // nothing active is lost.
    QByteArray sixteen = peakingFilters(16);
    sixteen.replace("Filter 2: ON PK Fc 200 Hz Gain -1 dB Q 2", "Filter 2: OFF None");
    plan = planEqImport(readOk(sixteen));
    EXPECT_EQ(plan.bands[1].frequencyHz, 300);
    EXPECT_EQ(plan.bands[14].frequencyHz, 1600);
    EXPECT_TRUE(plan.adjustments.isEmpty()) << adjustmentTexts(plan).join(u'\n').toStdString();
}

TEST(EqImport, TypesTheAmplifierLacksTakeNoBandAndAreSaid)
{
    const EqFileText text = readOk("Filter 1: ON NO Fc 50 Hz Q 30\n"
                                   "Filter 2: ON PK Fc 1000 Hz Gain -3 dB Q 2\n"
                                   "Filter 3: ON MODAL Fc 50 Hz Gain 3 dB Q 5 T60 target 300 ms\n");
    const EqImportPlan plan = planEqImport(text);
    EXPECT_EQ(plan.bands[0].type, T::Peaking);
    EXPECT_EQ(plan.bands[0].line, 2);
    EXPECT_EQ(plan.bands[1].type, T::ByPass);
    EXPECT_EQ(adjustmentTexts(plan),
              (QStringList{"line 1: the filter type NO has no counterpart in the amplifier and is not imported",
                           "line 3: the filter type MODAL has no counterpart in the amplifier and is not imported"}));
}

TEST(EqImport, BandsBeyondTheFileAreFlatAndKeepTheirOtherValues)
{
    AmpParameters state;
    for (int b = 0; b < bandCount; ++b)
        state.band(2, b) = {300 + b, 5.0, 3.0, T::Peaking};
    state.band(2, 1) = {700, -2.0, 3.0, T::Peaking};
    const EqImportPlan plan = planEqImport(readOk("Filter 1: ON LP Fc 80 Hz\nFilter 2: ON PK Fc 700 Hz Gain 4 dB Q 3\n"));
    const AmpParameters before = state;
    applyEqImport(state, 2, plan);
    EXPECT_EQ(state.band(2, 0).bandType, T::ButterworthLow);
    EXPECT_EQ(state.band(2, 0).bandFrequencyHz, 80);
    // A type without gain or Q leaves them as they were: nothing to send.
    EXPECT_DOUBLE_EQ(state.band(2, 0).bandGainDb, 5.0);
    EXPECT_DOUBLE_EQ(state.band(2, 0).bandQ, 3.0);
    EXPECT_DOUBLE_EQ(state.band(2, 1).bandGainDb, 4.0);
    for (int b = 2; b < bandCount; ++b) {
        EXPECT_EQ(state.band(2, b).bandType, T::ByPass);
        EXPECT_EQ(state.band(2, b).bandFrequencyHz, 300 + b);
    }
    // Only band 1's type and frequency, band 2's gain and thirteen types differ.
    EXPECT_EQ(ParameterTable::differences(before, state).size(), 2 + 1 + 13);
}

TEST(EqImport, TheCurveOfAFileInRangeIsTheFilesOwn)
{
    const EqFileText text = readOk("Filter 1: ON PK Fc 63 Hz Gain -4.5 dB Q 4\n"
                                   "Filter 2: ON LSC Fc 100 Hz Gain 3 dB Q 0.9\n"
                                   "Filter 3: ON HP Fc 30 Hz\n"
                                   "Filter 4: ON LPQ Fc 12000 Hz Q 0.577\n"
                                   "Filter 5: OFF None\n");
    AmpParameters state;
    applyEqImport(state, 0, planEqImport(text));
    const auto drawn = eqBandSettingsOf(state.channels[0]);
    const EqCurveDifference d = compareWithFile(text, drawn, eqComparisonColumns);
    // 0.577 against 1/sqrt(3): a few thousandths of a dB.
    EXPECT_LT(d.largestDb, 0.01);
    EXPECT_EQ(d.filtersNotCompared, 0);
    EXPECT_EQ(eqCurveDifferenceText({0.001, 1000, 0}).toStdString(), "The curve matches the file's filters.");
}

TEST(EqImport, TheCurveShowsWhatTheMappingCost)
{
    // +21 dB held at +18: 3 dB short at the centre.
    EqFileText text = readOk("Filter 1: ON PK Fc 1000 Hz Gain 21 dB Q 2\n");
    AmpParameters state;
    applyEqImport(state, 0, planEqImport(text));
    EqCurveDifference d = compareWithFile(text, eqBandSettingsOf(state.channels[0]), eqComparisonColumns);
    EXPECT_NEAR(d.largestDb, 3.0, 0.01);
    EXPECT_NEAR(d.atFrequencyHz, 1000, 10);
    EXPECT_EQ(eqCurveDifferenceText(d).left(60).toStdString(),
              "The curve differs from the file's filters by at most 3.00 dB");

    // A first-order shelf becomes a gentle second-order one: close, not equal.
    text = readOk("Filter 1: ON LS 6dB Fc 200 Hz Gain 6 dB\n");
    state = AmpParameters();
    applyEqImport(state, 0, planEqImport(text));
    d = compareWithFile(text, eqBandSettingsOf(state.channels[0]), eqComparisonColumns);
    EXPECT_GT(d.largestDb, 0.05);
    EXPECT_LT(d.largestDb, 1.5);

    // A notch cannot be imported and shows; a type of unknown response is
    // counted instead.
    text = readOk("Filter 1: ON NO Fc 50 Hz Q 5\nFilter 2: ON MODAL Fc 60 Hz\n");
    state = AmpParameters();
    applyEqImport(state, 0, planEqImport(text));
    d = compareWithFile(text, eqBandSettingsOf(state.channels[0]), eqComparisonColumns);
    EXPECT_GT(d.largestDb, 20);
    EXPECT_EQ(d.filtersNotCompared, 1);
}

TEST(EqImport, AFilterWhoseResponseOverflowsIsLeftOutOfTheComparison)
{
    // 10^(20000/40) is beyond a double: the file's curve would be infinite.
    const EqFileText text = readOk("Filter 1: ON PK Fc 1000 Hz Gain 20000 dB Q 2\n"
                                   "Filter 2: ON PK Fc 100 Hz Gain 21 dB Q 1\n");
    AmpParameters state;
    applyEqImport(state, 0, planEqImport(text));
    const EqCurveDifference d = compareWithFile(text, eqBandSettingsOf(state.channels[0]), eqComparisonColumns);
    EXPECT_EQ(d.filtersNotCompared, 1);
    // The band it became (+18 dB at 1 kHz) stands against nothing there.
    EXPECT_TRUE(std::isfinite(d.largestDb));
    EXPECT_NEAR(d.largestDb, 18.0, 0.5);
    EXPECT_NEAR(d.atFrequencyHz, 1000, 10);
}

TEST(EqImport, TheFilesOwnShelvesMeetTheirTextbookPoints)
{
    EqFileFilter shelf;
    shelf.code = QStringLiteral("LS");
    shelf.frequencyHz = 100;
    shelf.gainDb = 6;
    shelf.slopeDb = 6;
    // First order: half the gain at the centre, the full gain far below.
    EXPECT_NEAR(*eqFileFilterResponseDb(shelf, 100), 3.0, 1e-9);
    EXPECT_NEAR(*eqFileFilterResponseDb(shelf, 0.1), 6.0, 1e-3);
    shelf.code = QStringLiteral("HS");
    EXPECT_NEAR(*eqFileFilterResponseDb(shelf, 100000), 6.0, 1e-3);
    shelf.slopeDb = 12;
    EXPECT_NEAR(*eqFileFilterResponseDb(shelf, 100),
                eqBandResponseDb(EqType::highShelf, 100, 100, 6, std::sqrt(0.5)), 1e-12);
    shelf.on = false;
    EXPECT_FALSE(eqFileFilterResponseDb(shelf, 100));
}

} // namespace
