#pragma once
// The data file: a text file with one line of seven numbers per reading and no header.
// Columns: elapsed s, voltage V, voltage phase, current A, current phase, impedance ohm,
// impedance phase. Every line is appended, flushed and synced before the next reading, so
// the file is always complete on disk and other programs can read it while a run goes on.

#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>

struct DataFileResult {
    bool ok = false;
    std::string error;          // the file and the system's reason, for a person
    bool linesWaiting = false;  // refused: an earlier run's lines still wait for this file
};

// Creates the file empty, replacing one of that name, and syncs its folder so the new name
// survives a power cut.
DataFileResult CreateDataFile(const char* path);

// One data line as written: "%lg %lg %lg %lg %lg %lg %lg\n", independent of the locale.
std::string FormatDataLine(double elapsedSeconds, double voltage, double voltagePhase,
                           double current, double currentPhase, double impedance,
                           double impedancePhase);

// Appends lines and never loses one:
// - a line that cannot be written (folder gone, disk full, file locked) is kept in memory
//   and written, in order, at the next successful open, also after its run has ended;
// - a failed write is cut back, so the file never holds half a line;
// - each written line is flushed and synced to disk;
// - while a run goes on, a file deleted, emptied by replacement or replaced by a shorter one
//   is written anew with every line it held before (read back through a handle on the very
//   file that was written), then the new lines. A file at least as long that took its name
//   is someone else's: it is not overwritten, the new lines go into it as its name says, and
//   the earlier lines stay only in the file that was replaced. Where the system does not
//   let an open file be deleted (Windows), no handle is kept and none is needed.
// A run's lines go only to its own file: Create refuses a file that still has lines of an
// earlier run waiting.
class DataFile {
public:
    DataFile() = default;
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    struct Status {
        bool wroteAll = false;    // every line so far is on disk
        std::size_t pending = 0;  // lines kept in memory, waiting for the file
        std::string error;        // why the last attempt failed, empty when none did
    };

    // Creates path empty for a new run (as CreateDataFile) and from then on guards it
    // against deletion until Release. Refused, leaving the file as it is, while lines of an
    // earlier run wait for a file of that name.
    DataFileResult Create(const char* path);
    // The run has ended: nothing holds its file open any more (a USB stick can be
    // unmounted). Lines still waiting keep being written by Flush.
    void Release();

    // Queues one line for path and writes everything pending, in order.
    Status AppendDataLine(const char* path, double elapsedSeconds, double voltage,
                          double voltagePhase, double current, double currentPhase,
                          double impedance, double impedancePhase);
    // Tries again to write what is pending, without a new line.
    Status Flush();
    std::size_t Pending() const { return m_pending.size(); }
    // The file the oldest waiting line is for; empty when none waits.
    std::string PendingPath() const {
        return m_pending.empty() ? std::string() : m_pending.front().path;
    }
    // Lines waiting for path.
    std::size_t PendingFor(const std::string& path) const;
    // Lines written to path since it was last created (or first written to).
    std::int64_t LinesWrittenTo(const std::string& path) const;

private:
    struct Line {
        std::string path;
        std::string text;
    };
    Status WritePending();
    DataFileResult AppendLines(const std::string& path, const std::string* lines, std::size_t n);
    void Untrack();

    std::deque<Line> m_pending;
    std::string m_strCreatedPath;                                  // the file of the last Create
    std::unordered_map<std::string, std::int64_t> m_linesWritten;  // per file
    bool m_bGuarding = false;                                      // between Create and Release
    int m_nTrackedFd = -1;  // read handle on the file last written to, -1 when none
};
