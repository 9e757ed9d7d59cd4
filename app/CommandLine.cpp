#include "CommandLine.h"

#include <cstdlib>

#include "measure/IntervalInput.h"

namespace {
constexpr int kMaxImageSide = 16384;

bool ParsePositive(const std::string& text, long limit, long* value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    if (text.size() > 18) return false;
    const long parsed = std::strtol(text.c_str(), nullptr, 10);
    if (parsed < 1 || parsed > limit) return false;
    *value = parsed;
    return true;
}

bool ParseSize(const std::string& text, int* width, int* height) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    long w = 0;
    long h = 0;
    if (!ParsePositive(text.substr(0, x), kMaxImageSide, &w) ||
        !ParsePositive(text.substr(x + 1), kMaxImageSide, &h)) {
        return false;
    }
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

// Qt's own options for the window (QApplication takes them out of argv itself).
bool IsToolkitOption(const std::string& arg, bool* takesValue) {
    static const char* const kWithValue[] = {"-platform", "-style", "-display", "-geometry",
                                             "-qwindowgeometry", "-stylesheet", "-platformtheme",
                                             "-qwindowtitle", "-qwindowicon", "-session"};
    static const char* const kFlags[] = {"-reverse", "-nograb", "-dograb", "-sync"};
    for (const char* option : kWithValue) {
        if (arg == option) return *takesValue = true;
    }
    for (const char* option : kFlags) {
        if (arg == option) {
            *takesValue = false;
            return true;
        }
    }
    return false;
}

CommandLine Fail(std::string message) {
    CommandLine line;
    line.mode = CommandLine::Mode::Error;
    line.error = std::move(message);
    return line;
}
}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool record = false;
    bool plot = false;
    std::string intervalText;
    bool haveInterval = false;
    std::string readingsText;
    std::string sizeText;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool inlineValue = false;
        if (arg.rfind("--", 0) == 0) {
            const std::size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                inlineValue = true;
            }
        }
        // Takes the option's value from "--opt=value" or the next argument.
        auto take = [&](std::string* out) -> bool {
            if (inlineValue) {
                *out = value;
                return true;
            }
            if (i + 1 >= args.size()) return false;
            *out = args[++i];
            return true;
        };
        auto missing = [&] { return Fail(arg + " needs a value; see --help."); };

        if (arg == "--help" || arg == "-h") {
            line.mode = CommandLine::Mode::Help;
            return line;
        }
        if (arg == "--version") {
            line.mode = CommandLine::Mode::Version;
            return line;
        }
        if (arg == "--simulate") {
            line.simulate = true;
        } else if (arg.size() == 6 && arg.rfind("--com", 0) == 0 && arg[5] >= '1' &&
                   arg[5] <= '4') {
            if (!take(&line.comDevices[arg[5] - '1'])) return missing();
        } else if (arg == "--record") {
            record = true;
            if (!take(&line.recordFile)) return missing();
        } else if (arg == "--port") {
            if (!take(&line.port)) return missing();
        } else if (arg == "--interval") {
            haveInterval = true;
            if (!take(&intervalText)) return missing();
        } else if (arg == "--readings") {
            if (!take(&readingsText)) return missing();
        } else if (arg == "--plot") {
            plot = true;
            if (!take(&line.plotFile)) return missing();
        } else if (arg == "--png") {
            if (!take(&line.pngFile)) return missing();
        } else if (arg == "--size") {
            if (!take(&sizeText)) return missing();
        } else if (bool takesValue = false; IsToolkitOption(arg, &takesValue)) {
            if (takesValue) ++i;
        } else if (arg.rfind("-", 0) == 0 && arg != "-") {
            return Fail("Unknown option " + arg + "; see --help.");
        } else if (line.documentFile.empty()) {
            line.documentFile = arg;
        } else {
            return Fail("Only one document file can be named: " + arg);
        }
    }

    if (record && plot) return Fail("--record and --plot cannot be used together.");
    if (record) {
        line.mode = CommandLine::Mode::Record;
        if (line.port.empty()) return Fail("--record needs --port COM1..COM4, a device or sim.");
        if (!haveInterval) return Fail("--record needs --interval S (2 to 600 seconds).");
        const IntervalCheck check = CheckIntervalText(intervalText);
        if (!check.ok) return Fail(check.message);
        line.interval = check.value;
        if (!readingsText.empty() && !ParsePositive(readingsText, 1L << 40, &line.readings)) {
            return Fail("--readings needs a whole number of readings, 1 or more.");
        }
    } else if (plot) {
        line.mode = CommandLine::Mode::Plot;
        if (line.pngFile.empty()) return Fail("--plot needs --png OUT.png.");
        if (!sizeText.empty() && !ParseSize(sizeText, &line.width, &line.height)) {
            return Fail("--size needs WIDTHxHEIGHT in pixels, each 1 to " +
                        std::to_string(kMaxImageSide) + ", like 1200x800.");
        }
    } else if (!line.port.empty() || haveInterval || !readingsText.empty()) {
        return Fail("--port, --interval and --readings go with --record FILE.");
    } else if (!line.pngFile.empty() || !sizeText.empty()) {
        return Fail("--png and --size go with --plot DATAFILE.");
    }
    if (line.mode != CommandLine::Mode::Window && !line.documentFile.empty()) {
        return Fail("Unexpected argument " + line.documentFile + "; see --help.");
    }
    return line;
}

std::string HelpText(const std::string& programName) {
    const std::string p = programName;
    return "Varkel Impedance meter: records a sample's impedance over time with a lock-in\n"
           "amplifier on a serial port, writes every reading to a text data file and shows\n"
           "two live charts.\n"
           "\n"
           "Usage:\n"
           "  " + p + " [FILE]                 the window, showing the recorded run in data file FILE\n"
           "  " + p + " --simulate             the window, every port served by the simulated amplifier\n"
           "  " + p + " --record FILE --port PORT --interval S [--readings N]\n"
           "                                 record without a window: one status line per reading;\n"
           "                                 Ctrl+C or SIGTERM stops cleanly\n"
           "  " + p + " --plot DATAFILE --png OUT.png [--size WxH]\n"
           "                                 draw the two charts of a data file into an image\n"
           "                                 (default 1200x800)\n"
           "  " + p + " --help | --version\n"
           "\n"
           "Ports:\n"
           "  The Setup dialog offers COM1 to COM4. On Windows they are the system's COMn;\n"
           "  elsewhere COM1 is /dev/ttyS0, COM2 /dev/ttyS1, COM3 /dev/ttyS2, COM4 /dev/ttyS3.\n"
           "  --com1 DEVICE .. --com4 DEVICE   serve that choice by another device, for example\n"
           "                                   --com2 /dev/ttyUSB0; DEVICE sim is the built-in\n"
           "                                   simulated amplifier\n"
           "  --simulate                       serve all four by the simulated amplifier\n"
           "  With --record, PORT is COM1..COM4 (mapped as above), a device path, or sim.\n"
           "\n"
           "Data file: one line per reading, seven numbers: elapsed time [s], voltage [V],\n"
           "voltage phase, current [A], current phase, impedance [Ohm], impedance phase.\n";
}

PortMap PortMapFor(const CommandLine& line) {
    PortMap ports;
    if (line.simulate) ports.SimulateAll();
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        if (!line.comDevices[n - 1].empty()) ports.SetDevice(n, line.comDevices[n - 1]);
    }
    return ports;
}

std::string VersionText() { return "Varkel 1.0.0.1\n"; }
