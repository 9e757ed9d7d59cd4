#include "PlotImage.h"

#include <QImage>

#include "platform/ImageDC.h"
#include "view/MeasurementPainter.h"

QImage PaintMeasurementImage(int width, int height, const Readings& readings,
                             const SampleStore& store) {
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return image;
    CImageDC dc(image);
    dc.EraseBackground(RGB(255, 255, 255));
    PaintMeasurement(&dc, CRect(0, 0, width, height), readings, store);
    dc.Flush();
    return image;
}
