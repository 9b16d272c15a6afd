#pragma once

#include "response/MarkerState.h"
#include "response/ResponseCurve.h"

#include <QColor>
#include <QImage>
#include <QPolygon>
#include <QRect>
#include <QString>

#include <array>
#include <vector>

// Painting of the two response graphs into off-screen images. Everything
// shown is derived at paint time from the marker state and the selections
// handed in; between paints only the buffers and the column frequencies are
// kept, never curve values.

namespace GraphColours {
inline const QColor background(0, 0, 0);
inline const QColor grid(230, 230, 250); // grid lines, frame and label text
inline const QColor curve(255, 0, 0);
inline const QColor bypassed(190, 190, 190); // EQ curve and markers while "EQ Bypass" is ticked
inline const QColor selectedRing(255, 255, 255);
} // namespace GraphColours

// The font of the labels; the name is substituted by an installed CJK font.
// A graph whose plot margin is too narrow for its level labels at the point
// size writes all its labels smaller (no smaller than 6 points).
inline constexpr const char* graphFontFamily = "楷体";
inline constexpr int eqLabelPoints = 10;
inline constexpr int crossoverLabelPoints = 8;

// What the EQ graph shows: the markers of one channel, the type and q of its
// fifteen bands, the band chosen in the band list and the bypass box.
struct EqGraphScene {
    const MarkerState* markers = nullptr;
    int channel = 0;
    int selectedBand = 0;
    bool bypass = false;
    std::array<int, MarkerState::bands> types{};
    std::array<double, MarkerState::bands> q{};
};

// What the crossover graph shows: the two corner markers of one channel and
// its high-pass and low-pass types.
struct CrossoverGraphScene {
    const MarkerState* markers = nullptr;
    int channel = 0;
    int hpType = 0;
    int lpType = 0;
};

// The curve inputs the graph reads from the markers: f0 from the offset
// truncated to whole pixels and rounded to whole hertz, the gain from the
// offset below the 0 dB line.
std::array<EqBandSetting, MarkerState::bands> eqBandSettings(const EqGraphScene& scene);
CrossoverSetting crossoverSetting(const CrossoverGraphScene& scene);

// A text a paint wrote, and the rectangle its glyphs cover in the area.
struct GraphLabel {
    QString text;
    QRect ink;
};

class GraphPainter {
public:
    // Both fill the whole image, which stands for the graph's area; its size
    // divided by its pixel ratio gives the plot rectangle, so an image of a
    // high-density screen gets the same picture in finer pixels.
    void paintEq(QImage& image, const EqGraphScene& scene);
    void paintCrossover(QImage& image, const CrossoverGraphScene& scene);
    // The labels of the last paint of each graph.
    const std::vector<GraphLabel>& eqLabels() const { return eqTexts; }
    const std::vector<GraphLabel>& crossoverLabels() const { return crossoverTexts; }

private:
    ResponseCurves eqCurves;
    ResponseCurves crossoverCurves;
    std::vector<double> values;
    QPolygon points;
    std::vector<GraphLabel> eqTexts;
    std::vector<GraphLabel> crossoverTexts;
};
