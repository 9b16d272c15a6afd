#pragma once

#include <span>
#include <vector>

// One EQ band as the graph reads it from its marker.
struct EqBandSetting {
    int type = 1; // EqFilterType, "Peaking"
    double frequencyHz = 1000.0;
    double gainDb = 0.0;
    double q = 1.4;
};

struct CrossoverSetting {
    int hpType = 0; // CrossoverFilterType, "Bypass"
    double hpFrequencyHz = 20.0;
    int lpType = 0;
    double lpFrequencyHz = 20000.0;
};

// The two response curves of a channel, one dB value per pixel column p =
// 0 .. width - 1 at frequencyAtOffset(p, width). Equal to summing
// eqBandResponseDb / crossoverResponseDb per column, but computed as one
// logarithm per column of the product of the bands' power ratios, with the
// column frequencies kept between calls, so a drag can repaint on every mouse
// move. Keep one instance per graph and pass the same output vector each time
// to avoid allocation.
class ResponseCurves {
public:
    explicit ResponseCurves(int width = 0);

    // Recomputes the column frequencies only when the width changes.
    void setWidth(int width);
    int width() const { return int(frequencies.size()); }
    std::span<const double> columnFrequencies() const { return frequencies; }

    // Sum of the bands; all 0 dB when eqBypass is set.
    void eqCurveDb(std::span<const EqBandSetting> bands, bool eqBypass, std::vector<double>& out);
    // Sum of the high-pass and the low-pass response.
    void crossoverCurveDb(const CrossoverSetting& setting, std::vector<double>& out);

private:
    void recomputeColumnByColumn(std::span<const EqBandSetting> bands, std::vector<double>& out) const;

    std::vector<double> frequencies;
    std::vector<double> frequenciesSquared;
    std::vector<double> inverseFrequencies;
    std::vector<double> numerator;
    std::vector<double> denominator;
};

// One-off conveniences that allocate.
std::vector<double> eqCurveDb(std::span<const EqBandSetting> bands, bool eqBypass, int width);
std::vector<double> crossoverCurveDb(const CrossoverSetting& setting, int width);
