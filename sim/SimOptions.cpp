#include "SimOptions.h"

#include <charconv>
#include <limits>
#include <type_traits>

namespace {
template <typename Number>
bool ParseCount(const std::string& text, Number max, Number* value) {
    Number parsed{};
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, parsed);
    if (result.ec != std::errc() || result.ptr != end || parsed > max) return false;
    if constexpr (std::is_signed_v<Number>) {
        if (parsed < 0) return false;
    }
    *value = parsed;
    return true;
}
}  // namespace

SimOptionsResult ParseSimOptions(const std::vector<std::string>& args) {
    SimOptionsResult result;
    SimOptions& options = result.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        const bool takesValue = arg == "--fault" || arg == "--fault-after" || arg == "--delay-ms" ||
                                arg == "--seed" || arg == "--log" || arg == "--link" ||
                                arg == "--line-end";
        if (!takesValue) {
            result.error = "unknown option " + arg;
            return result;
        }
        if (i + 1 == args.size()) {
            result.error = arg + " needs a value";
            return result;
        }
        const std::string& value = args[++i];
        bool ok = true;
        if (arg == "--fault") {
            const auto mode = FaultModeFromName(value);
            ok = mode.has_value();
            if (ok) options.fault.mode = *mode;
        } else if (arg == "--fault-after") {
            ok = ParseCount(value, std::numeric_limits<int>::max(), &options.fault.afterReadings);
        } else if (arg == "--delay-ms") {
            ok = ParseCount(value, 3'600'000, &options.fault.delayMs);
        } else if (arg == "--seed") {
            ok = ParseCount(value, std::numeric_limits<std::uint64_t>::max(), &options.seed);
        } else if (arg == "--line-end") {
            ok = value == "cr" || value == "lf" || value == "crlf";
            if (ok) options.lineEnd = value == "cr" ? "\r" : value == "lf" ? "\n" : "\r\n";
        } else if (arg == "--link") {
            ok = !value.empty();
            options.linkPath = value;
        } else {
            ok = !value.empty();
            options.logPath = value;
        }
        if (!ok) {
            result.error = "bad value for " + arg + ": \"" + value + "\"";
            return result;
        }
    }
    return result;
}

std::string SimUsage(const char* program) {
    return std::string("Usage: ") + program +
           " [--fault MODE] [--fault-after N] [--delay-ms M] [--seed S] [--log FILE]\n"
           "       [--line-end cr|lf|crlf] [--link PATH]\n"
           "\n"
           "Serves a simulated lock-in amplifier on a new pseudo-terminal. The first line\n"
           "printed is the terminal's device path; open it at 19,200 bit/s, 8N2. Commands:\n"
           "\"OUTP ? 3\\r\" (amplitude), \"OUTP ? 4\\r\" (phase), \"LOCL 1\\r\", \"LOCL 0\\r\".\n"
           "The channel starts on the voltage and switches after every \"OUTP ? 4\";\n"
           "\"LOCL 1\" puts it back on the voltage. Runs until SIGTERM or SIGINT.\n"
           "SIGUSR1 unplugs the amplifier (the terminal hangs up and goes away), SIGUSR2\n"
           "plugs it in again on a new terminal.\n"
           "\n"
           "  --fault MODE       none, silent, garbage, nan, inf, overlong, slow, hangup,\n"
           "                     trickle\n"
           "  --fault-after N    answer N readings well before the fault starts (default 0);\n"
           "                     hangup: the device vanishes after N readings\n"
           "  --delay-ms M       reply delay of the slow fault, or the gap between the bytes\n"
           "                     of the trickle fault (default 250), milliseconds\n"
           "  --line-end END     end replies with cr (the default), lf or crlf\n"
           "  --seed S           seed of the measurement noise (default 1)\n"
           "  --log FILE         append every byte received and every reply to FILE\n"
           "  --link PATH        keep a symbolic link PATH to the terminal served now, and\n"
           "                     print PATH instead of the terminal: the same device path\n"
           "                     after every unplug and plug-in\n"
           "  --help             this text\n";
}
