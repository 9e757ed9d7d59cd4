// varkel --plot: a data file's charts as a PNG image, without any display.

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <clocale>
#include <iostream>
#include <memory>

#include "CliModes.h"
#include "PlotData.h"
#include "PlotImage.h"
#include "QtMessages.h"
#include "app/CommandLine.h"
#include "measure/DataFileReader.h"
#include "measure/MeasurementState.h"
#include "measure/SampleStore.h"

int RunPlot(int argc, char** argv, const CommandLine& line) {
    const DataFileContents contents = ReadDataFile(line.plotFile);
    if (!contents.ok) {
        std::cerr << line.plotFile << ": " << contents.error << std::endl;
        return 1;
    }

    // Text needs a font system, which needs a platform; none of it needs a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    FilterQtMessages();
    QGuiApplication app(argc, argv);
    // Qt sets the locale from the environment; numbers stay in the "C" form.
    std::setlocale(LC_NUMERIC, "C");
    Readings readings;
    auto store = std::make_unique<SampleStore>();
    const std::size_t left = FillFromRows(contents.rows, readings, *store);
    if (left > 0) {
        std::cerr << line.plotFile << " holds " << contents.rows.size() << " readings; the charts show the first "
                  << SampleStore::kCapacity << ", as many as the window keeps." << std::endl;
    }

    const QImage image = PaintMeasurementImage(line.width, line.height, readings, *store);
    if (image.isNull()) {
        std::cerr << "Can't make an image of " << line.width << " x " << line.height
                  << " pixels: not enough memory." << std::endl;
        return 1;
    }
    QImageWriter writer(QString::fromStdString(line.pngFile), "png");
    if (!writer.write(image)) {
        std::cerr << "Can't write image " << line.pngFile << ": "
                  << writer.errorString().toStdString() << std::endl;
        return 1;
    }
    return 0;
}
