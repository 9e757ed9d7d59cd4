#pragma once
// A clock that only moves when someone sleeps on it (or a test moves it), so waits and
// time-outs cost no real time and their cost can be asserted exactly.

#include "measure/Clock.h"

class FakeClock final : public Clock {
public:
    int Milliseconds() override { return m_nowMs; }
    void Sleep(int ms) override {
        if (ms > 0) m_nowMs += ms;
    }
    void Advance(int ms) { m_nowMs += ms; }

private:
    int m_nowMs = 0;
};
