#include "Recording.h"

#include <algorithm>
#include <memory>
#include <ostream>

#include "TickSchedule.h"
#include "measure/Clock.h"
#include "measure/DurationText.h"
#include "measure/IsoTime.h"
#include "measure/MeasurementRun.h"
#include "measure/PortMap.h"
#include "measure/StatusText.h"

namespace {
// The longest single wait: how late a stop request can be noticed while idle.
constexpr int kPollMs = 50;

// Sleeps until the next whole second of the run; false when a stop was requested first.
bool WaitForTick(Clock& clock, long long originMs, const std::function<bool()>& stopRequested) {
    const long long due = NextTickMs(clock.Milliseconds() - originMs);
    for (;;) {
        if (stopRequested()) return false;
        const long long left = due - (clock.Milliseconds() - originMs);
        if (left <= 0) return true;
        clock.Sleep(static_cast<int>(std::min<long long>(left, kPollMs)));
    }
}

// The record beside the data file is a help, not the data: a failure only warns.
void ReportRecordProblem(std::ostream& err, const std::string& problem) {
    if (!problem.empty()) err << "The run record could not be written: " << problem << std::endl;
}

// Tells err about everything the tick reports besides the reading itself: once when the
// device goes and once when it is back (both, in that order, when it was back only briefly),
// not at every missed reading.
class WarningReporter {
public:
    WarningReporter(std::ostream& err, const std::string& file, std::string port)
        : m_err(err), m_strFile(file), m_strPort(std::move(port)) {}

    void Report(const TickResult& tick) {
        if (tick.deviceBack) {
            const Outage& ended = tick.endedOutage;
            m_err << FormatLocalTimeOfDay(ended.backUtcMs) << " " << m_strPort << " is back after "
                  << FormatDuration(ended.backMs - ended.lostMs) << "; "
                  << CountOf(ended.missedReadings, "reading", "readings")
                  << " missed. Recording goes on in " << m_strFile << "." << std::endl;
        }
        if (tick.deviceLost) {
            m_err << FormatLocalTimeOfDay(tick.outage.lostUtcMs) << " Lost " << m_strPort << ": "
                  << tick.deviceProblem
                  << ". Waiting for it to come back; readings are missed meanwhile." << std::endl;
        }
        if (tick.readingTaken && !tick.reading.Valid() && !tick.waitingForDevice &&
            !tick.deviceLost) {
            m_err << "The amplifier gave no valid reply: " << tick.reading.problem << std::endl;
        }
        if (!tick.fileTouched) return;
        if (tick.file.pending > 0) {
            m_err << CountOf(static_cast<std::int64_t>(tick.file.pending), "line", "lines")
                  << " waiting to be written to the data file: " << tick.file.error << std::endl;
        } else if (m_nPendingBefore > 0) {
            m_err << "The waiting lines are now written to " << m_strFile << "." << std::endl;
        }
        m_nPendingBefore = tick.file.pending;
    }

private:
    std::ostream& m_err;
    const std::string& m_strFile;
    std::string m_strPort;
    std::size_t m_nPendingBefore = 0;
};
}  // namespace

int RunRecording(const RecordRequest& request, const PortMap& ports, SerialPortFactory& factory,
                 Clock& clock, std::ostream& out, std::ostream& err,
                 const std::function<bool()>& stopRequested) {
    MeasurementState state;
    Readings readings;
    auto store = std::make_unique<SampleStore>();  // 1.5 MiB: not on the stack
    MeasurementRun run(state, readings, *store, clock, ports, factory);

    const DataFileResult created = run.CreateDataFile(request.file);
    if (!created.ok) {
        err << "Can't create file: " << created.error << std::endl;
        return kExitFailure;
    }
    if (!run.BeginMeasurementOn(request.port, request.interval)) {
        if (run.BeginError() == MeasurementRun::BeginFailure::AmplifierNotReached) {
            err << "The serial port opened, but the amplifier could not be reached: ";
        } else {
            err << "Can't open serial port: ";
        }
        err << run.OpenError() << std::endl;
        return kExitFailure;
    }
    // The run's time zero, as the Start command sets it once the run has begun; the ticks
    // count whole seconds from here.
    run.SetTimeZero();
    ReportRecordProblem(err, run.RecordProblem());
    const long long originMs = clock.Milliseconds();
    const std::string port = PortLabel(run.PortName(), run.DevicePath());
    err << "Recording from " << port << " every " << request.interval << " s into " << request.file
        << "; Ctrl+C stops." << std::endl;

    WarningReporter warnings(err, request.file, port);
    RunEnd why = RunEnd::Signal;
    while (WaitForTick(clock, originMs, stopRequested)) {
        const TickResult tick = run.OnTimer();
        if (!tick.readingTaken) continue;
        if (tick.reading.Valid()) out << FormatStatusLine(readings) << std::endl;
        warnings.Report(tick);
        ReportRecordProblem(err, tick.recordProblem);
        if (request.readings > 0 && run.ReadingsTaken() >= request.readings) {
            why = RunEnd::ReadingsDone;
            break;
        }
    }

    const bool deviceGone = run.IsWaitingForDevice();
    if (deviceGone) {
        const Outage& outage = run.Outages().back();
        err << "The run ended while " << port << " was still gone; "
            << CountOf(outage.missedReadings, "reading", "readings") << " missed since it went."
            << std::endl;
    }
    run.StopMeasurement(why);  // writes what it can of the waiting lines
    ReportRecordProblem(err, run.RecordProblem());
    const DataFile::Status& flushed = run.LastFileStatus();
    if (flushed.pending > 0) {
        err << CountOf(static_cast<std::int64_t>(flushed.pending), "line", "lines")
            << " could not be written to the data file: " << flushed.error << std::endl;
        return kExitFailure;
    }
    return deviceGone ? kExitDeviceGone : kExitSuccess;
}
