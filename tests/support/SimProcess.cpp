#include "SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <thread>

#include "SpawnArgv.h"
#include "sim/WireLog.h"

extern char** environ;

namespace {
// Generous: only a broken simulator waits this long.
constexpr int kStartLimitMs = 5000;
constexpr auto kLogLimit = std::chrono::seconds(5);

std::string LoggedBytes(const std::string& logPath, const char* prefix) {
    std::ifstream in(logPath);
    std::string bytes;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(prefix)) bytes += UnescapeBytes(std::string_view(line).substr(3));
    }
    return bytes;
}
}  // namespace

SimProcess::~SimProcess() { Stop(); }

bool SimProcess::Start(const std::vector<std::string>& args) {
    int out[2];
    if (::pipe(out) != 0) {
        m_error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    const SpawnArgv argv(VARKEL_SIM_PATH, args);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const int spawned =
        posix_spawn(&m_pid, VARKEL_SIM_PATH, &actions, nullptr, argv.Data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        m_pid = -1;
        ::close(out[0]);
        m_error = std::string(VARKEL_SIM_PATH) + ": " + std::strerror(spawned);
        return false;
    }

    std::string line;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartLimitMs);
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd fd{out[0], POLLIN, 0};
        if (::poll(&fd, 1, 100) <= 0) continue;
        char buffer[256];
        const ssize_t got = ::read(out[0], buffer, sizeof buffer);
        if (got <= 0) break;
        line.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(out[0]);
    const std::size_t end = line.find('\n');
    if (end == std::string::npos || !line.starts_with('/')) {
        m_error = "varkel-sim printed no device path: \"" + line + "\"";
        Stop();
        return false;
    }
    m_devicePath = line.substr(0, end);
    return true;
}

int SimProcess::Stop() {
    if (m_pid < 0) return -1;
    Signal(SIGTERM);
    return Wait();
}

int SimProcess::Signal(int signal) { return m_pid < 0 ? -1 : ::kill(m_pid, signal); }

int SimProcess::Wait() {
    if (m_pid < 0) return -1;
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string WaitForReceivedBytes(const std::string& logPath, const std::string& expected) {
    const auto deadline = std::chrono::steady_clock::now() + kLogLimit;
    for (;;) {
        const std::string bytes = LoggedBytes(logPath, "rx ");
        if (bytes.ends_with(expected) || std::chrono::steady_clock::now() >= deadline) return bytes;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int RunSimToEnd(const std::vector<std::string>& args) {
    const SpawnArgv argv(VARKEL_SIM_PATH, args);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, VARKEL_SIM_PATH, &actions, nullptr, argv.Data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReceivedBytes(const std::string& logPath) { return LoggedBytes(logPath, "rx "); }

bool WaitForLogLine(const std::string& logPath, const std::string& wanted, int count) {
    const auto deadline = std::chrono::steady_clock::now() + kLogLimit;
    for (;;) {
        std::ifstream in(logPath);
        int found = 0;
        for (std::string line; std::getline(in, line);) found += line.starts_with(wanted) ? 1 : 0;
        if (found >= count) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::vector<std::string> SentReplies(const std::string& logPath) {
    std::ifstream in(logPath);
    std::vector<std::string> replies;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("tx "))
            replies.push_back(UnescapeBytes(std::string_view(line).substr(3)));
    }
    return replies;
}
