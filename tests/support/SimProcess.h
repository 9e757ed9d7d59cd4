#pragma once
// SimProcess: a varkel-sim child process serving a pseudo-terminal, for tests that need a
// real tty with the amplifier on the other end. Stopped (SIGTERM) when destroyed.

#include <sys/types.h>
#include <string>
#include <vector>

class SimProcess {
public:
    SimProcess() = default;
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    ~SimProcess();

    // Starts the simulator with args and reads the device path from its first line.
    // False with Error() set when it did not start or printed no path.
    bool Start(const std::vector<std::string>& args = {});
    const std::string& DevicePath() const { return m_devicePath; }
    const std::string& Error() const { return m_error; }

    // Stops it with SIGTERM; returns its exit status, or -1 when it did not exit normally.
    int Stop();
    // Sends signal; 0 when it was sent.
    int Signal(int signal);
    // Waits for the process to end; its exit status, or -1 when it did not exit normally.
    int Wait();

private:
    pid_t m_pid = -1;
    std::string m_devicePath;
    std::string m_error;
};

// The bytes the simulator logged as received ("rx" lines), unescaped and concatenated,
// once they end with expected or a few seconds have passed; what was there then.
std::string WaitForReceivedBytes(const std::string& logPath, const std::string& expected);
// Runs varkel-sim with args to its end, output discarded; its exit status, or -1.
int RunSimToEnd(const std::vector<std::string>& args);

// The bytes the simulator logged as received so far.
std::string ReceivedBytes(const std::string& logPath);
// True once the log holds count lines starting with wanted, false after a few seconds
// without them.
bool WaitForLogLine(const std::string& logPath, const std::string& wanted, int count = 1);
// The "tx" lines of a simulator log, unescaped, one reply each.
std::vector<std::string> SentReplies(const std::string& logPath);
