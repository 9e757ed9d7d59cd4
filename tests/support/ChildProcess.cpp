#include "ChildProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <thread>

#include "SpawnArgv.h"
#include "TempDir.h"

extern char** environ;

namespace {
// Only a hung child gets near this; a healthy run takes a few seconds.
constexpr auto kLimit = std::chrono::seconds(60);
constexpr auto kPoll = std::chrono::milliseconds(20);
}  // namespace

ChildProcess::ChildProcess(std::string outputDir)
    : m_outPath(outputDir + "/stdout.txt"), m_errPath(outputDir + "/stderr.txt") {}

ChildProcess::~ChildProcess() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        Wait();
    }
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args) {
    const SpawnArgv argv(program, args);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, m_outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, m_errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    const int spawned =
        posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.Data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) m_pid = -1;
    return spawned == 0;
}

void ChildProcess::Signal(int signal) {
    if (m_pid > 0) ::kill(m_pid, signal);
}

ProcessResult ChildProcess::Wait() {
    ProcessResult result;
    if (m_pid <= 0) return result;
    const auto deadline = std::chrono::steady_clock::now() + kLimit;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid) break;
        if (done < 0 && errno != EINTR) break;
        if (std::chrono::steady_clock::now() > deadline) ::kill(m_pid, SIGKILL);
        std::this_thread::sleep_for(kPoll);
    }
    m_pid = -1;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadWholeFile(m_outPath);
    result.err = ReadWholeFile(m_errPath);
    return result;
}

ProcessResult RunProcess(const std::string& outputDir, const std::string& program,
                         const std::vector<std::string>& args) {
    ChildProcess child(outputDir);
    if (!child.Start(program, args)) return {};
    return child.Wait();
}

bool WaitUntil(const std::function<bool()>& predicate) {
    const auto deadline = std::chrono::steady_clock::now() + kLimit;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > deadline) return predicate();
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}
