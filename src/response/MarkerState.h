#pragma once

#include "response/PlotGeometry.h"

#include <array>

// The markers of the two response graphs: one per EQ band of each channel
// and one per crossover corner of each channel, and the conversions between
// a marker's place and the frequency and gain it stands for. Positions are
// in graph coordinates (origin at the top-left of the graph's area).

// A 10 x 10 pixel box, centre +- halfSize.
struct MarkerBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int centreX() const;
    int centreY() const;
    // Edges included, so a box is hit over 11 x 11 pixels.
    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
    friend bool operator==(const MarkerBox&, const MarkerBox&) = default;
};

struct BandMarker {
    MarkerBox box;
    float offsetX = 0; // from the plot's left edge x0; feeds the curve's f0
    float offsetY = 0; // from the 0 dB line, downward positive; feeds its gain
};

struct CrossoverMarker {
    MarkerBox box;
    float centreX = 0; // in graph coordinates, not an offset
};

class MarkerState {
public:
    static constexpr int halfSize = 5;
    static constexpr int channels = 4;
    static constexpr int bands = 15;
    static constexpr int highPass = 0;
    static constexpr int lowPass = 1;

    MarkerState();

    // Recomputes both plot rectangles from the areas' client sizes; the
    // markers stay where they are.
    void setAreas(int eqWidth, int eqHeight, int crossoverWidth, int crossoverHeight);
    const EqPlotRect& eqPlot() const { return eq; }
    const CrossoverPlotRect& crossoverPlot() const { return crossover; }

    // The state of a fresh editor: band b of every channel at (W/14)*b on the
    // 0 dB line (integer step), the high-pass corner at 2/5 and the low-pass
    // corner at 4/5 of the crossover plot, on its 0 dB line.
    void resetToInitial();

    BandMarker& band(int channel, int band);
    const BandMarker& band(int channel, int band) const;
    CrossoverMarker& corner(int channel, int side);
    const CrossoverMarker& corner(int channel, int side) const;

    // trunc(10^(1.3 + 3 (cx - x0) / W) + 0.5) for the box centre cx.
    int bandFrequencyHz(int channel, int band) const;
    // -36 v / Hp for the centre's offset v below the 0 dB line; 0.05 is
    // added unless the result lies strictly within +-0.1.
    double bandGainDb(int channel, int band) const;
    // Moves the box horizontally to the place of a frequency.
    void placeBandFrequency(int channel, int band, int frequencyHz);
    // Moves the box vertically to the place of a gain.
    void placeBandGain(int channel, int band, double gainDb);
    // Types without a gain of their own sit on the 0 dB line; offsetY is kept
    // so that a type with a gain shows the old gain again.
    void putBandOnZeroLine(int channel, int band);

    int crossoverFrequencyHz(int channel, int side) const;
    void placeCrossoverFrequency(int channel, int side, int frequencyHz);

private:
    EqPlotRect eq;
    CrossoverPlotRect crossover;
    std::array<std::array<BandMarker, bands>, channels> bandMarkers{};
    std::array<std::array<CrossoverMarker, 2>, channels> cornerMarkers{};
};

// The frequency of a place on a plot `width` wide, `offset` pixels from its
// left edge, in the single precision of the marker maths, rounded to whole
// hertz. A plot without width gives the axis start, 20 Hz.
int markerFrequencyHz(double offset, int width);
