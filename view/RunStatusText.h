#pragma once
// The status bar's message while a run goes: its progress and the warnings the core
// reported, in words a person understands. Plain C++.

#include <cstddef>
#include <string>

struct TickResult;

// Warnings that stay on show until the condition is gone.
struct RunWarnings {
    std::string noValidReply;      // the latest reading's problem; empty after a valid one
    bool storeFull = false;        // the charts stopped growing; the data file goes on
    std::size_t pendingLines = 0;  // lines waiting for the data file
    std::string pendingReason;     // why they could not be written

    // Takes in what one tick reported; ticks without a reading change nothing.
    void Update(const TickResult& tick);
};

// "Measuring: 5 readings, next in 2 s, data file run.txt", then each warning after " | ".
// dataFile is shown by its file name only.
std::string FormatRunProgress(long readingsTaken, int secondsToNextReading,
                              const std::string& dataFile, const RunWarnings& warnings);
