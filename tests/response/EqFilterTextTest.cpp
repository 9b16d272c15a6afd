// Filter files as text: every line form, refusals with their line, line
// ends and byte-order marks, and the written forms read back.
#include "response/EqFilterText.h"
#include "response/EqImport.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

namespace {

using T = EqFilterType;

EqFileText readOk(const QByteArray& bytes)
{
    const EqTextRead read = readEqText(bytes);
    EXPECT_TRUE(read.ok()) << eqTextErrorText(read.error).toStdString();
    return read.text.value_or(EqFileText{});
}

struct LineRow {
    const char* line;
    T type;
    int frequencyHz;
    double gainDb; // where the type uses it
    double q;      // where the type uses it
    const char* adjustment; // the one adjustment expected, or ""
};

TEST(EqFilterText, EachLineFormBecomesItsBand)
{
    const LineRow rows[] = {
        {"Filter  1: ON  PK       Fc    63.0 Hz  Gain  -4.5 dB  Q  4.00", T::Peaking, 63, -4.5, 4.0, ""},
        {"Filter: ON PK Fc 1000 Hz Gain -3 dB Q 1.4", T::Peaking, 1000, -3, 1.4, ""},
        {"Filter 1: ON PEQ Fc 100Hz Gain -3dB Q 2", T::Peaking, 100, -3, 2, ""},
        {"Filter 1: ON PK Fc 1000 Hz Gain 2 dB BW Oct 1", T::Peaking, 1000, 2, 1.4,
         "band 1: bandwidth 1 octaves taken as Q 1.4"},
        {"filter 1: on pk fc 63,5 hz gain -4,5 db q 4", T::Peaking, 64, -4.5, 4, "band 1: frequency 63.5 Hz rounded to 64 Hz"},
        {"Filter  2: ON  LS       Fc   100.0 Hz  Gain   3.0 dB", T::LowShelf, 100, 3, 0.7, "band 1: no Q given, Q 0.7 taken"},
        {"Filter 2: ON LSC Fc 100 Hz Gain 3 dB Q 0.9", T::LowShelf, 100, 3, 0.9, ""},
        {"Filter 2: ON HSC Fc 8000 Hz Gain -2 dB Q 0.7", T::HighShelf, 8000, -2, 0.7, ""},
        {"Filter 2: ON HS Fc 8 kHz Gain -2 dB Q 1", T::HighShelf, 8000, -2, 1, ""},
        // 1/Q^2 = (A + 1/A)(12/6 - 1) + 2 with A = 10^(3/40): Q 0.498.
        {"Filter 1: ON LS 6dB Fc 100 Hz Gain 3 dB", T::LowShelf, 100, 3, 0.4,
         "band 1: slope 6 dB per octave taken as Q 0.4"},
        {"Filter 1: ON HS 12 dB Fc 100 Hz Gain 3 dB", T::HighShelf, 100, 3, 0.7,
         "band 1: slope 12 dB per octave taken as Q 0.7"},
        {"Filter 1: ON LS6 Fc 100 Hz Gain -3 dB", T::LowShelf, 100, -3, 0.4,
         "band 1: slope 6 dB per octave taken as Q 0.4"},
        {"Filter 4: ON LP Fc 80 Hz", T::ButterworthLow, 80, 0, 0, ""},
        {"Filter 4: ON HP Fc 30 Hz", T::ButterworthHigh, 30, 0, 0, ""},
        {"Filter 5: ON LPQ Fc 10000 Hz Q 0.400", T::GeneralLow, 10000, 0, 0.4, ""},
        {"Filter 5: ON HPQ Fc 40 Hz Q 1.2", T::GeneralHigh, 40, 0, 1.2, ""},
        {"Filter 5: ON LP Fc 40 Hz Q 2", T::GeneralLow, 40, 0, 2, ""},
        // The two irrational Q are types of their own.
        {"Filter 6: ON HPQ Fc 40 Hz Q 0.71", T::ButterworthHigh, 40, 0, 0, ""},
        {"Filter 6: ON LPQ Fc 40 Hz Q 0.5774", T::BesselLow, 40, 0, 0, ""},
        {"Filter 6: ON HPQ Fc 40 Hz Q 0.577", T::BesselHigh, 40, 0, 0, ""},
        {"Filter 7: ON AP Fc 500 Hz Q 2", T::AllPass, 500, 0, 2, ""},
        {"Filter  3: OFF None", T::ByPass, 0, 0, 0, ""},
        {"Filter 3: ON None", T::ByPass, 0, 0, 0, ""},
        {"Filter 3: OFF PK Fc 100 Hz Gain 3 dB Q 1", T::ByPass, 0, 0, 0, ""},
        {"Filter 3: OFF", T::ByPass, 0, 0, 0, ""},
    };
    for (const LineRow& row : rows) {
        SCOPED_TRACE(row.line);
        const EqFileText text = readOk(QByteArray(row.line));
        ASSERT_EQ(text.filters.size(), 1);
        const EqImportPlan plan = planEqImport(text);
        const EqImportBand& band = plan.bands[0];
        EXPECT_EQ(band.type, row.type);
        EXPECT_EQ(band.line, 1);
        if (eqTypeUsesFrequency(row.type)) {
            EXPECT_EQ(band.frequencyHz, row.frequencyHz);
        }
        if (eqTypeUsesGain(row.type)) {
            EXPECT_DOUBLE_EQ(band.gainDb, row.gainDb);
        }
        if (eqTypeUsesQ(row.type)) {
            EXPECT_DOUBLE_EQ(band.q, row.q);
        }
        QStringList texts;
        for (const EqAdjustment& a : plan.adjustments)
            texts << eqAdjustmentText(a);
        EXPECT_EQ(texts.join(u'|').toStdString(), row.adjustment);
        for (int b = 1; b < bandCount; ++b)
            EXPECT_EQ(plan.bands[std::size_t(b)].type, T::ByPass) << "band " << b + 1;
    }
}

struct ErrorRow {
    const char* text;
    EqTextError::Kind kind;
    const char* words;
};

TEST(EqFilterText, MalformedFilesAreRefusedWithTheirLine)
{
    const ErrorRow rows[] = {
        {"", EqTextError::NoFilters, "the file holds no filter lines"},
        {"\r\n\r\n# only a comment\r\n", EqTextError::NoFilters, "the file holds no filter lines"},
        {"Some text a word processor left\n", EqTextError::NoFilters, "the file holds no filter lines"},
        {"Filter 1: ON PK Fc abc Hz Gain 1 dB Q 1", EqTextError::NoValue, "line 1: Fc needs a number"},
        {"Filter 1: ON PK Fc 100 Hz Gain dB Q 1", EqTextError::NoValue, "line 1: Gain needs a number"},
        {"Filter 3 ON PK Fc 100 Hz Gain 1 dB Q 1", EqTextError::NoColon, "line 1: a colon is missing after \"Filter 3\""},
        {"Filter x: ON PK", EqTextError::BadNumbering, "line 1: \"x\" is no filter number"},
        {"Filter 1: MAYBE PK", EqTextError::NoState, "line 1: ON or OFF expected, found \"MAYBE\""},
        {"Filter 1:", EqTextError::NoState, "line 1: ON or OFF is missing"},
        {"Filter 1: ON", EqTextError::NoType, "line 1: the filter type is missing"},
        {"Filter 1: ON PK Fc 100 dB Gain 1 dB Q 1", EqTextError::UnknownWord, "line 1: \"dB\" is not understood"},
        {"Filter 1: ON PK Fc 100 Hz Gain 3 dB", EqTextError::MissingField, "line 1: Q is missing"},
        {"Filter 1: ON LS Q 1 Gain 3 dB", EqTextError::MissingField, "line 1: Fc is missing"},
        {"Filter 1: ON LPQ Fc 100 Hz", EqTextError::MissingField, "line 1: Q is missing"},
        {"Filter 1: ON PK Fc 100 Hz Fc 200 Hz Gain 1 dB Q 1", EqTextError::RepeatedField, "line 1: Fc is given twice"},
        {"Filter 1: ON LS 6dB Fc 100 Hz Gain 1 dB Q 1", EqTextError::RepeatedField, "line 1: Q is given twice"},
        {"Filter 1: ON PK Fc 0 Hz Gain 1 dB Q 1", EqTextError::BadValue, "line 1: Fc must be above zero"},
        {"Filter 1: ON PK Fc 10 Hz Gain 1 dB Q -2", EqTextError::BadValue, "line 1: Q must be above zero"},
        {"Preamp: loud\nFilter 1: ON PK Fc 100 Hz Gain 1 dB Q 1", EqTextError::BadPreamp,
         "line 1: the preamp needs a number in dB, found \"loud\""},
        // Header lines count: the fault is on line 5 of the file.
        {"Filter Settings file\r\n\r\nRoom notes\r\nFilter 1: ON PK Fc 100 Hz Gain 1 dB Q 1\r\nFilter 2: ON PK Fc 1e999 Hz\r\n",
         EqTextError::NoValue, "line 5: Fc needs a number"},
        {"Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1\nsomething else\n", EqTextError::Malformed,
         "line 2: \"something else\" is no filter line"},
        {"Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1\nNotes: later\n", EqTextError::Malformed,
         "line 2: \"Notes: later\" is no filter line"},
    };
    for (const ErrorRow& row : rows) {
        SCOPED_TRACE(row.text);
        const EqTextRead read = readEqText(QByteArray(row.text));
        ASSERT_FALSE(read.ok());
        EXPECT_EQ(read.error.kind, row.kind);
        EXPECT_EQ(eqTextErrorText(read.error).toStdString(), row.words);
    }
}

TEST(EqFilterText, HeaderLineEndsAndByteOrderMarksAreTakenAsTheyCome)
{
    const QByteArray measured = "\xEF\xBB\xBF"
                                "Filter Settings file\r\n"
                                "\r\n"
                                "Dated: 3 Mar 2024 10:00:00\r\n"
                                "Equaliser: Generic\r\n"
                                "Filter  1: ON  PK       Fc    63.0 Hz  Gain  -4.5 dB  Q  4.00\r\n"
                                "Filter  2: OFF None\r\n"
                                "Filter  3: ON  LS       Fc   100.0 Hz  Gain   3.0 dB\r\n";
    const EqFileText text = readOk(measured);
    ASSERT_EQ(text.filters.size(), 3);
    EXPECT_EQ(text.filters[0].line, 5);
    EXPECT_EQ(text.filters[0].number, 1);
    EXPECT_EQ(text.filters[0].code, QStringLiteral("PK"));
    EXPECT_EQ(text.filters[2].line, 7);
    EXPECT_DOUBLE_EQ(*text.filters[2].gainDb, 3.0);

    // Saved as "Unicode" by a Windows editor: UTF-16 with its mark.
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringEncoder::Flag::WriteBom);
    const QByteArray wide = utf16(QStringLiteral("Preamp: -3.5 dB\r\nFilter: ON PK Fc 1000 Hz Gain -3 dB Q 1.41\r\n"));
    const EqFileText apo = readOk(wide);
    ASSERT_EQ(apo.filters.size(), 1);
    EXPECT_DOUBLE_EQ(*apo.filters[0].q, 1.41);
    EXPECT_DOUBLE_EQ(*apo.preampDb, -3.5);
}

TEST(EqFilterText, ConfigurationCommandsAndThePreampAreReportedNotApplied)
{
    const EqFileText text = readOk("# from the measurement\n"
                                   "Preamp: -3.5 dB\n"
                                   "Channel: L\n"
                                   "Filter 1: ON PK Fc 1000 Hz Gain -3 dB Q 1.41\n"
                                   "Include: more.txt\n"
                                   "Filter 2: ON PK Fc 2000 Hz Gain 2 dB Q 2\n");
    const EqImportPlan plan = planEqImport(text);
    QStringList texts;
    for (const EqAdjustment& a : plan.adjustments)
        texts << eqAdjustmentText(a);
    EXPECT_EQ(texts, (QStringList{"line 2: the preamp of -3.5 dB is not applied", "line 3: \"Channel:\" is not imported",
                                  "band 1: Q 1.41 cut to 1.4", "line 5: \"Include:\" is not imported"}));
    EXPECT_EQ(plan.bands[1].frequencyHz, 2000);
}

// A channel that holds every type, with values only the file's decimals
// carry across.
ChannelParameters everyType()
{
    ChannelParameters channel;
    const EqBand bands[] = {
        {63, -4.55, 4.0, T::Peaking},       {100, 3.0, 0.9, T::LowShelf},     {8000, -2.25, 0.7, T::HighShelf},
        {500, 0, 2.0, T::AllPass},          {10000, 0, 0.4, T::GeneralLow},   {40, 0, 1.2, T::GeneralHigh},
        {80, 0, 1.4, T::ButterworthLow},    {30, 0, 1.4, T::ButterworthHigh}, {120, 0, 1.4, T::BesselLow},
        {25, 0, 1.4, T::BesselHigh},        {1000, 6, 1.4, T::ByPass},        {2000, 18, 20.0, T::Peaking},
        {20000, -18, 0.1, T::Peaking},      {20, 0.01, 0.1, T::LowShelf},     {12345, -0.5, 19.9, T::HighShelf},
    };
    std::copy(std::begin(bands), std::end(bands), channel.bands.begin());
    return channel;
}

TEST(EqFilterText, WhatIsWrittenImportsAsTheSameBands)
{
    const ChannelParameters source = everyType();
    for (const EqTextFormat format : {EqTextFormat::Rew, EqTextFormat::Apo}) {
        SCOPED_TRACE(format == EqTextFormat::Rew ? "REW" : "APO");
        const QByteArray written = writeEqText(format, source, QStringLiteral("amplifier 3, CHA"));
        const EqFileText text = readOk(written);
        EXPECT_EQ(text.filters.size(), bandCount);
        const EqImportPlan plan = planEqImport(text);
        EXPECT_TRUE(plan.adjustments.isEmpty()) << eqAdjustmentText(plan.adjustments.value(0)).toStdString();
        AmpParameters target;
        applyEqImport(target, 1, plan);
        EXPECT_TRUE(sameEqBands(target.channels[1], source)) << written.toStdString();
    }
}

TEST(EqFilterText, TheTwoFormsLookAsTheirProgramsWriteThem)
{
    ChannelParameters channel;
    for (EqBand& band : channel.bands)
        band.bandType = T::ByPass;
    channel.bands[0] = {63, -4.5, 4.0, T::Peaking};
    channel.bands[1] = {80, 0, 1.4, T::ButterworthLow};
    const QStringList rew = QString::fromUtf8(writeEqText(EqTextFormat::Rew, channel, QStringLiteral("x")))
                                .split(QStringLiteral("\r\n"));
    EXPECT_EQ(rew.value(0), QStringLiteral("Filter Settings file"));
    EXPECT_TRUE(rew.contains(QStringLiteral("Filter  1: ON  PK       Fc    63.0 Hz  Gain   -4.5 dB  Q   4.00")));
    EXPECT_TRUE(rew.contains(QStringLiteral("Filter  2: ON  LP       Fc    80.0 Hz")));
    EXPECT_TRUE(rew.contains(QStringLiteral("Filter  3: OFF None")));
    const QStringList apo = QString::fromUtf8(writeEqText(EqTextFormat::Apo, channel, QStringLiteral("x")))
                                .split(QStringLiteral("\r\n"));
    EXPECT_TRUE(apo.value(0).startsWith(u'#'));
    EXPECT_EQ(apo.value(1), QStringLiteral("Filter 1: ON PK Fc 63 Hz Gain -4.5 dB Q 4.00"));
    EXPECT_EQ(apo.value(2), QStringLiteral("Filter 2: ON LP Fc 80 Hz"));
}

} // namespace
