#include "PlotData.h"

#include <QImage>
#include <QString>
#include <ostream>

#include "PlotImage.h"
#include "app/CommandLine.h"
#include "platform/SafeFileWrite.h"
#include "view/RecordedRun.h"

std::shared_ptr<const RecordedRun> ReadPlotData(const std::string& path, std::ostream& err) {
    RecordedRunLoad load = LoadRecordedRun(path);
    if (!load.run) err << path << ": " << load.error << std::endl;
    return std::move(load.run);
}

int WritePlotImage(const RecordedRun& run, const CommandLine& line, std::ostream& err) {
    const QImage image = PaintMeasurementImage(line.width, line.height, run.last, SeriesOf(run));
    if (image.isNull()) {
        err << "Can't make an image of " << line.width << " x " << line.height
            << " pixels: not enough memory." << std::endl;
        return 1;
    }
    // Whole or not at all: a failed write leaves no half image behind.
    QString error;
    if (!WritePngSafely(image, QString::fromStdString(line.pngFile), &error)) {
        err << "Can't write image " << error.toStdString() << std::endl;
        return 1;
    }
    return 0;
}
