#pragma once
// What the measurement window shows, drawn on any surface: the two-line status text and,
// from one sample on, the impedance and phase charts side by side. The window and the
// command line's plot both draw through this, so they look the same.

#include "graph/GdiTypes.h"

class CDC;
struct Readings;
struct SampleStore;

// Chart rectangles within the client rectangle: 45 pixels down, split at the middle with a
// 10-pixel gap. Passed on unchecked: a tiny client area gives empty or inverted rectangles,
// which the chart engine refuses to draw into.
struct ChartLayout {
    CRect impedance;
    CRect phase;
};
ChartLayout LayoutCharts(const CRect& client);

// Draws the status text from the top-left corner of client in the surface's current font
// and colours, then the two charts when store holds at least one sample.
void PaintMeasurement(CDC* pDC, const CRect& client, const Readings& readings,
                      const SampleStore& store);
