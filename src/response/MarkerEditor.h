#pragma once

#include "response/MarkerState.h"

// Picking and dragging the graph markers with the mouse. Positions are in
// window coordinates; the areas' origins translate them into graph
// coordinates. The editor only moves markers: it tells what moved, and the
// window reads the new values from the marker state and sends them.
class MarkerEditor {
public:
    struct Point {
        int x = 0;
        int y = 0;
        friend bool operator==(const Point&, const Point&) = default;
    };
    enum class Target { None, Band, Corner };

    explicit MarkerEditor(MarkerState& markers);

    // The top-left corners of the two graph areas in window coordinates.
    void setAreaOrigins(Point eq, Point crossover);

    // A left-button press: the first band of the EQ channel whose box holds
    // the point wins, then the high-pass and the low-pass corner of the
    // crossover channel. A hit arms that drag and puts the last position on
    // the box centre, so from the first move on the centre follows the
    // pointer; a miss disarms and keeps the current band. Clears "ignore
    // moves".
    Target press(Point p, int eqChannel, int currentBand, int crossoverChannel);

    // A move with the button held. `allowed` is the gate the window decides
    // (left button alone, no bypass, a band type other than "ByPass").
    // Points outside the armed graph's plot (the right edge one pixel wider)
    // change nothing, not even the last position. A band without a gain of
    // its own stays on the 0 dB line and keeps its vertical offset.
    Target move(Point p, bool allowed, int bandType, int crossoverChannel);

    // After a preset file is loaded, moves do nothing until the next press.
    void ignoreMovesUntilPress() { ignoring = true; }
    bool ignoresMoves() const { return ignoring; }

    int eqChannel() const { return channel; }
    int currentBand() const { return band; }
    int crossoverSide() const { return side; }
    bool bandArmed() const { return bandDrag; }
    bool cornerArmed() const { return cornerDrag; }
    Point lastPosition() const { return last; }

private:
    bool hit(const MarkerBox& box, Point origin, Point p) const;
    Point centreOf(const MarkerBox& box, Point origin) const;

    MarkerState& markers;
    Point eqOrigin;
    Point crossoverOrigin;
    int channel = 0;
    int band = 0;
    int side = MarkerState::highPass;
    bool bandDrag = false;
    bool cornerDrag = false;
    bool ignoring = false;
    Point last;
};
