#include "DataFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unordered_set>
#include <vector>

#include "FileSync.h"
#include "NumberFormat.h"

#ifdef _WIN32
#include <io.h>
#define VARKEL_FILENO _fileno
#define VARKEL_FSYNC _commit
#define VARKEL_TRUNCATE _chsize_s
#define VARKEL_TELL _ftelli64
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#define VARKEL_FILENO fileno
#define VARKEL_FSYNC fsync
#define VARKEL_TRUNCATE ftruncate
#define VARKEL_TELL ftello
#endif

namespace {
#ifndef _WIN32
bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Copies every byte of from into to, which is open for appending and empty.
bool CopyInto(int from, off_t size, int to) {
    char buffer[64 * 1024];
    for (off_t offset = 0; offset < size;) {
        const ssize_t got = pread(from, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return got == 0;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = write(to, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return false;
            done += put;
        }
        offset += got;
    }
    return fsync(to) == 0;
}
#endif
}  // namespace

DataFile::~DataFile() { Untrack(); }

// Appends lines to path in one open: all of them reach the disk, or the file is cut back to
// the length it had and none of them counts as written. While guarding the run's own file,
// a file found replaced is first given back every line the tracked one held, and the handle
// kept afterwards is taken from this very open, so no deletion between two lines can slip
// between writing and tracking.
DataFileResult DataFile::AppendLines(const std::string& path, const std::string* lines,
                                     std::size_t n) {
#ifdef _WIN32
    const bool guarded = false;  // a file held open cannot be deleted there
#else
    const bool guarded = m_bGuarding && path == m_strCreatedPath;
#endif
    std::FILE* file = std::fopen(path.c_str(), guarded ? "a+" : "a");
    if (!file) return {false, FileFailure(path, errno)};
    const int fd = VARKEL_FILENO(file);
    bool ok = true;
    int error = 0;
#ifndef _WIN32
    struct stat written {};
    struct stat held {};
    const bool replaced = guarded && m_nTrackedFd >= 0 && fstat(fd, &written) == 0 &&
                          fstat(m_nTrackedFd, &held) == 0 && !SameFile(written, held);
    // A file at least as long as ours in its place is someone else's: it is not overwritten.
    if (replaced && written.st_size < held.st_size) {
        ok = ftruncate(fd, 0) == 0 && CopyInto(m_nTrackedFd, held.st_size, fd);
        if (!ok) error = errno;
    }
#endif
    std::fseek(file, 0, SEEK_END);
    // A 64-bit position: a long run's file may outgrow what a 32-bit long holds.
    const std::int64_t before = VARKEL_TELL(file);
    for (std::size_t i = 0; ok && i < n; ++i) ok = std::fputs(lines[i].c_str(), file) >= 0;
    ok = ok && std::fflush(file) == 0;
    ok = ok && VARKEL_FSYNC(fd) == 0;
    if (!ok && error == 0) error = errno;
    if (!ok && before >= 0) {
        // Drop what did get through, so a retry never leaves half a line behind.
        std::clearerr(file);
        [[maybe_unused]] const int cut = VARKEL_TRUNCATE(fd, before);
    }
#ifndef _WIN32
    if (ok && guarded) {
        struct stat now {};
        const bool sameAsHeld = m_nTrackedFd >= 0 && fstat(fd, &written) == 0 &&
                                fstat(m_nTrackedFd, &now) == 0 && SameFile(written, now);
        if (!sameAsHeld) {
            Untrack();
            m_nTrackedFd = fcntl(fd, F_DUPFD_CLOEXEC, 0);
        }
    }
#endif
    const bool closed = std::fclose(file) == 0;
    if (!ok) return {false, FileFailure(path, error)};
    if (!closed) return {false, FileFailure(path, errno)};
    return {true, {}};
}

void DataFile::Untrack() {
#ifndef _WIN32
    if (m_nTrackedFd >= 0) close(m_nTrackedFd);
#endif
    m_nTrackedFd = -1;
}

DataFileResult CreateDataFile(const char* path) {
    std::FILE* file = std::fopen(path, "w");
    if (!file) return {false, FileFailure(path, errno)};
    if (std::fclose(file) != 0) return {false, FileFailure(path, errno)};
    SyncFolderOf(path);
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

std::size_t DataFile::PendingFor(const std::string& path) const {
    std::size_t n = 0;
    for (const Line& line : m_pending) n += line.path == path ? 1 : 0;
    return n;
}

std::int64_t DataFile::LinesWrittenTo(const std::string& path) const {
    const auto found = m_linesWritten.find(path);
    return found == m_linesWritten.end() ? 0 : found->second;
}

DataFileResult DataFile::Create(const char* path) {
    if (const std::size_t waiting = PendingFor(path); waiting > 0) {
        DataFileResult refused;
        refused.error = std::string(path) + ": " + std::to_string(waiting) +
                        (waiting == 1 ? " line of an earlier run still waits"
                                      : " lines of an earlier run still wait") +
                        " to be written to this file";
        refused.linesWaiting = true;
        return refused;
    }
    Untrack();
    m_strCreatedPath = path;
    m_linesWritten[path] = 0;
    const DataFileResult created = CreateDataFile(path);
    m_bGuarding = created.ok;
    return created;
}

void DataFile::Release() {
    Untrack();
    m_bGuarding = false;
}

DataFile::Status DataFile::AppendDataLine(const char* path, double elapsedSeconds, double voltage,
                                          double voltagePhase, double current, double currentPhase,
                                          double impedance, double impedancePhase) {
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
        if (result.ok) {
            m_linesWritten[path] += static_cast<std::int64_t>(batch.size());
        } else {
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
