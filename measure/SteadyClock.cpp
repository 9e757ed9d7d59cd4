#include <chrono>
#include <thread>

#include "Clock.h"

namespace {
long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

SteadyClock::SteadyClock() : m_nStartNs(NowNs()) {}

long long SteadyClock::Milliseconds() { return (NowNs() - m_nStartNs) / 1000000; }

void SteadyClock::Sleep(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
