#pragma once
// The measurement view painted into an image: what the window blits from its back buffer
// and what the command line's plot saves.

#include "MeasurementPainter.h"

class QImage;
struct Readings;

// Erases image white and paints the status text and the charts over its whole area, as the
// window does for a client area of that size; drawn as for PaintMeasurement.
void RenderMeasurement(QImage& image, const Readings& readings, const SampleSeries& samples,
                       const ChartViews& views = {}, ChartMappings* drawn = nullptr);
