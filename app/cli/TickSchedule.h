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

// Milliseconds since an origin, in 64 bits, from the program's int millisecond clock, which
// wraps after 24.8 days while a run at long intervals may last far longer. Correct as long
// as it is updated at least once per 49 days (the loop updates it many times a second).
class RunMilliseconds {
public:
    explicit RunMilliseconds(int originMs) : m_lastMs(originMs) {}

    // Takes a new clock reading and returns the milliseconds since the origin.
    long long Update(int nowMs) {
        m_sinceOrigin += static_cast<std::uint32_t>(nowMs) - static_cast<std::uint32_t>(m_lastMs);
        m_lastMs = nowMs;
        return m_sinceOrigin;
    }

private:
    int m_lastMs;
    long long m_sinceOrigin = 0;
};
