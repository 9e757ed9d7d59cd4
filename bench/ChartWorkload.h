#pragma once
// The measurement window's paint, reproduced for benchmarks and tests: status text, then the
// impedance and phase charts side by side, each one series of style 10 over all samples.

#include "graph/GdiTypes.h"

#include <vector>

class CDC;

// Samples as the sample store holds them: time in minutes (increasing), impedance in ohm,
// phase in degrees.
struct ChartSamples {
    std::vector<double> timeMinutes;
    std::vector<double> impedance;
    std::vector<double> phase;
};

// n samples, one every 2 s: impedance about 1e5 ohm drifting slowly by a few percent with
// +-1 % noise, phase about -30 degrees with +-0.5 degree noise; the same for every call
// with the same n (fixed seed).
ChartSamples MakeChartSamples(int n);

// Paints what the view paints on a client area of width x height: the two-line status text
// with DrawText format 0 at the top-left, then, when there are samples, the two charts laid
// out below it. The caller erases the background first.
void PaintChartWindow(CDC& dc, const ChartSamples& samples, int width, int height);
