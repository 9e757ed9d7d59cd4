#include "StopRequest.h"

#include <csignal>

namespace {
volatile std::sig_atomic_t g_stopRequested = 0;

// The first signal asks for a clean stop; the handler then steps aside, so a second one
// ends the process at once, should the clean stop itself hang on a dead device.
extern "C" void OnStopSignal(int signal) {
    g_stopRequested = 1;
    std::signal(signal, SIG_DFL);
}
}  // namespace

void InstallStopHandlers() {
    g_stopRequested = 0;
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

bool StopRequested() { return g_stopRequested != 0; }
