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

// Appends lines and never loses one:
// - a line that cannot be written (folder gone, disk full, file locked) is kept in memory
//   and written, in order, at the next successful open, also when a new run has started a
//   new file meanwhile;
// - a failed write is cut back, so the file never holds half a line;
// - each written line is flushed and synced to disk;
// - a file deleted or replaced while its run goes on is written anew with every line it
//   held before (kept readable through a handle on the old file), then the new lines.
class DataFile {
public:
    DataFile() = default;
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    struct Status {
        bool wroteAll = false;       // every line so far is on disk
        std::size_t pending = 0;     // lines kept in memory, waiting for the file
        std::string error;           // why the last attempt failed, empty when none did
    };

    // Creates path empty for a new run (as CreateDataFile); what it held before is not
    // brought back into it.
    DataFileResult Create(const char* path);

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
    DataFileResult AppendLines(const std::string& path, const std::string* lines, std::size_t n);
    // Rewrites path from the handle on the file it was, when it was deleted or replaced.
    DataFileResult RestoreIfReplaced(const std::string& path);
    // Keeps a read handle on path's file, so its lines survive its deletion.
    void Track(const std::string& path);
    void Untrack();

    std::deque<Line> m_pending;
    std::string m_trackedPath;  // the file the last lines went to
    int m_trackedFd = -1;       // read handle on it, -1 when none
};
