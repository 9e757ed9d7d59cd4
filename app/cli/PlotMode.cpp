// varkel --plot: a data file's charts as a PNG image, without any display.

#include <QGuiApplication>
#include <clocale>
#include <iostream>

#include "CliModes.h"
#include "PlotData.h"
#include "QtMessages.h"
#include "app/CommandLine.h"
#include "view/RecordedRun.h"

int RunPlot(int argc, char** argv, const CommandLine& line) {
    const std::shared_ptr<const RecordedRun> run = ReadPlotData(line.plotFile, std::cerr);
    if (!run) return 1;

    // Text needs a font system, which needs a platform; none of it needs a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    FilterQtMessages();
    QGuiApplication app(argc, argv);
    // Qt sets the locale from the environment; numbers stay in the "C" form.
    std::setlocale(LC_NUMERIC, "C");
    return WritePlotImage(*run, line, std::cerr);
}
