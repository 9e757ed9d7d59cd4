#include "PlotImage.h"

#include <QImage>

#include "view/MeasurementImage.h"

QImage PaintMeasurementImage(int width, int height, const Readings& readings,
                             const SampleSeries& samples) {
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return image;
    RenderMeasurement(image, readings, samples);
    return image;
}
