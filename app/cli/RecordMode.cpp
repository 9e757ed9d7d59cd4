// varkel --record: the Qt side of a recording without a window. Qt's serial port wants a
// QCoreApplication in the process; no event loop runs, the recording blocks on its own.

#include <QCoreApplication>
#include <clocale>
#include <iostream>

#include "CliModes.h"
#include "QtMessages.h"
#include "RecordTarget.h"
#include "Recording.h"
#include "StopRequest.h"
#include "app/CommandLine.h"
#include "app/ports/PortFactory.h"
#include "measure/Clock.h"

int RunRecord(const CommandLine& line) {
    const std::string refusal = RefuseRecordTarget(line.recordFile, line.overwrite);
    if (!refusal.empty()) {
        std::cerr << "varkel: " << refusal << std::endl;
        return 2;
    }
    // The clock counts from here, as the program's clock counts from its start.
    SteadyClock clock;
    int argc = 1;
    char name[] = "varkel";
    char* argv[] = {name, nullptr};
    FilterQtMessages();
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    InstallStopHandlers();

    const PortMap ports = PortMapFor(line);
    DefaultPortFactory factory;
    RecordRequest request;
    request.file = line.recordFile;
    request.port = line.port;
    request.interval = line.interval;
    request.readings = line.readings;
    return RunRecording(request, ports, factory, clock, std::cout, std::cerr, StopRequested);
}
