#include "CommandLine.h"

#include <charconv>
#include <map>

#include "VarkelVersion.h"
#include "measure/IntervalInput.h"

namespace {
constexpr int kMaxImageSide = 16384;
constexpr std::int64_t kMaxReadings = std::int64_t{1} << 40;

// The modes an option has an effect in, as bits.
enum ModeBit : unsigned {
    kWindow = 1u << 0,
    kRecord = 1u << 1,
    kPlot = 1u << 2,
    kListPorts = 1u << 3,
    kPortMapping = kWindow | kRecord | kListPorts,
};

struct OptionSpec {
    const char* name;
    bool takesValue;
    unsigned modes;
};

constexpr OptionSpec kOptions[] = {
    {"--simulate", false, kPortMapping},
    {"--com1", true, kPortMapping},
    {"--com2", true, kPortMapping},
    {"--com3", true, kPortMapping},
    {"--com4", true, kPortMapping},
    {"--record", true, kRecord},
    {"--port", true, kRecord},
    {"--interval", true, kRecord},
    {"--readings", true, kRecord},
    {"--overwrite", false, kRecord},
    {"--plot", true, kPlot},
    {"--png", true, kPlot},
    {"--size", true, kPlot},
    {"--list-ports", false, kListPorts},
};

// The options that choose a mode other than the window, with how the help names them.
struct ModeOption {
    const char* name;
    unsigned mode;
    const char* usage;
};
constexpr ModeOption kModeOptions[] = {
    {"--record", kRecord, "--record FILE"},
    {"--plot", kPlot, "--plot DATAFILE"},
    {"--list-ports", kListPorts, "--list-ports"},
};

const OptionSpec* FindOption(const std::string& name) {
    for (const OptionSpec& known : kOptions) {
        if (name == known.name) return &known;
    }
    return nullptr;
}

const char* UsageOf(unsigned mode) {
    for (const ModeOption& option : kModeOptions) {
        if (option.mode == mode) return option.usage;
    }
    return "the window";
}

bool ParseCount(const std::string& text, std::int64_t limit, std::int64_t* value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    std::int64_t parsed = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, parsed);
    if (result.ec != std::errc() || result.ptr != end) return false;
    if (parsed < 1 || parsed > limit) return false;
    *value = parsed;
    return true;
}

bool ParseSize(const std::string& text, int* width, int* height) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    std::int64_t w = 0;
    std::int64_t h = 0;
    if (!ParseCount(text.substr(0, x), kMaxImageSide, &w) ||
        !ParseCount(text.substr(x + 1), kMaxImageSide, &h)) {
        return false;
    }
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

// Qt's own options for the window (QApplication takes them out of argv itself).
bool IsToolkitOption(const std::string& arg, bool* takesValue) {
    static const char* const kWithValue[] = {
        "-platform",   "-style",         "-display",      "-geometry",    "-qwindowgeometry",
        "-stylesheet", "-platformtheme", "-qwindowtitle", "-qwindowicon", "-session"};
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

// Why the option known has no place in mode.
std::string Misplaced(const OptionSpec& known, unsigned mode) {
    const std::string name = known.name;
    if (known.modes == kPortMapping) {
        return name + " maps a port; " + UsageOf(mode) + " uses none.";
    }
    std::string text = name + " goes with " + UsageOf(known.modes);
    if (mode != kWindow) text += std::string(", not with ") + UsageOf(mode);
    return text + "; see --help.";
}
}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    // Each option given, in order, with its value ("" for a flag).
    std::vector<std::pair<const OptionSpec*, std::string>> given;
    std::map<std::string, std::string> values;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (arg == "--help" || arg == "-h") {
            line.mode = CommandLine::Mode::Help;
            return line;
        }
        if (arg == "--version") {
            line.mode = CommandLine::Mode::Version;
            return line;
        }
        if (bool takesValue = false; IsToolkitOption(arg, &takesValue)) {
            if (takesValue) ++i;
            continue;
        }
        if (arg.rfind("-", 0) != 0 || arg == "-") {
            if (!line.documentFile.empty())
                return Fail("Only one document file can be named: " + arg);
            line.documentFile = arg;
            continue;
        }

        std::string value;
        bool inlineValue = false;
        if (const std::size_t eq = arg.find('=');
            arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            inlineValue = true;
        }
        const OptionSpec* known = FindOption(arg);
        if (!known) return Fail("Unknown option " + arg + "; see --help.");
        if (values.count(arg)) return Fail(arg + " is given twice; give it once.");
        if (!known->takesValue && inlineValue) return Fail(arg + " takes no value; see --help.");
        if (known->takesValue && inlineValue && value.empty())
            return Fail(arg + " needs a value; see --help.");
        if (known->takesValue && !inlineValue) {
            // An option right after another that wants a value means the value was left out.
            if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0) {
                return Fail(arg + " needs a value; see --help.");
            }
            value = args[++i];
        }
        values[arg] = value;
        given.emplace_back(known, value);
    }

    unsigned mode = kWindow;
    const char* modeOption = nullptr;
    for (const auto& [known, value] : given) {
        for (const ModeOption& option : kModeOptions) {
            if (std::string(known->name) != option.name) continue;
            if (modeOption) {
                return Fail(std::string(modeOption) + " and " + option.name +
                            " cannot be used together.");
            }
            modeOption = option.name;
            mode = option.mode;
        }
    }
    for (const auto& [known, value] : given) {
        if (!(known->modes & mode)) return Fail(Misplaced(*known, mode));
    }
    if (mode != kWindow && !line.documentFile.empty()) {
        return Fail("Unexpected argument " + line.documentFile + "; see --help.");
    }

    auto has = [&](const char* name) { return values.count(name) > 0; };
    line.simulate = has("--simulate");
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        const std::string name = "--com" + std::to_string(n);
        if (has(name.c_str())) line.comDevices[n - 1] = values[name];
    }

    switch (mode) {
        case kRecord: {
            line.mode = CommandLine::Mode::Record;
            line.recordFile = values["--record"];
            if (!has("--port")) return Fail("--record needs --port COM1..COM4, a device or sim.");
            line.port = values["--port"];
            if (!has("--interval")) return Fail("--record needs --interval S (2 to 600 seconds).");
            const IntervalCheck check = CheckIntervalText(values["--interval"]);
            if (!check.ok) return Fail(check.message);
            line.interval = check.value;
            if (has("--readings") &&
                !ParseCount(values["--readings"], kMaxReadings, &line.readings)) {
                return Fail("--readings needs a whole number of readings, 1 to " +
                            std::to_string(kMaxReadings) + ".");
            }
            line.overwrite = has("--overwrite");
            break;
        }
        case kPlot:
            line.mode = CommandLine::Mode::Plot;
            line.plotFile = values["--plot"];
            if (!has("--png")) return Fail("--plot needs --png OUT.png.");
            line.pngFile = values["--png"];
            if (has("--size") && !ParseSize(values["--size"], &line.width, &line.height)) {
                return Fail("--size needs WIDTHxHEIGHT in pixels, each 1 to " +
                            std::to_string(kMaxImageSide) + ", like 1200x800.");
            }
            break;
        case kListPorts: line.mode = CommandLine::Mode::ListPorts; break;
        default: break;
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
           "  " +
           p +
           " [FILE]                 the window, showing the recorded run in data file FILE\n"
           "  " +
           p +
           " --simulate             the window, every port served by the simulated amplifier\n"
           "  " +
           p +
           " --record FILE --port PORT --interval S [--readings N] [--overwrite]\n"
           "                                 record without a window: one status line per "
           "reading;\n"
           "                                 Ctrl+C or SIGTERM stops cleanly. A FILE that already\n"
           "                                 holds data is refused unless --overwrite is given.\n"
           "                                 Beside FILE the run writes its record, FILE.json.\n"
           "  " +
           p +
           " --plot DATAFILE --png OUT.png [--size WxH]\n"
           "                                 draw the two charts of a data file into an image\n"
           "                                 (default 1200x800)\n"
           "  " +
           p +
           " --list-ports           list the serial devices found and the COMn each serves\n"
           "  " +
           p +
           " -h | --help            this text\n"
           "  " +
           p +
           " --version              the program's version\n"
           "\n"
           "Ports:\n"
           "  The Setup dialog offers COM1 to COM4. On Windows they are the system's COMn;\n"
           "  elsewhere COM1 is /dev/ttyS0, COM2 /dev/ttyS1, COM3 /dev/ttyS2, COM4 /dev/ttyS3.\n"
           "  --com1 DEVICE .. --com4 DEVICE   serve that choice by another device, for example\n"
           "                                   --com2 /dev/ttyUSB0; DEVICE sim is the built-in\n"
           "                                   simulated amplifier\n"
           "  --simulate                       serve all four by the simulated amplifier\n"
           "  With --record, PORT is COM1..COM4 (mapped as above), a device path, or sim.\n"
           "  The mapping options work with the window, --record and --list-ports.\n"
           "\n"
           "Data file: one line per reading, seven numbers: elapsed time [s], voltage [V],\n"
           "voltage phase, current [A], current phase, impedance [Ohm], impedance phase.\n"
           "\n"
           "Exit status: 0 done; 1 the data file could not be created or written, or the port\n"
           "could not be opened; 2 a command-line error, a refused overwrite, or no display for\n"
           "the window; 3 (--record) the run ended while the device was gone after a dropout.\n"
           "See man varkel for more.\n";
}

PortMap PortMapFor(const CommandLine& line) {
    PortMap ports;
    if (line.simulate) ports.SimulateAll();
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        if (!line.comDevices[n - 1].empty()) ports.SetDevice(n, line.comDevices[n - 1]);
    }
    return ports;
}

std::string VersionText() { return std::string("Varkel ") + kVarkelVersion + "\n"; }
