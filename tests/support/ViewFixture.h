#pragma once
// A measurement run on a fake clock and a scripted port, with the records a view paints
// from: what the application owns, built small for one test.

#include <memory>

#include "ScriptedPrompts.h"
#include "ScriptedRun.h"

// Built on the stack by the tests, so the sample store lives on the heap.
struct ViewFixture : ScriptedPort {
    ViewFixture() {
        // 50 mV and 2 uA scaled from the amplifier's replies (x 0.1 and x 0.0001).
        line->responder = Amplifier("0.5", "-12.5", "0.02", "-40.25");
        run = std::make_unique<MeasurementRun>(state, readings, *store, clock, ports, factory);
    }

    std::unique_ptr<SampleStore> store = std::make_unique<SampleStore>();
    std::unique_ptr<MeasurementRun> run;
    ScriptedPrompts prompts;
    TempDir dir;
};
