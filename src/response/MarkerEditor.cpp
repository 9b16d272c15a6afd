#include "response/MarkerEditor.h"

#include "response/ResponseMath.h"

#include <cmath>

namespace {

// Types from "All Pass" on have no gain of their own.
bool hasGain(int bandType) { return bandType < EqType::allPass; }

} // namespace

MarkerEditor::MarkerEditor(MarkerState& markers)
    : markers(markers)
{
}

void MarkerEditor::setAreaOrigins(Point eq, Point crossover)
{
    eqOrigin = eq;
    crossoverOrigin = crossover;
}

bool MarkerEditor::hit(const MarkerBox& box, Point origin, Point p) const
{
    return box.contains(p.x - origin.x, p.y - origin.y);
}

MarkerEditor::Point MarkerEditor::centreOf(const MarkerBox& box, Point origin) const
{
    return {origin.x + box.centreX(), origin.y + box.centreY()};
}

MarkerEditor::Target MarkerEditor::press(Point p, int eqChannel, int currentBand, int crossoverChannel)
{
    ignoring = false;
    channel = eqChannel;
    band = currentBand;
    bandDrag = false;
    cornerDrag = false;
    last = p;
    for (int b = 0; b < MarkerState::bands; ++b) {
        const MarkerBox& box = markers.band(channel, b).box;
        if (hit(box, eqOrigin, p)) {
            band = b;
            bandDrag = true;
            last = centreOf(box, eqOrigin);
            return Target::Band;
        }
    }
    for (int s : {MarkerState::highPass, MarkerState::lowPass}) {
        const MarkerBox& box = markers.corner(crossoverChannel, s).box;
        if (hit(box, crossoverOrigin, p)) {
            side = s;
            cornerDrag = true;
            last = centreOf(box, crossoverOrigin);
            return Target::Corner;
        }
    }
    return Target::None;
}

MarkerEditor::Target MarkerEditor::move(Point p, bool allowed, int bandType, int crossoverChannel)
{
    if (ignoring || !allowed)
        return Target::None;
    const int dx = p.x - last.x;
    const int dy = p.y - last.y;
    if (bandDrag) {
        const EqPlotRect& plot = markers.eqPlot();
        const int x = p.x - eqOrigin.x;
        const int y = p.y - eqOrigin.y;
        if (x < plot.x0 || x > plot.x1 + 1 || y < plot.y1 || y > plot.y0)
            return Target::None;
        BandMarker& marker = markers.band(channel, band);
        marker.box = {marker.box.left + dx, marker.box.top + dy, marker.box.right + dx, marker.box.bottom + dy};
        marker.offsetX = static_cast<float>(x - plot.x0);
        if (hasGain(bandType))
            marker.offsetY = static_cast<float>(y - plot.zeroDbY());
        else
            markers.putBandOnZeroLine(channel, band);
        last = p;
        return Target::Band;
    }
    if (cornerDrag) {
        const CrossoverPlotRect& plot = markers.crossoverPlot();
        const int x = p.x - crossoverOrigin.x;
        const int y = p.y - crossoverOrigin.y;
        if (x < plot.x0 || x > plot.x1 + 1 || y < plot.y1 || y > plot.y0)
            return Target::None;
        CrossoverMarker& marker = markers.corner(crossoverChannel, side);
        const double zero = plot.zeroDbY();
        marker.box = {marker.box.left + dx, static_cast<int>(std::trunc(zero - MarkerState::halfSize)),
                      marker.box.right + dx, static_cast<int>(std::trunc(zero + MarkerState::halfSize))};
        marker.centreX = static_cast<float>(x);
        last = p;
        return Target::Corner;
    }
    return Target::None;
}
