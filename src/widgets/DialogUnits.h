#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// Converts the dialog units that window layouts are given in to pixels: one
// horizontal unit is a quarter of the dialog font's average character width,
// one vertical unit an eighth of its character height, so that a layout keeps
// its proportions with every font and screen.
// A control's place in a layout given in dialog units.
struct DialogRect {
    int left, top, width, height;
};

class DialogUnits {
public:
    explicit DialogUnits(const QFont& dialogFont);
    DialogUnits(int baseWidth, int baseHeight) : baseX(baseWidth), baseY(baseHeight) {}

    int x(int units) const;
    int y(int units) const;
    QSize size(int width, int height) const { return {x(width), y(height)}; }
    QRect rect(int left, int top, int width, int height) const;
    QRect rect(const DialogRect& r) const { return rect(r.left, r.top, r.width, r.height); }

    int baseWidth() const { return baseX; }
    int baseHeight() const { return baseY; }

private:
    int baseX;
    int baseY;
};
