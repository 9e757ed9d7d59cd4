#pragma once
// Zooming and panning the two charts: new fixed ranges from a pointer position and the way
// the charts were last drawn. Time is shared: zooming or panning it moves both charts alike;
// the value axis belongs to the chart under the pointer. Plain C++.
//
// The ranges asked for are kept apart from the ranges drawn (the axes widen a range to an
// end tick near its ends), so repeated zooms follow what was asked, while every pointer
// position is read through the drawing the user sees.

#include "ChartMapping.h"
#include "MeasurementPainter.h"

enum class ChartId { None, Impedance, Phase };

// The chart whose plot frame holds the pixel, or None.
ChartId ChartAt(const ChartMappings& drawn, int x, int y);
// chart must be Impedance or Phase.
const ChartMapping& MappingOf(const ChartMappings& drawn, ChartId chart);
ChartRanges& RangesOf(ChartViews& views, ChartId chart);

// Whether any chart is zoomed or panned (fixed ranges).
bool IsZoomed(const ChartViews& views);

// views with both charts fixed: a chart in automatic mode takes the ranges it was drawn
// with, so a zoom starts from the picture on the screen and samples that arrive later do
// not move it. Unchanged when a chart was not drawn.
ChartViews Frozen(const ChartViews& views, const ChartMappings& drawn);

// Zooms the time axis of both charts by factor (below 1 zooms in) around the time under
// pixel column px of chart; that time stays where it is.
ChartViews ZoomTime(const ChartViews& views, const ChartMappings& drawn, ChartId chart, int px,
                    double factor);
// Zooms chart's value axis by factor around the value under pixel row py.
ChartViews ZoomValue(const ChartViews& views, const ChartMappings& drawn, ChartId chart, int py,
                     double factor);
// The view after dragging chart by (dx, dy) pixels (right, down) from where the drag began:
// the data follow the pointer. atPress and drawnAtPress are the view and the drawing when
// the button went down.
ChartViews Pan(const ChartViews& atPress, const ChartMappings& drawnAtPress, ChartId chart, int dx,
               int dy);

// views with the impedance axis logarithmic (on) or linear. A fixed impedance value range
// is carried over into the new units; where it holds no positive value to take the
// logarithm of, it becomes the range of the positive impedances in samples.
ChartViews WithLogImpedance(const ChartViews& views, bool on, const SampleSeries& samples);

// The zoom factor of a wheel turn: 0.8 per notch (120 eighths of a degree) turned away from
// the user, which zooms in, 1 / 0.8 per notch towards the user.
double WheelZoomFactor(int angleDelta);
