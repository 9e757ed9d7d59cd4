#include "PseudoTerminal.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

bool PseudoTerminal::Fail(const char* step) {
    m_strError = std::string(step) + ": " + std::strerror(errno);
    Close();
    return false;
}

bool PseudoTerminal::Open() {
    Close();
    m_nMasterFd = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_nMasterFd < 0) return Fail("posix_openpt");
    if (grantpt(m_nMasterFd) != 0) return Fail("grantpt");
    if (unlockpt(m_nMasterFd) != 0) return Fail("unlockpt");
    const char* name = ptsname(m_nMasterFd);
    if (!name) return Fail("ptsname");
    m_strSlavePath = name;
    m_nSlaveFd = ::open(m_strSlavePath.c_str(), O_RDWR | O_NOCTTY);
    if (m_nSlaveFd < 0) return Fail(m_strSlavePath.c_str());

    // The pair shares one line discipline: raw on the slave means no echo, no line
    // editing and no "\r" to "\n" mapping for the bytes either way.
    termios settings{};
    if (tcgetattr(m_nSlaveFd, &settings) != 0) return Fail("tcgetattr");
    cfmakeraw(&settings);
    if (tcsetattr(m_nSlaveFd, TCSANOW, &settings) != 0) return Fail("tcsetattr");

    // Replies are dropped rather than block the simulator when nobody reads them.
    const int flags = fcntl(m_nMasterFd, F_GETFL);
    if (flags < 0 || fcntl(m_nMasterFd, F_SETFL, flags | O_NONBLOCK) != 0) return Fail("fcntl");
    return true;
}

void PseudoTerminal::Close() {
    if (m_nMasterFd >= 0) ::close(m_nMasterFd);
    if (m_nSlaveFd >= 0) ::close(m_nSlaveFd);
    m_nMasterFd = -1;
    m_nSlaveFd = -1;
}
