#pragma once
// The status bar's message while a run goes, and while lines of an ended run still wait for
// their file: progress and the warnings the core reported, in words a person understands.
// Plain C++.

#include <cstddef>
#include <cstdint>
#include <string>

struct TickResult;

// Warnings that stay on show until the condition is gone.
struct RunWarnings {
    std::string noValidReply;         // the latest reading's problem; empty after a valid one
    bool storeFull = false;           // the charts stopped growing; the data file goes on
    std::size_t pendingLines = 0;     // lines waiting for the data file
    std::string pendingReason;        // why they could not be written
    bool waitingForDevice = false;    // the device is gone; the run waits for it
    std::string waitingSince;         // time of day it went, "03:12:09"
    std::int64_t missedReadings = 0;  // of the outage going on
    std::string lastOutage;           // the latest outage that ended, for a person; empty if none
    std::string recordProblem;        // why the run record beside the data file was not written

    // Takes in what one tick reported. timeOfDay is the local time now ("03:12:09"), used
    // when the device goes or comes back.
    void Update(const TickResult& tick, const std::string& timeOfDay);
};

// "Measuring: 5 readings, next in 2 s, data file run.txt", or while the device is gone
// "Waiting for COM2 (/dev/ttyUSB0) since 03:12:09; 41 readings missed, data file run.txt";
// then each warning after " | ". dataFile is shown by its file name only.
std::string FormatRunProgress(std::int64_t readingsTaken, int secondsToNextReading,
                              const std::string& dataFile, const std::string& portLabel,
                              const RunWarnings& warnings);

// After a run: "3 lines waiting to be written to run.txt: <reason>; retrying every second".
std::string FormatWaitingLines(std::size_t pendingLines, const std::string& dataFile,
                               const std::string& reason);
