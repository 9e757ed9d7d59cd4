#pragma once
// What the measurement window shows, drawn on any surface: the two-line status text and,
// from one sample on, the impedance and phase charts side by side. The window and the
// command line's plot both draw through this, so they look the same.

#include "ChartMapping.h"
#include "graph/GdiTypes.h"

class CDC;
struct Readings;
struct SampleStore;

// The samples both charts are drawn from: count entries of each array (time in minutes,
// impedance in ohm, phase in degrees). The arrays belong to the caller: a live run's sample
// store, or the rows of a recorded run, which has no upper limit.
struct SampleSeries {
    const double* timeMinutes = nullptr;
    const double* impedance = nullptr;
    const double* phase = nullptr;
    int count = 0;
};
SampleSeries SeriesOf(const SampleStore& store);

// One chart's ranges: automatic (from the data) unless fixed, then drawn over
// xMin..xMax × yMin..yMax with every segment clipped to them. In plotted units: log10 ohm
// on a logarithmic impedance axis. The axes still widen a fixed range to an end tick that
// lies within about half a step of its end.
struct ChartRanges {
    bool fixed = false;
    double xMin = 0.0;
    double xMax = 1.0;
    double yMin = 0.0;
    double yMax = 1.0;
};

// How the two charts are looked at. The default is the automatic view.
struct ChartViews {
    ChartRanges impedance;
    ChartRanges phase;
    // The impedance chart plots log10 of the impedance, titled "log10(Impedance)". A
    // non-positive impedance has no logarithm: its point is left out and the line resumes at
    // the next point, as for any value that is not finite.
    bool logImpedance = false;
};

// Chart rectangles within the client rectangle: 45 pixels down, split at the middle with a
// 10-pixel gap. Passed on unchecked: a tiny client area gives empty or inverted rectangles,
// which the chart engine refuses to draw into.
struct ChartLayout {
    CRect impedance;
    CRect phase;
};
ChartLayout LayoutCharts(const CRect& client);

// Draws the status text from the top-left corner of client in the surface's current font
// and colours, then the two charts when samples holds at least one sample. When drawn is
// given, it receives how each chart came out (not drawn without samples).
void PaintMeasurement(CDC* pDC, const CRect& client, const Readings& readings,
                      const SampleSeries& samples, const ChartViews& views = {},
                      ChartMappings* drawn = nullptr);
