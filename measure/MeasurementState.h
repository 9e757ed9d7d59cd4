#pragma once
// The run's records: what the run is doing and the latest values it read. The program owns
// one of each and hands them by reference to whoever needs them.

#include <memory>

#include "SerialPort.h"

struct MeasurementState {
    int measuring = 0;                 // 1 while a run is going on
    std::unique_ptr<SerialPort> port;  // the open port while measuring, else null
    int ticksPerReading = 0;           // sampling interval in seconds (one tick a second)
    int tickCount = 0;                 // ticks since the last reading or the run's start
    bool currentNext = false;          // next reading: false the voltage, true the current
    double startTime = 0.0;            // the run's time zero, seconds on the clock
};

// Latest values. They carry over from one run into the next; each reading overwrites only
// its own fields.
struct Readings {
    double elapsedSeconds = 0.0;  // s, from startTime to the start of the latest reading
    double voltage = 0.0;         // V
    double voltagePhase = 0.0;    // amplifier's phase unit
    double current = 0.0;         // A, never below 1e-6 after a reading
    double currentPhase = 0.0;
    double impedance = 0.0;  // ohm
    double impedancePhase = 0.0;
};
