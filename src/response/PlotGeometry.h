#pragma once

// The plot rectangles inside the two graph areas, derived from an area's
// client size with integer division, and the vertical scale they share
// (36 dB per plot height). They are recomputed at every paint and when the
// editor is set up, since the marker editing reads them between paints.

struct EqPlotRect {
    int x0 = 0; // left
    int x1 = 0; // right
    int y1 = 0; // top
    int y0 = 0; // bottom
    int areaHeight = 0;

    int width() const { return x1 - x0; }
    int height() const { return y0 - y1; }
    // The 0 dB line is the middle of the area, not of the plot.
    int zeroDbY() const { return areaHeight / 2; }
};

// Held in doubles, although its values are whole numbers: the crossover
// drawing and marker maths have always worked in floating point.
struct CrossoverPlotRect {
    double x0 = 0;
    double x1 = 0;
    double y1 = 0;
    double y0 = 0;

    double width() const { return x1 - x0; }
    double height() const { return y0 - y1; }
    // The axis spans -30 dB (bottom) to +6 dB (top).
    double zeroDbY() const { return y0 - 5.0 / 6.0 * height(); }
};

inline constexpr double plotDecibelSpan = 36.0;

// EQ: x0 = Wc/15, x1 = Wc - Wc/15, y1 = Hc/13, y0 = Hc - Hc/13.
EqPlotRect eqPlotRect(int areaWidth, int areaHeight);
// Crossover: x0 = Wc/18, x1 = Wc - Wc/18, y1 = Hc/13, y0 = Hc - Hc/13.
CrossoverPlotRect crossoverPlotRect(int areaWidth, int areaHeight);
