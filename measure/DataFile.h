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
// file locked) is kept in memory and written, in order, at the next successful open, also
// when a new run has started a new file meanwhile. A failed write is cut back so the file never holds half a line. Each written line
// is flushed and synced to disk.
class DataFile {
public:
    struct Status {
        bool wroteAll = false;       // every line so far is on disk
        std::size_t pending = 0;     // lines kept in memory, waiting for the file
        std::string error;           // why the last attempt failed, empty when none did
    };

    // Queues one line for path and writes everything pending, in order.
    Status AppendDataLine(const char* path, double elapsedSeconds, double voltage,
                          double voltagePhase, double current, double currentPhase,
                          double impedance, double impedancePhase);
    // Tries again to write what is pending, without a new line.
    Status Flush();
    std::size_t Pending() const { return m_pending.size(); }

private:
    struct Line {
        std::string path;
        std::string text;
    };
    Status WritePending();

    std::deque<Line> m_pending;
};
