#pragma once

#include "response/GraphPainting.h"

#include <QRect>

#include <string>
#include <vector>

// What keeps a graph's labels from being read whole: a label leaving the
// area, touching the plot frame (a line framePx wide on each edge of
// `plot`, with a pixel of background to spare) or running into another.
// The "HP" and "LP" labels ride on their markers and are left out.
inline std::vector<std::string> graphLabelFaults(const std::vector<GraphLabel>& labels, const QRect& area, const QRect& plot,
                                                 int framePx)
{
    // A line w pixels wide on c covers c - w/2 to c + (w - 1)/2.
    const int before = framePx / 2 + 1;
    const int after = (framePx - 1) / 2 + 1;
    const QRect& p = plot;
    const QRect frame[] = {QRect(QPoint(p.left() - before, p.top()), QPoint(p.left() + after, p.bottom())),
                           QRect(QPoint(p.right() - before, p.top()), QPoint(p.right() + after, p.bottom())),
                           QRect(QPoint(p.left(), p.top() - before), QPoint(p.right(), p.top() + after)),
                           QRect(QPoint(p.left(), p.bottom() - before), QPoint(p.right(), p.bottom() + after))};
    std::vector<const GraphLabel*> fixed;
    for (const GraphLabel& label : labels) {
        if (label.text != QStringLiteral("HP") && label.text != QStringLiteral("LP"))
            fixed.push_back(&label);
    }
    std::vector<std::string> faults;
    for (std::size_t i = 0; i < fixed.size(); ++i) {
        const GraphLabel& label = *fixed[i];
        const std::string name = '"' + label.text.toStdString() + '"';
        if (!area.contains(label.ink))
            faults.push_back(name + " leaves the area");
        for (const QRect& line : frame) {
            if (label.ink.intersects(line))
                faults.push_back(name + " touches the plot frame");
        }
        for (std::size_t j = i + 1; j < fixed.size(); ++j) {
            if (label.ink.intersects(fixed[j]->ink))
                faults.push_back(name + " runs into \"" + fixed[j]->text.toStdString() + '"');
        }
    }
    return faults;
}
