#include "RunStatusText.h"

#include <filesystem>

#include "measure/DurationText.h"
#include "measure/MeasurementRun.h"

namespace {
std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string Count(std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}
}  // namespace

void RunWarnings::Update(const TickResult& tick, const std::string& timeOfDay) {
    if (tick.fileTouched) {
        pendingLines = tick.file.pending;
        pendingReason = tick.file.pending > 0 ? tick.file.error : std::string();
    }
    if (tick.deviceLost) waitingSince = timeOfDay;
    if (tick.deviceBack) {
        lastOutage = "The device was gone from " + waitingSince + " to " + timeOfDay + " (" +
                     FormatDuration(tick.outage.backMs - tick.outage.lostMs) + "); " +
                     Count(tick.outage.missedReadings, "reading", "readings") + " missed";
    }
    if (!tick.readingTaken) return;
    waitingForDevice = tick.waitingForDevice;
    missedReadings = tick.waitingForDevice ? tick.outage.missedReadings : 0;
    // While the device is gone the head line says so; no reply is expected meanwhile.
    noValidReply =
        tick.reading.Valid() || tick.waitingForDevice ? std::string() : tick.reading.problem;
    if (tick.storeFull) storeFull = true;
}

std::string FormatRunProgress(std::int64_t readingsTaken, int secondsToNextReading,
                              const std::string& dataFile, const std::string& portLabel,
                              const RunWarnings& warnings) {
    std::string text;
    if (warnings.waitingForDevice) {
        text = "Waiting for " + portLabel + " since " + warnings.waitingSince + "; " +
               Count(warnings.missedReadings, "reading", "readings") + " missed";
    } else {
        text = "Measuring: " + Count(readingsTaken, "reading", "readings") + ", next in " +
               std::to_string(secondsToNextReading) + " s";
    }
    text += ", data file " + FileName(dataFile);
    if (!warnings.noValidReply.empty()) {
        text += " | No valid reply from the amplifier: " + warnings.noValidReply;
    }
    if (!warnings.lastOutage.empty()) text += " | " + warnings.lastOutage;
    if (warnings.storeFull) {
        text += " | Sample store full: the charts stop growing, the data file goes on";
    }
    if (warnings.pendingLines > 0) {
        text += " | " + Count(static_cast<std::int64_t>(warnings.pendingLines), "line", "lines") +
                " waiting to be written to the data file";
        if (!warnings.pendingReason.empty()) text += ": " + warnings.pendingReason;
    }
    if (!warnings.recordProblem.empty()) {
        text += " | The run record could not be written: " + warnings.recordProblem;
    }
    return text;
}

std::string FormatWaitingLines(std::size_t pendingLines, const std::string& dataFile,
                               const std::string& reason) {
    std::string text = Count(static_cast<std::int64_t>(pendingLines), "line", "lines") +
                       " waiting to be written to " + FileName(dataFile);
    if (!reason.empty()) text += ": " + reason;
    return text + "; retrying every second";
}
