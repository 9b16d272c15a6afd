#pragma once

#include "protocol/AmpParameters.h"
#include "response/EqFilterText.h"
#include "response/ResponseCurve.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>
#include <span>

// Bringing a filter file into one channel's fifteen bands: type mapping,
// the amplifier's ranges, and a record of everything that had to give way.
// Pure: the windows and vx4ctl show the plan and send what it leads to.

// One thing the import changed or left out.
struct EqAdjustment {
    enum Kind {
        FrequencyLimited, // to 20..20000 Hz
        FrequencyRounded, // to whole hertz
        GainLimited,      // to -18..+18 dB
        GainRounded,      // to hundredths, as the amplifier holds gains
        QLimited,         // to 0.1..20
        QCut,             // to one decimal
        SlopeToQ,         // a shelf's slope became its Q
        BandwidthToQ,     // a bandwidth in octaves became a Q
        DefaultQ,         // a shelf or all-pass without Q takes 0.7
        NotImported,      // a type the amplifier has no counterpart for
        LeftOut,          // beyond the fifteen bands
        Preamp,           // shown, not applied
        IgnoredCommand,   // "Channel:", "Include:" ...
        EqBypassOn,       // the channel's EQ Bypass hides the imported bands
    };
    Kind kind = FrequencyLimited;
    int band = 0; // 1..15; 0 where no band is concerned
    int line = 0; // the file's line; 0 where none is concerned
    double from = 0;
    double to = 0;
    QString word; // the type code, the command
};

struct EqImportBand {
    EqFilterType type = EqFilterType::ByPass;
    int frequencyHz = 0;
    double gainDb = 0;
    double q = 0;
    int line = 0; // the file's line; 0 for a band beyond the file's filters
};

struct EqImportPlan {
    std::array<EqImportBand, bandCount> bands;
    QList<EqAdjustment> adjustments; // in the file's order
};

// Which values a band of this type uses; the others keep what the channel
// holds, so that an import sends nothing for them.
bool eqTypeUsesFrequency(EqFilterType type);
bool eqTypeUsesGain(EqFilterType type);
bool eqTypeUsesQ(EqFilterType type);

// The file's filters in its order, fifteen at most: a filter switched off
// keeps its place as a flat band; an active filter of a type the amplifier
// lacks takes none. When more than fifteen remain, filters switched off give
// up their places first. Bands beyond the file's filters are flat.
EqImportPlan planEqImport(const EqFileText& text);

// The channel's bands as the import leaves them.
void applyEqImport(AmpParameters& state, int channel, const EqImportPlan& plan);

// Whether two channels hold the same bands: the same types, and equal
// values where the type uses them.
bool sameEqBands(const ChannelParameters& a, const ChannelParameters& b);

// In the interface language: "band 4: gain +21 dB limited to +18 dB".
QString eqAdjustmentText(const EqAdjustment& adjustment);
// "Peaking", "Butterworth Low" (without the list's trailing blank).
QString eqImportTypeName(EqFilterType type);

// ---- What the mapping cost ----

// The response in dB of one of the file's filters at f, from its own values
// (not limited, not cut), as the magnitude of the analog prototype behind
// the usual second-order audio filters, with w = f / Fc and A = 10^(gain/40):
//   PK            |(s^2 + s A/Q + 1) / (s^2 + s/(A Q) + 1)|
//   LS, LSC       |A (s^2 + s sqrt(A)/Q + A) / (A s^2 + s sqrt(A)/Q + 1)|, HS mirrored;
//                 Q from a slope S dB/oct by 1/Q^2 = (A + 1/A)(12/S - 1) + 2,
//                 0.7071 when none is given; a 6 dB slope is the first-order
//                 shelf |A (s + A) / (A s + 1)|
//   LP, HP        second-order Butterworth, |1 / (s^2 + s sqrt 2 + 1)|
//   LPQ, HPQ      |1 / (s^2 + s/Q + 1)|, and its high-pass mirror
//   AP            0 dB
//   NO, BP        |(s^2 + 1) / (s^2 + s/Q + 1)|, |(s/Q) / (s^2 + s/Q + 1)|
//   LP1, HP1      |1 / (s + 1)|, |s / (s + 1)|
// These are the forms the editor's graph draws its own bands with. nullopt
// for a filter that is off, and for a type or values whose response is not
// known.
std::optional<double> eqFileFilterResponseDb(const EqFileFilter& filter, double frequencyHz);

struct EqCurveDifference {
    double largestDb = 0;       // the largest difference, in dB
    double atFrequencyHz = 0;   // where it is
    int filtersNotCompared = 0; // active filters whose response is not known, or overflows
};

// Compares the curve of `drawn` (fifteen bands, as the graph reads them)
// with the sum of the file's filters over the columns of a graph `width`
// columns wide.
EqCurveDifference compareWithFile(const EqFileText& text, std::span<const EqBandSetting> drawn, int width);

// The bands as the curve takes them from the model.
std::array<EqBandSetting, bandCount> eqBandSettingsOf(const ChannelParameters& channel);

// Columns of the comparison where no graph is at hand (vx4ctl).
inline constexpr int eqComparisonColumns = 1000;

// "The curve differs from the file's filters by at most 0.42 dB (at 1234 Hz)."
QString eqCurveDifferenceText(const EqCurveDifference& difference);
