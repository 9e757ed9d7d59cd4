#pragma once
// What the measurement window shows, painted into an image instead of a window.

#include "view/MeasurementPainter.h"

class QImage;
struct Readings;

// A width × height image, white, with the status text and the two charts painted exactly
// as the window paints them at that client size. A null image when one that large cannot
// be allocated.
QImage PaintMeasurementImage(int width, int height, const Readings& readings,
                             const SampleSeries& samples);
