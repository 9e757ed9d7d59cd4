#pragma once
// The status bar's message while a run goes, and while lines of an ended run still wait for
// their file: progress and the warnings the core reported, in words a person understands.
// Plain C++.

#include <cstddef>
#include <cstdint>
#include <string>

class MeasurementRun;
struct SampleStore;
struct TickResult;

// What the ticks told that the run does not keep: the latest reading's problem and the
// latest outage that ended.
struct RunWarnings {
    std::string noValidReply;  // the latest reading's problem; empty after a valid one
    std::string lastOutage;    // for a person, e.g. "The device was gone from 03:12:09 to
                               // 03:15:21 (3 min 12 s); 42 readings missed"; empty if none

    // Takes in what one tick reported.
    void Update(const TickResult& tick);
};

// What the run is and holds as the message is made, read from it (see StateOf).
struct RunState {
    std::int64_t readingsTaken = 0;
    int secondsToNextReading = 0;
    std::string dataFile;   // shown by its file name only
    std::string portLabel;  // "COM2 (/dev/ttyUSB0)"
    bool waitingForDevice = false;
    long long waitingSinceUtcMs = 0;
    std::int64_t missedReadings = 0;  // of the outage going on
    bool storeFull = false;           // the charts stopped growing; the data file goes on
    std::size_t pendingLines = 0;     // lines waiting for a data file
    std::string pendingFile;          // the file the oldest of them waits for
    std::string pendingReason;        // why they could not be written
    std::string recordProblem;        // why the run record could not be written
};
RunState StateOf(const MeasurementRun& run, const SampleStore& store);

// "Measuring: 5 readings, next in 2 s, data file run.txt", or while the device is gone
// "Waiting for COM2 (/dev/ttyUSB0) since 03:12:09; 41 readings missed, data file run.txt";
// then each warning after " | ". Times of day are local.
std::string FormatRunProgress(const RunState& run, const RunWarnings& warnings);

// After a run: "3 lines waiting to be written to run.txt: <reason>; retrying every second".
std::string FormatWaitingLines(const RunState& run);
