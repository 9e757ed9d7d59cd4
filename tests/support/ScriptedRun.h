#pragma once
// What the measurement core is built from in a test: its records, a fake clock and a
// scripted port behind a factory. ScriptedPort is enough for the serial link; ScriptedRun
// adds the sample store, the run itself and a folder for its data file. Fixtures derive
// from them and script the line as the case needs.

#include <memory>
#include <string>

#include "FakeClock.h"
#include "FakeSerialPort.h"
#include "TempDir.h"
#include "measure/MeasurementRun.h"
#include "measure/PortMap.h"

struct ScriptedPort {
    std::shared_ptr<FakeLine> line = std::make_shared<FakeLine>();
    FakeClock clock;
    FakePortFactory factory{line, &clock};
    PortMap ports;
    MeasurementState state;
    Readings readings;
};

// Holds the 1.5 MiB sample store by value: build it on the heap (a gtest fixture is).
struct ScriptedRun : ScriptedPort {
    SampleStore store;
    MeasurementRun run{state, readings, store, clock, ports, factory};
    TempDir dir;
    std::string path = dir.File("run.txt");

    // Ticks a second at a time until a reading is taken: how many ticks that took (-1 when
    // none came in 1000), with what the tick reported in *result.
    int TickUntilReading(TickResult* result = nullptr) {
        for (int ticks = 1; ticks <= 1000; ++ticks) {
            clock.Advance(1000);
            const TickResult tick = run.OnTimer();
            if (tick.readingTaken) {
                if (result) *result = tick;
                return ticks;
            }
        }
        return -1;
    }
};
