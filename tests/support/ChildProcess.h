#pragma once
// ChildProcess: the program under test as a child process, its standard output and error
// caught in files, so a test can signal it mid-run and read what it printed.

#include <sys/types.h>
#include <functional>
#include <string>
#include <vector>

struct ProcessResult {
    int status = -1;  // exit status, or -1 when it did not exit normally (or never started)
    std::string out;
    std::string err;
};

class ChildProcess {
public:
    // outputDir: an existing folder where stdout.txt and stderr.txt are written.
    explicit ChildProcess(std::string outputDir);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts program with args (without the program name). False when it could not start.
    bool Start(const std::string& program, const std::vector<std::string>& args);
    void Signal(int signal);
    // Waits for the exit; only a hung child is killed, after a limit no healthy run nears.
    ProcessResult Wait();

private:
    std::string m_outPath;
    std::string m_errPath;
    pid_t m_pid = -1;
};

// Runs program with args to its end.
ProcessResult RunProcess(const std::string& outputDir, const std::string& program,
                         const std::vector<std::string>& args);

// Polls until predicate holds or a generous limit passes; returns the predicate's last value.
bool WaitUntil(const std::function<bool()>& predicate);
