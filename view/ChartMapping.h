#pragma once
// How a chart came out when it was drawn: its ranges after the axes took in their end
// ticks, and the mapping between data and device pixels the chart engine used (CGraph's
// fields after Plot). The view turns pointer positions back into data with it. Plain C++.

#include "graph/GdiTypes.h"

struct ChartMapping {
    bool drawn = false;  // false: the chart was not drawn (no samples, too small); nothing maps
    double xMin = 0.0;   // ranges as drawn, in plotted units (log10 ohm on a logarithmic axis)
    double xMax = 1.0;
    double yMin = 0.0;
    double yMax = 1.0;
    double xFactor = 1.0;  // pixels per x unit
    double yFactor = 1.0;  // pixels per y unit, y growing upwards
    int originX = 0;       // pixel of xMin
    int originY = 0;       // pixel of yMin
    CRect plot;            // the plot's frame, device pixels, edges included

    // The data value at a pixel; the inverse of the engine's MapX/MapY up to its truncation.
    double DataX(double px) const { return xMin + (px - originX) / xFactor; }
    double DataY(double py) const { return yMin + (originY - py) / yFactor; }
    // Whether a pixel lies on or inside the frame of a drawn chart.
    bool Contains(int x, int y) const {
        return drawn && plot.left <= x && x <= plot.right && plot.top <= y && y <= plot.bottom;
    }
};

struct ChartMappings {
    ChartMapping impedance;
    ChartMapping phase;
};
