#include "PlotData.h"

#include <QImage>
#include <QImageWriter>
#include <QString>
#include <ostream>

#include "PlotImage.h"
#include "app/CommandLine.h"
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
    QImageWriter writer(QString::fromStdString(line.pngFile), "png");
    if (!writer.write(image)) {
        err << "Can't write image " << line.pngFile << ": " << writer.errorString().toStdString()
            << std::endl;
        return 1;
    }
    return 0;
}
