#include "Recording.h"

#include <algorithm>
#include <memory>
#include <ostream>

#include "TickSchedule.h"
#include "measure/Clock.h"
#include "measure/MeasurementRun.h"
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

std::string LinesText(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " line" : " lines");
}

// Tells err about everything the tick reports besides the reading itself.
class WarningReporter {
public:
    WarningReporter(std::ostream& err, const std::string& file) : m_err(err), m_file(file) {}

    void Report(const TickResult& tick) {
        if (!tick.reading.Valid() && !tick.reading.portFailed) {
            m_err << "The amplifier gave no valid reply: " << tick.reading.problem << std::endl;
        }
        if (tick.storeFull && !m_storeFullTold) {
            m_storeFullTold = true;
            m_err << "The sample store is full (" << SampleStore::kCapacity
                  << " samples): later readings go only to the data file." << std::endl;
        }
        if (tick.file.pending > 0) {
            m_err << LinesText(tick.file.pending) << " waiting to be written to the data file: "
                  << tick.file.error << std::endl;
        } else if (m_pendingBefore > 0) {
            m_err << "The waiting lines are now written to " << m_file << "." << std::endl;
        }
        m_pendingBefore = tick.file.pending;
    }

private:
    std::ostream& m_err;
    const std::string& m_file;
    bool m_storeFullTold = false;
    std::size_t m_pendingBefore = 0;
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
        return 1;
    }
    if (!run.BeginMeasurementOn(request.port, request.interval)) {
        err << "Can't open serial port: " << run.OpenError() << std::endl;
        return 1;
    }
    // The run's time zero, as the Start command sets it once the run has begun; the ticks
    // count whole seconds from here.
    run.SetTimeZero();
    const long long originMs = clock.Milliseconds();
    err << "Recording from " << request.port << " every " << request.interval << " s into "
        << request.file << "; Ctrl+C stops." << std::endl;

    WarningReporter warnings(err, request.file);
    bool deviceGone = false;
    while (WaitForTick(clock, originMs, stopRequested)) {
        const TickResult tick = run.OnTimer();
        if (!tick.readingTaken) continue;
        if (tick.runEnded) {
            err << "The run has ended: " << tick.runEndReason << ".";
            if (tick.file.pending == 0) err << " Every line recorded so far is in " << request.file << ".";
            err << std::endl;
            deviceGone = true;
            break;
        }
        if (tick.reading.Valid()) out << FormatStatusLine(readings) << std::endl;
        warnings.Report(tick);
        if (request.readings > 0 && run.ReadingsTaken() >= request.readings) break;
    }

    run.StopMeasurement();
    const DataFile::Status flushed = run.FlushDataFile();
    if (flushed.pending > 0) {
        err << LinesText(flushed.pending) << " could not be written to the data file: "
            << flushed.error << std::endl;
        return 1;
    }
    return deviceGone ? 1 : 0;
}
