#pragma once
// The data file: a text file with one line of seven numbers per reading and no header.
// Columns: elapsed s, voltage V, voltage phase, current A, current phase, impedance ohm,
// impedance phase. The file is opened for every line and closed after it, so it is always
// complete on disk and other programs can read it while a run goes on.

#include <deque>
#include <string>

struct Readings;

struct DataFileResult {
    bool ok = false;
    std::string error;  // the file and the system's reason, for a person
};

// Creates the file empty, replacing one of that name.
DataFileResult CreateDataFile(const char* path);

// One data line as written: "%lg %lg %lg %lg %lg %lg %lg\n", independent of the locale.
std::string FormatDataLine(double elapsedSeconds, double voltage, double voltagePhase,
                           double current, double currentPhase, double impedance,
                           double impedancePhase);

// Appends lines and never loses one: a line that cannot be written (folder gone, disk full,
// file locked) is kept and written, in order, before the next line at the next successful
// open. A failed write is cut back so the file never holds half a line. Each written line
// is flushed and synced to disk.
class DataFile {
public:
    struct Status {
        bool wroteAll = false;       // every line so far is on disk
        std::size_t pending = 0;     // lines kept in memory, waiting for the file
        std::string error;           // why the last attempt failed, empty when none did
    };

    // Queues one line for path and writes everything pending. Lines queued for an earlier
    // path are dropped from the queue only when a new file is started with Reset.
    Status AppendDataLine(const char* path, double elapsedSeconds, double voltage,
                          double voltagePhase, double current, double currentPhase,
                          double impedance, double impedancePhase);
    // Tries again to write what is pending, without a new line.
    Status Flush(const char* path);
    // Forgets pending lines: a new run with a new file begins.
    void Reset() { m_pending.clear(); }
    std::size_t Pending() const { return m_pending.size(); }

private:
    Status WritePending(const char* path);

    std::deque<std::string> m_pending;
};
