#include "DisplayCheck.h"

#include <algorithm>

namespace {
#if defined(_WIN32) || defined(__APPLE__)
constexpr bool kNeedsDisplayVariable = false;
#else
constexpr bool kNeedsDisplayVariable = true;
#endif
}  // namespace

bool LacksDisplay(const EnvironmentReader& environment, const std::vector<std::string>& args) {
    if (!kNeedsDisplayVariable) return false;
    if (!environment("QT_QPA_PLATFORM").empty()) return false;
    for (const char* option : {"-platform", "-display"}) {
        if (std::find(args.begin(), args.end(), option) != args.end()) return false;
    }
    return environment("DISPLAY").empty() && environment("WAYLAND_DISPLAY").empty();
}

std::string NoDisplayReason() {
    return "there is no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)";
}

std::string NoDisplayText(const std::string& program, const std::string& reason) {
    const std::string& p = program;
    return p + ": " + reason +
           ".\n"
           "  Start it from a desktop session, or set DISPLAY (for example DISPLAY=:0) or\n"
           "  WAYLAND_DISPLAY to a display you may use.\n"
           "  Without a window:  " +
           p +
           " --record FILE --port PORT --interval S\n"
           "                     " +
           p +
           " --plot DATAFILE --png OUT.png\n"
           "  See " +
           p + " --help.\n";
}
