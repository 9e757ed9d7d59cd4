#pragma once
// The one-second tick of a run without a window, on whole seconds counted from the run's
// time zero, so it never drifts however long each tick's work takes.

#include <cstdint>

// Milliseconds since the run's time zero of the first whole-second boundary after
// sinceOriginMs. A boundary that passed while the previous tick's work blocked is skipped,
// not made up, as a window's timer drops the ticks that fall while its thread is busy.
constexpr long long NextTickMs(long long sinceOriginMs) {
    constexpr long long kTickMs = 1000;
    const long long since = sinceOriginMs < 0 ? 0 : sinceOriginMs;
    return (since / kTickMs + 1) * kTickMs;
}
