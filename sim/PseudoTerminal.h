#pragma once
// PseudoTerminal: a POSIX pseudo-terminal pair in raw mode. The simulator serves the
// master end; a client opens the slave's device path as if it were a serial port.
// We keep a descriptor of our own on the slave open for the pair's whole life: without
// it, the master reads EIO whenever the client closes the slave, e.g. between two runs.

#include <string>

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal() { Close(); }

    // Creates the pair. False with Error() set when the system refuses.
    bool Open();
    // Closes both ends: a client on the slave sees the device hang up.
    void Close();

    bool IsOpen() const { return m_nMasterFd >= 0; }
    int MasterFd() const { return m_nMasterFd; }
    // e.g. "/dev/pts/3"
    const std::string& SlavePath() const { return m_strSlavePath; }
    const std::string& Error() const { return m_strError; }

private:
    bool Fail(const char* step);

    int m_nMasterFd = -1;
    int m_nSlaveFd = -1;
    std::string m_strSlavePath;
    std::string m_strError;
};
