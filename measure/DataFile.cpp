#include "DataFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "NumberFormat.h"

#ifdef _WIN32
#include <io.h>
#define VARKEL_FILENO _fileno
#define VARKEL_FSYNC _commit
#define VARKEL_TRUNCATE _chsize_s
#else
#include <unistd.h>
#define VARKEL_FILENO fileno
#define VARKEL_FSYNC fsync
#define VARKEL_TRUNCATE ftruncate
#endif

namespace {
std::string Reason(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}

// Appends lines to path in one open: all of them reach the disk, or the file is cut back to
// the length it had and none of them counts as written.
DataFileResult AppendLines(const std::string& path, const std::string* lines, std::size_t n) {
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (!file) return {false, Reason(path, errno)};
    std::fseek(file, 0, SEEK_END);
    const long before = std::ftell(file);
    bool ok = true;
    for (std::size_t i = 0; ok && i < n; ++i) ok = std::fputs(lines[i].c_str(), file) >= 0;
    ok = ok && std::fflush(file) == 0;
    ok = ok && VARKEL_FSYNC(VARKEL_FILENO(file)) == 0;
    const int error = errno;
    if (!ok && before >= 0) {
        // Drop what did get through, so a retry never leaves half a line behind.
        std::clearerr(file);
        [[maybe_unused]] const int cut = VARKEL_TRUNCATE(VARKEL_FILENO(file), before);
    }
    const bool closed = std::fclose(file) == 0;
    if (!ok) return {false, Reason(path, error)};
    if (!closed) return {false, Reason(path, errno)};
    return {true, {}};
}
}  // namespace

DataFileResult CreateDataFile(const char* path) {
    std::FILE* file = std::fopen(path, "w");
    if (!file) return {false, Reason(path, errno)};
    if (std::fclose(file) != 0) return {false, Reason(path, errno)};
    return {true, {}};
}

std::string FormatDataLine(double elapsedSeconds, double voltage, double voltagePhase,
                           double current, double currentPhase, double impedance,
                           double impedancePhase) {
    std::string line;
    line.reserve(96);
    const double values[] = {elapsedSeconds, voltage,   voltagePhase,  current,
                             currentPhase,   impedance, impedancePhase};
    for (double value : values) {
        if (!line.empty()) line += ' ';
        AppendGeneral(line, value);
    }
    line += '\n';
    return line;
}

DataFile::Status DataFile::AppendDataLine(const char* path, double elapsedSeconds,
                                          double voltage, double voltagePhase, double current,
                                          double currentPhase, double impedance,
                                          double impedancePhase) {
    m_pending.push_back({path, FormatDataLine(elapsedSeconds, voltage, voltagePhase, current,
                                              currentPhase, impedance, impedancePhase)});
    return WritePending();
}

DataFile::Status DataFile::Flush() { return WritePending(); }

// Writes pending lines in order. Consecutive lines for one file go in one open; once a file
// fails, its later lines wait too, so each file keeps its order. Lines of an earlier run's
// file are still written when that file becomes writable again.
DataFile::Status DataFile::WritePending() {
    Status status;
    std::unordered_set<std::string> failed;
    std::deque<Line> kept;
    std::vector<std::string> batch;
    while (!m_pending.empty()) {
        const std::string path = m_pending.front().path;
        batch.clear();
        while (!m_pending.empty() && m_pending.front().path == path) {
            batch.push_back(std::move(m_pending.front().text));
            m_pending.pop_front();
        }
        DataFileResult result{false, {}};
        if (!failed.count(path)) result = AppendLines(path, batch.data(), batch.size());
        if (!result.ok) {
            if (!result.error.empty()) status.error = result.error;
            failed.insert(path);
            for (auto& text : batch) kept.push_back({path, std::move(text)});
        }
    }
    m_pending = std::move(kept);
    status.pending = m_pending.size();
    status.wroteAll = m_pending.empty();
    return status;
}
