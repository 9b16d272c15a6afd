#include "response/MarkerState.h"

#include "response/ResponseMath.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float axisStart = static_cast<float>(axisStartLog10);

int clampIndex(int index, int count) { return std::clamp(index, 0, count - 1); }

// x0 + (W/3)(log10 F - 1.3) in single precision, as every marker place has
// always been computed.
float placeOnAxis(double plotLeft, double plotWidth, int frequencyHz)
{
    const float f = static_cast<float>(std::max(frequencyHz, 1));
    return static_cast<float>(plotLeft) + static_cast<float>(plotWidth) / 3.0f * (std::log10(f) - axisStart);
}

MarkerBox boxAround(int centreX, int centreY)
{
    constexpr int h = MarkerState::halfSize;
    return {centreX - h, centreY - h, centreX + h, centreY + h};
}

} // namespace

int MarkerBox::centreX() const { return left + MarkerState::halfSize; }
int MarkerBox::centreY() const { return top + MarkerState::halfSize; }

int markerFrequencyHz(double offset, int width)
{
    if (width <= 0 || !std::isfinite(offset))
        return 20;
    const float exponent = axisStart + static_cast<float>(offset) / (static_cast<float>(width) / 3.0f);
    // Beyond the right edge of any real plot lies nothing worth more than int.
    const double hz = std::pow(10.0, std::clamp(static_cast<double>(exponent), -3.0, 9.0));
    return static_cast<int>(std::trunc(hz + 0.5));
}

MarkerState::MarkerState() { resetToInitial(); }

void MarkerState::setAreas(int eqWidth, int eqHeight, int crossoverWidth, int crossoverHeight)
{
    eq = eqPlotRect(eqWidth, eqHeight);
    crossover = crossoverPlotRect(crossoverWidth, crossoverHeight);
}

void MarkerState::resetToInitial()
{
    const int step = eq.width() / (bands - 1);
    for (auto& channel : bandMarkers) {
        for (int b = 0; b < bands; ++b) {
            BandMarker& marker = channel[static_cast<size_t>(b)];
            marker.box = boxAround(eq.x0 + step * b, eq.zeroDbY());
            marker.offsetX = static_cast<float>(step * b);
            marker.offsetY = 0;
        }
    }
    const int zeroTop = static_cast<int>(std::trunc(crossover.zeroDbY() - halfSize));
    for (auto& channel : cornerMarkers) {
        for (int side : {highPass, lowPass}) {
            const double fraction = side == highPass ? 2.0 / 5.0 : 4.0 / 5.0;
            CrossoverMarker& marker = channel[static_cast<size_t>(side)];
            const double centre = crossover.x0 + fraction * crossover.width();
            const int left = static_cast<int>(std::trunc(centre)) - halfSize;
            marker.box = {left, zeroTop, left + 2 * halfSize, zeroTop + 2 * halfSize};
            marker.centreX = static_cast<float>(centre);
        }
    }
}

BandMarker& MarkerState::band(int channel, int band)
{
    return bandMarkers[static_cast<size_t>(clampIndex(channel, channels))][static_cast<size_t>(clampIndex(band, bands))];
}

const BandMarker& MarkerState::band(int channel, int band) const
{
    return bandMarkers[static_cast<size_t>(clampIndex(channel, channels))][static_cast<size_t>(clampIndex(band, bands))];
}

CrossoverMarker& MarkerState::corner(int channel, int side)
{
    return cornerMarkers[static_cast<size_t>(clampIndex(channel, channels))][static_cast<size_t>(clampIndex(side, 2))];
}

const CrossoverMarker& MarkerState::corner(int channel, int side) const
{
    return cornerMarkers[static_cast<size_t>(clampIndex(channel, channels))][static_cast<size_t>(clampIndex(side, 2))];
}

int MarkerState::bandFrequencyHz(int channel, int bandIndex) const
{
    return markerFrequencyHz(band(channel, bandIndex).box.centreX() - eq.x0, eq.width());
}

double MarkerState::bandGainDb(int channel, int bandIndex) const
{
    if (eq.height() <= 0)
        return 0;
    const int v = band(channel, bandIndex).box.centreY() - eq.zeroDbY();
    double gain = -plotDecibelSpan * v / eq.height();
    // The display rounds what the pixel grid cuts; only the 0 dB line stays
    // exactly 0.
    if (!(gain > -0.1 && gain < 0.1))
        gain += 0.05;
    return gain;
}

void MarkerState::placeBandFrequency(int channel, int bandIndex, int frequencyHz)
{
    BandMarker& marker = band(channel, bandIndex);
    const int centre = static_cast<int>(std::trunc(placeOnAxis(eq.x0, eq.width(), frequencyHz)));
    marker.box.left = centre - halfSize;
    marker.box.right = centre + halfSize;
    marker.offsetX = static_cast<float>(centre - eq.x0);
}

void MarkerState::placeBandGain(int channel, int bandIndex, double gainDb)
{
    BandMarker& marker = band(channel, bandIndex);
    const double offset = -eq.height() * gainDb / plotDecibelSpan;
    const double centre = eq.zeroDbY() + offset;
    marker.box.top = static_cast<int>(std::trunc(centre - halfSize));
    marker.box.bottom = static_cast<int>(std::trunc(centre + halfSize));
    marker.offsetY = static_cast<float>(offset);
}

void MarkerState::putBandOnZeroLine(int channel, int bandIndex)
{
    BandMarker& marker = band(channel, bandIndex);
    marker.box.top = eq.zeroDbY() - halfSize;
    marker.box.bottom = eq.zeroDbY() + halfSize;
}

int MarkerState::crossoverFrequencyHz(int channel, int side) const
{
    const double centre = std::trunc(corner(channel, side).centreX);
    return markerFrequencyHz(centre - crossover.x0, static_cast<int>(crossover.width()));
}

void MarkerState::placeCrossoverFrequency(int channel, int side, int frequencyHz)
{
    CrossoverMarker& marker = corner(channel, side);
    marker.centreX = placeOnAxis(crossover.x0, crossover.width(), frequencyHz);
    const int centre = static_cast<int>(std::trunc(marker.centreX));
    marker.box.left = centre - halfSize;
    marker.box.right = centre + halfSize;
}
