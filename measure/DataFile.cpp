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
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#define VARKEL_FILENO fileno
#define VARKEL_FSYNC fsync
#define VARKEL_TRUNCATE ftruncate
#endif

namespace {
std::string Reason(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}

}  // namespace

DataFile::~DataFile() { Untrack(); }

// Appends lines to path in one open: all of them reach the disk, or the file is cut back to
// the length it had and none of them counts as written.
DataFileResult DataFile::AppendLines(const std::string& path, const std::string* lines,
                                     std::size_t n) {
    if (DataFileResult restored = RestoreIfReplaced(path); !restored.ok) return restored;
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
    Track(path);
    return {true, {}};
}

#ifdef _WIN32
// An open handle keeps Windows from deleting the file in the first place.
DataFileResult DataFile::RestoreIfReplaced(const std::string&) { return {true, {}}; }
void DataFile::Track(const std::string&) {}
void DataFile::Untrack() {}
#else
DataFileResult DataFile::RestoreIfReplaced(const std::string& path) {
    if (m_trackedFd < 0 || path != m_trackedPath) return {true, {}};
    struct stat old {};
    struct stat now {};
    if (fstat(m_trackedFd, &old) != 0) return {true, {}};
    if (stat(path.c_str(), &now) == 0) {
        const bool same = now.st_dev == old.st_dev && now.st_ino == old.st_ino;
        // Another file in its place that lacks our lines: someone deleted ours and an
        // earlier restore was cut short, or an empty file was put there.
        if (same || now.st_size >= old.st_size) return {true, {}};
    } else if (errno != ENOENT) {
        return {true, {}};  // the folder itself is unusable: the append will say so
    }

    std::FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return {false, Reason(path, errno)};
    char buffer[64 * 1024];
    bool ok = true;
    for (off_t offset = 0; ok && offset < old.st_size;) {
        const ssize_t got = pread(m_trackedFd, buffer, sizeof buffer, offset);
        if (got <= 0) break;
        ok = std::fwrite(buffer, 1, static_cast<std::size_t>(got), out) ==
             static_cast<std::size_t>(got);
        offset += got;
    }
    ok = ok && std::fflush(out) == 0 && fsync(fileno(out)) == 0;
    const int error = errno;
    const bool closed = std::fclose(out) == 0;
    if (!ok || !closed) return {false, Reason(path, ok ? errno : error)};
    Untrack();
    return {true, {}};
}

void DataFile::Track(const std::string& path) {
    struct stat now {};
    if (stat(path.c_str(), &now) != 0) return;
    if (m_trackedFd >= 0 && path == m_trackedPath) {
        struct stat held {};
        if (fstat(m_trackedFd, &held) == 0 && held.st_dev == now.st_dev &&
            held.st_ino == now.st_ino) {
            return;
        }
    }
    Untrack();
    m_trackedFd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_trackedFd >= 0) m_trackedPath = path;
}

void DataFile::Untrack() {
    if (m_trackedFd >= 0) close(m_trackedFd);
    m_trackedFd = -1;
    m_trackedPath.clear();
}
#endif

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

DataFileResult DataFile::Create(const char* path) {
    if (m_trackedPath == path) Untrack();
    return CreateDataFile(path);
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
