// varkel-sim: the simulated lock-in amplifier on a pseudo-terminal, for trying the
// program and for tests that need a real tty. Prints the device path as its first line.

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "PseudoTerminal.h"
#include "PtyServer.h"
#include "SimOptions.h"
#include "SimulatedAmplifier.h"
#include "WireLog.h"

namespace {
int g_stopWrite = -1;

// Async-signal-safe: only write(2) into the stop pipe the server polls.
void RequestStop(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(g_stopWrite, &byte, 1);
}

bool InstallStopHandlers(int* stopRead) {
    int fds[2];
    if (::pipe(fds) != 0) return false;
    for (const int fd : fds) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
    g_stopWrite = fds[1];
    *stopRead = fds[0];
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}
}  // namespace

int main(int argc, char** argv) {
    const SimOptionsResult parsed = ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "varkel-sim: %s\n\n%s", parsed.error.c_str(), SimUsage(argv[0]).c_str());
        return 2;
    }
    const SimOptions& options = parsed.options;
    if (options.help) {
        std::fputs(SimUsage(argv[0]).c_str(), stdout);
        return 0;
    }

    WireLog log;
    if (!options.logPath.empty() && !log.Open(options.logPath)) {
        std::perror(("varkel-sim: " + options.logPath).c_str());
        return 1;
    }
    int stopRead = -1;
    if (!InstallStopHandlers(&stopRead)) {
        std::perror("varkel-sim: signal handlers");
        return 1;
    }
    PseudoTerminal terminal;
    if (!terminal.Open()) {
        std::fprintf(stderr, "varkel-sim: cannot create a pseudo-terminal: %s\n", terminal.Error().c_str());
        return 1;
    }
    std::printf("%s\n", terminal.SlavePath().c_str());
    std::fflush(stdout);

    SimulatedAmplifier amplifier(SampleModel({}, options.seed), SelectorDrive::ReadingOrder, options.fault);
    PtyServer server(terminal, amplifier, log.IsOpen() ? &log : nullptr, stopRead);
    return server.Run();
}
