#pragma once
// The program's command line: the window (optionally naming a document), a headless
// recording, a plot of a data file into an image, the list of serial devices, help and
// version. Plain C++ so it can be tested without a display.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "measure/PortMap.h"

struct CommandLine {
    enum class Mode { Window, Record, Plot, ListPorts, Help, Version, Error };
    Mode mode = Mode::Window;
    std::string error;  // for Mode::Error: what was wrong, for a person

    // Port mapping (window, --record, --list-ports): devices for COM1 .. COM4 (empty keeps
    // the default), or all simulated.
    std::array<std::string, 4> comDevices;
    bool simulate = false;

    // Window: a file named on the command line becomes the document's title.
    std::string documentFile;

    // Record: --record FILE --port PORT --interval S [--readings N] [--overwrite]
    std::string recordFile;
    std::string port;           // COM1..COM4, a device path, or "sim"
    int interval = 0;           // seconds, 2 .. 600
    std::int64_t readings = 0;  // stop after this many readings; 0 runs until stopped
    bool overwrite = false;     // a data file that already holds data may be replaced

    // Plot: --plot DATAFILE --png OUT.png [--size WxH]
    std::string plotFile;
    std::string pngFile;
    int width = 1200;
    int height = 800;
};

// args excludes the program name. Every option belongs to the modes it has an effect in;
// one given to another mode, given twice, or given a value it does not take is an error
// that names it.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// COM1 .. COM4 as the options map them: --simulate first, then each --comN.
PortMap PortMapFor(const CommandLine& line);

std::string HelpText(const std::string& programName);
std::string VersionText();
