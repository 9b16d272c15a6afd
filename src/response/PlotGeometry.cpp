#include "response/PlotGeometry.h"

EqPlotRect eqPlotRect(int areaWidth, int areaHeight)
{
    EqPlotRect plot;
    plot.x0 = areaWidth / 15;
    plot.x1 = areaWidth - areaWidth / 15;
    plot.y1 = areaHeight / 13;
    plot.y0 = areaHeight - areaHeight / 13;
    plot.areaHeight = areaHeight;
    return plot;
}

CrossoverPlotRect crossoverPlotRect(int areaWidth, int areaHeight)
{
    CrossoverPlotRect plot;
    plot.x0 = areaWidth / 18;
    plot.x1 = areaWidth - areaWidth / 18;
    plot.y1 = areaHeight / 13;
    plot.y0 = areaHeight - areaHeight / 13;
    return plot;
}
