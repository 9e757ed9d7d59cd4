// varkel-sim: the simulated lock-in amplifier on a pseudo-terminal, for trying the
// program and for tests that need a real tty. Prints the device path as its first line.
// SIGTERM and SIGINT stop it; SIGUSR1 unplugs the amplifier, SIGUSR2 plugs it in again.

#include <fcntl.h>
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "DeviceLink.h"
#include "PseudoTerminal.h"
#include "PtyServer.h"
#include "SimOptions.h"
#include "SimulatedAmplifier.h"
#include "WireLog.h"

namespace {
int g_controlWrite = -1;

// Async-signal-safe: only write(2) of the request into the pipe the server polls.
void PassOn(int signal) {
    const ServerRequest request = signal == SIGUSR1   ? ServerRequest::Unplug
                                  : signal == SIGUSR2 ? ServerRequest::Plug
                                                      : ServerRequest::Stop;
    const char byte = static_cast<char>(request);
    [[maybe_unused]] const ssize_t ignored = ::write(g_controlWrite, &byte, 1);
}

bool InstallSignalHandlers(int* controlRead) {
    int fds[2];
    if (::pipe(fds) != 0) return false;
    for (const int fd : fds) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
    g_controlWrite = fds[1];
    *controlRead = fds[0];
    struct sigaction action {};
    action.sa_handler = PassOn;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGUSR1, SIGUSR2}) {
        if (sigaction(signal, &action, nullptr) != 0) return false;
    }
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    const SimOptionsResult parsed =
        ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "varkel-sim: %s\n\n%s", parsed.error.c_str(),
                     SimUsage(argv[0]).c_str());
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
    int controlRead = -1;
    if (!InstallSignalHandlers(&controlRead)) {
        std::perror("varkel-sim: signal handlers");
        return 1;
    }
    PseudoTerminal terminal;
    if (!terminal.Open()) {
        std::fprintf(stderr, "varkel-sim: cannot create a pseudo-terminal: %s\n",
                     terminal.Error().c_str());
        return 1;
    }
    std::unique_ptr<DeviceLink> link;
    if (!options.linkPath.empty()) {
        link = std::make_unique<DeviceLink>(options.linkPath);
        if (!link->PointAt(terminal.SlavePath())) {
            std::fprintf(stderr, "varkel-sim: %s\n", link->Error().c_str());
            return 1;
        }
    }
    std::printf("%s\n", link ? link->Path().c_str() : terminal.SlavePath().c_str());
    std::fflush(stdout);

    SimulatedAmplifier amplifier(SampleModel({}, options.seed), SelectorDrive::ReadingOrder,
                                 options.fault);
    amplifier.SetLineEnd(options.lineEnd);
    PtyServer server(terminal, amplifier, log.IsOpen() ? &log : nullptr, controlRead, link.get());
    return server.Run();
}
