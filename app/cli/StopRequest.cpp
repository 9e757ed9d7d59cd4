#include "StopRequest.h"

#include <csignal>

namespace {
volatile std::sig_atomic_t g_stopRequested = 0;

extern "C" void OnStopSignal(int) { g_stopRequested = 1; }
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
