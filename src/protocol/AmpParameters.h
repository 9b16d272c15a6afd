#pragma once

#include "protocol/Commands.h"
#include "protocol/ValueMapping.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// List positions are the values; filter types travel as position + 1.
enum class EqFilterType : int {
    ByPass,
    Peaking,
    LowShelf,
    HighShelf,
    AllPass,
    GeneralLow,
    GeneralHigh,
    ButterworthLow,
    ButterworthHigh,
    BesselLow,
    BesselHigh,
};
inline constexpr int eqFilterTypeCount = 11;

enum class CrossoverFilterType : int {
    Bypass,
    Butterworth12,
    Bessel12,
    LinkwitzRiley12,
    Butterworth24,
    Bessel24,
    LinkwitzRiley24,
    Butterworth48,
    Bessel48,
    LinkwitzRiley48,
};
inline constexpr int crossoverFilterTypeCount = 10;

enum class InputType : int { Analog, Aes3, Auto };
inline constexpr int inputTypeCount = 3;

enum class PairMode : int { Normal, Bridge };

// The list texts, in list order. Two EQ names end in a blank on purpose:
// that is how the amplifier's own software spells them.
QStringList eqFilterTypeNames();
QStringList crossoverFilterTypeNames();
QStringList inputTypeNames();
QStringList pairModeNames();
QString eqFilterTypeName(EqFilterType type);
QString crossoverFilterTypeName(CrossoverFilterType type);

std::optional<EqFilterType> eqFilterTypeFromIndex(int index);
std::optional<CrossoverFilterType> crossoverFilterTypeFromIndex(int index);
std::optional<InputType> inputTypeFromIndex(int index);


inline constexpr int channelCountMax = 4;
inline constexpr int bandCount = 15;
inline constexpr int outputSourceBridged = 5;

// Frequency on the graphs' logarithmic axis at `offset` pixels of a plot
// `width` wide, rounded to whole hertz (the editor's axis, kept here so that
// the model needs no graph code).
int axisFrequencyHz(double offset, double width);

struct EqBand {
    int bandFrequencyHz = 20;
    double bandGainDb = 0;
    double bandQ = 1.4;
    EqFilterType bandType = EqFilterType::Peaking;

    // Types 4..10 have no gain of their own and sit on the 0 dB line;
    // types 7..10 have no Q either.
    bool hasGain() const { return static_cast<int>(bandType) < 4; }
    bool hasQ() const { return static_cast<int>(bandType) < 7; }
};

struct ChannelParameters {
    int volumeDb = -80;
    bool mute = false;
    bool invert = false;
    int gainDb = 23;
    std::optional<int> delayUs; // empty until the amplifier is read
    InputType inputType = InputType::Analog;
    int outputSource = 0;       // 1..4 source a..d, 5 bridged (CHB, CHD), 0 no selection
    CrossoverFilterType hpType = CrossoverFilterType::Bypass;
    CrossoverFilterType lpType = CrossoverFilterType::Bypass;
    int hpFrequencyHz = 316;
    int lpFrequencyHz = 5012;
    int limiterThreshold = 41;
    int attackMs = 1;
    int releaseMs = 1;
    bool eqBypass = false;
    std::array<EqBand, bandCount> bands;

    ChannelParameters();
};

// What the editor knows about the one amplifier it edits, and the selection
// state kept beside it. Channels and bands are indexed from 0 here (CHA = 0,
// band 1 = 0); the wire numbers are index + 1.
struct AmpParameters {
    DeviceAddress address = 0;
    int channelCount = 4;
    int gainTop = 41;
    // Set by the first gainTop from the amplifier; until then the threshold
    // has its own fixed range instead of one derived from gainTop.
    bool gainTopRead = false;
    int powerState = 0; // 0 until read, 1 on, 2 standby
    bool knobLock = false;
    std::array<ChannelParameters, channelCountMax> channels;

    int selectedEqChannel = 0;
    int selectedBand = 0;
    int selectedCrossoverChannel = 0;
    int selectedLimiterChannel = 0;
    int selectedBandFrequency = 20;
    float selectedBandGain = 0;

    AmpParameters();

    ValueMapping::Range gainRange() const { return ValueMapping::gainRange(gainTop); }
    ValueMapping::Range thresholdRange() const;

    // Moves the gain and threshold ranges; values outside them are limited,
    // as the sliders would limit them.
    void setGainTop(int top);

    // pair 0 = CHA-B, 1 = CHC-D: bridged exactly when the second channel's
    // output source is 5.
    bool isBridged(int pair) const;
    PairMode pairMode(int pair) const { return isBridged(pair) ? PairMode::Bridge : PairMode::Normal; }

    // The defaults that depend on the editor's graphs: band k starts at the
    // (k-1)-th of 14 equal steps of the EQ plot (integer step width), the
    // high-pass and low-pass corners 5 pixels left of 2/5 and 4/5 of the
    // crossover plot. Until the editor calls this, the ideal positions of an
    // unbounded plot are used (316 Hz, 5012 Hz, 10^(1.3 + 3(k-1)/14) Hz).
    // Widths of 0 or less are ignored.
    void setGraphDefaults(int eqPlotWidth, double crossoverPlotLeft, double crossoverPlotWidth);

    // Copies the selected band's frequency and gain into selectedBandFrequency
    // and selectedBandGain (after a change of channel or band, and after a read).
    void loadSelectedBand();
    EqBand& band(int channel, int bandIndex) { return channels[channel].bands[bandIndex]; }
    const EqBand& band(int channel, int bandIndex) const { return channels[channel].bands[bandIndex]; }
    const EqBand& selectedEqBand() const;
};
