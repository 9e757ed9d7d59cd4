#pragma once
// A clock that only moves when told to, or when something sleeps on it.

#include "measure/Clock.h"

class FakeClock final : public Clock {
public:
    long long Milliseconds() override { return m_nNow; }
    void Sleep(int ms) override {
        if (ms > 0) {
            m_nNow += ms;
            m_nSlept += ms;
        }
    }
    // Calendar time moves with the clock, from 2026-12-11 03:00:00 UTC at its zero.
    long long UtcMilliseconds() override { return kUtcAtZero + m_nNow; }
    static constexpr long long kUtcAtZero = 1796958000000;
    void Advance(long long ms) { m_nNow += ms; }
    int Slept() const { return m_nSlept; }

private:
    long long m_nNow = 0;
    int m_nSlept = 0;
};
