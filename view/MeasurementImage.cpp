#include "MeasurementImage.h"

#include <QImage>

#include "platform/ImageDC.h"

void RenderMeasurement(QImage& image, const Readings& readings, const SampleSeries& samples,
                       const ChartViews& views, ChartMappings* drawn) {
    CImageDC dc(image);
    // Through the surface, so it knows the image is white and skips the charts' own fills.
    dc.EraseBackground(RGB(255, 255, 255));
    PaintMeasurement(&dc, CRect{0, 0, image.width(), image.height()}, readings, samples, views,
                     drawn);
    dc.Flush();
}
