#pragma once
// The millisecond clock: milliseconds since the process started, on a steady clock that no
// change of the system's date moves. Seconds are always formed as its value times 0.001
// (kSecondsPerMillisecond). It counts in 64 bits, so a run of more than 24.8 days (up to 455
// days at the longest interval) never sees its time wrap. Tests hand the core a fake one.

#include <chrono>

// Seconds are the clock's milliseconds times this.
constexpr double kSecondsPerMillisecond = 0.001;

class Clock {
public:
    virtual ~Clock() = default;
    virtual long long Milliseconds() = 0;
    // Blocks the calling thread for about ms milliseconds.
    virtual void Sleep(int ms) = 0;
    // Calendar time for records a person or a script reads later: milliseconds since
    // 1970-01-01 00:00 UTC. The system's clock unless a test says otherwise.
    virtual long long UtcMilliseconds() {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    }
};

// The real clock over std::chrono::steady_clock, counting from its construction, which the
// program does first thing at start-up.
class SteadyClock final : public Clock {
public:
    SteadyClock();
    long long Milliseconds() override;
    void Sleep(int ms) override;

private:
    long long m_nStartNs;
};
