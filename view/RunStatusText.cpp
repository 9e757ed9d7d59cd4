#include "RunStatusText.h"

#include <filesystem>

#include "measure/DurationText.h"
#include "measure/IsoTime.h"
#include "measure/MeasurementRun.h"
#include "measure/PortMap.h"
#include "measure/StatusText.h"

namespace {
std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string PendingText(const RunState& run) {
    std::string text = CountOf(static_cast<std::int64_t>(run.pendingLines), "line", "lines") +
                       " waiting to be written to " + FileName(run.pendingFile);
    if (!run.pendingReason.empty()) text += ": " + run.pendingReason;
    return text;
}
}  // namespace

void RunWarnings::Update(const TickResult& tick) {
    // A device back and gone again within one tick tells both, in that order.
    if (tick.deviceBack) {
        const Outage& ended = tick.endedOutage;
        lastOutage = "The device was gone from " + FormatLocalTimeOfDay(ended.lostUtcMs) + " to " +
                     FormatLocalTimeOfDay(ended.backUtcMs) + " (" +
                     FormatDuration(ended.backMs - ended.lostMs) + "); " +
                     CountOf(ended.missedReadings, "reading", "readings") + " missed";
    }
    if (!tick.readingTaken) return;
    // While the device is gone the head line says so; no reply is expected meanwhile.
    const bool gone = tick.waitingForDevice || tick.deviceLost;
    noValidReply = tick.reading.Valid() || gone ? std::string() : tick.reading.problem;
}

RunState StateOf(const MeasurementRun& run, const SampleStore& store) {
    RunState state;
    state.readingsTaken = run.ReadingsTaken();
    state.secondsToNextReading = run.SecondsToNextReading();
    state.dataFile = run.m_strDataFile;
    state.portLabel = PortLabel(run.PortName(), run.DevicePath());
    state.waitingForDevice = run.IsWaitingForDevice();
    if (state.waitingForDevice) {
        state.waitingSinceUtcMs = run.Outages().back().lostUtcMs;
        state.missedReadings = run.Outages().back().missedReadings;
    }
    state.storeFull = store.count >= SampleStore::kCapacity;
    state.pendingLines = run.PendingLines();
    state.pendingFile = run.PendingFile();
    state.pendingReason = run.PendingLines() > 0 ? run.LastFileStatus().error : std::string();
    state.recordProblem = run.RecordProblem();
    return state;
}

std::string FormatRunProgress(const RunState& run, const RunWarnings& warnings) {
    std::string text;
    if (run.waitingForDevice) {
        text = "Waiting for " + run.portLabel + " since " +
               FormatLocalTimeOfDay(run.waitingSinceUtcMs) + "; " +
               CountOf(run.missedReadings, "reading", "readings") + " missed";
    } else {
        text = "Measuring: " + CountOf(run.readingsTaken, "reading", "readings") + ", next in " +
               std::to_string(run.secondsToNextReading) + " s";
    }
    text += ", data file " + FileName(run.dataFile);
    if (!warnings.noValidReply.empty()) {
        text += " | No valid reply from the amplifier: " + warnings.noValidReply;
    }
    if (!warnings.lastOutage.empty()) text += " | " + warnings.lastOutage;
    if (run.storeFull) {
        text += " | Sample store full: the charts stop growing, the data file goes on";
    }
    if (run.pendingLines > 0) text += " | " + PendingText(run);
    if (!run.recordProblem.empty()) {
        text += " | The run record could not be written: " + run.recordProblem;
    }
    return text;
}

std::string FormatWaitingLines(const RunState& run) {
    return PendingText(run) + "; retrying every second";
}
