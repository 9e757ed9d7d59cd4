#include "RecordedRun.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <new>
#include <system_error>

#include "measure/SampleStore.h"

namespace {
// The shortest line a data file can hold: seven one-digit fields, six blanks and "\n".
constexpr std::uintmax_t kShortestLine = 14;
// Columns are reserved for the most lines the file's size allows, so they never move while
// they fill; beyond this many the reservation would be mostly air and they grow instead.
constexpr std::uintmax_t kMaxReservedRows = 1u << 25;

class ColumnSink final : public DataRowSink {
public:
    explicit ColumnSink(RecordedRun& run) : m_run(run) {}

    // Address space only: pages the rows never reach are never touched. Without it (a
    // strict memory limit) the columns grow as they fill.
    void Reserve(std::uintmax_t rows) {
        rows = std::min(rows, kMaxReservedRows);
        try {
            m_run.timeMinutes.reserve(rows);
            m_run.impedance.reserve(rows);
            m_run.phase.reserve(rows);
        } catch (const std::bad_alloc&) {
        }
    }

    void AddRow(const DataRow& row) override {
        if (m_run.timeMinutes.size() >= static_cast<std::size_t>(INT_MAX)) {
            m_bTooMany = true;
            return;
        }
        const double minutes = row[0] * kMinutesPerSecond;
        if (!m_run.timeMinutes.empty() && minutes < m_run.timeMinutes.back())
            m_run.timeSorted = false;
        m_run.timeMinutes.push_back(minutes);
        m_run.impedance.push_back(row[5]);
        m_run.phase.push_back(row[6]);
        m_lastRow = row;
    }

    // The readings a run leaves after writing the last row.
    void Finish() {
        if (m_run.timeMinutes.empty()) return;
        Readings& r = m_run.last;
        r.elapsedSeconds = m_lastRow[0];
        r.voltage = m_lastRow[1];
        r.voltagePhase = m_lastRow[2];
        r.current = m_lastRow[3];
        r.currentPhase = m_lastRow[4];
        r.impedance = m_lastRow[5];
        r.impedancePhase = m_lastRow[6];
    }

    bool TooMany() const { return m_bTooMany; }

private:
    RecordedRun& m_run;
    DataRow m_lastRow{};
    bool m_bTooMany = false;
};
}  // namespace

SampleSeries SeriesOf(const RecordedRun& run) {
    return {run.timeMinutes.data(), run.impedance.data(), run.phase.data(), run.Count()};
}

RecordedRunLoad LoadRecordedRun(const std::string& path) {
    RecordedRunLoad load;
    auto run = std::make_shared<RecordedRun>();
    ColumnSink sink(*run);
    try {
        std::error_code error;
        const std::uintmax_t bytes = std::filesystem::file_size(path, error);
        if (!error) sink.Reserve(bytes / kShortestLine + 1);
        const DataFileScan scan = ScanDataFile(path, sink);
        if (!scan.ok) {
            load.errorLine = scan.errorLine;
            load.error = scan.error;
            load.readFailed = scan.readFailed;
            return load;
        }
        if (sink.TooMany()) {
            load.error = "the file holds more than " + std::to_string(INT_MAX) +
                         " readings, more than a chart can show";
            return load;
        }
    } catch (const std::bad_alloc&) {
        load.error = "there is not enough memory to hold its " +
                     std::to_string(run->timeMinutes.size()) + "+ readings";
        return load;
    }
    sink.Finish();
    load.run = std::move(run);
    return load;
}

RecordedRun RecordedRunFromRows(const std::vector<DataRow>& rows) {
    RecordedRun run;
    ColumnSink sink(run);
    sink.Reserve(rows.size());
    for (const DataRow& row : rows) sink.AddRow(row);
    sink.Finish();
    return run;
}
