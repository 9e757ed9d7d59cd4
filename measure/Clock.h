#pragma once
// The millisecond clock: wall-clock milliseconds since the process started. Seconds are
// always formed as its value times 0.001. Tests hand the core a fake one.

class Clock {
public:
    virtual ~Clock() = default;
    virtual int Milliseconds() = 0;
    // Blocks the calling thread for about ms milliseconds.
    virtual void Sleep(int ms) = 0;
};

// The real clock over std::chrono::steady_clock, counting from its construction, which the
// program does first thing at start-up.
class SteadyClock final : public Clock {
public:
    SteadyClock();
    int Milliseconds() override;
    void Sleep(int ms) override;

private:
    long long m_startNs;
};
