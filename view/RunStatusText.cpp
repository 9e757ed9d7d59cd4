#include "RunStatusText.h"

#include <filesystem>

#include "measure/MeasurementRun.h"

void RunWarnings::Update(const TickResult& tick) {
    if (!tick.readingTaken) return;
    noValidReply = tick.reading.Valid() ? std::string() : tick.reading.problem;
    if (tick.storeFull) storeFull = true;
    pendingLines = tick.file.pending;
    pendingReason = tick.file.pending > 0 ? tick.file.error : std::string();
}

std::string FormatRunProgress(long readingsTaken, int secondsToNextReading,
                              const std::string& dataFile, const RunWarnings& warnings) {
    std::string text = "Measuring: " + std::to_string(readingsTaken) +
                       (readingsTaken == 1 ? " reading" : " readings") + ", next in " +
                       std::to_string(secondsToNextReading) + " s, data file " +
                       std::filesystem::path(dataFile).filename().string();
    if (!warnings.noValidReply.empty()) {
        text += " | No valid reply from the amplifier: " + warnings.noValidReply;
    }
    if (warnings.storeFull) {
        text += " | Sample store full: the charts stop growing, the data file goes on";
    }
    if (warnings.pendingLines > 0) {
        text += " | " + std::to_string(warnings.pendingLines) +
                (warnings.pendingLines == 1 ? " line" : " lines") +
                " waiting to be written to the data file";
        if (!warnings.pendingReason.empty()) text += ": " + warnings.pendingReason;
    }
    return text;
}
