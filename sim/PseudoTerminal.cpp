#include "PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

bool PseudoTerminal::Fail(const char* step) {
    m_error = std::string(step) + ": " + std::strerror(errno);
    Close();
    return false;
}

bool PseudoTerminal::Open() {
    Close();
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) return Fail("posix_openpt");
    if (grantpt(m_master) != 0) return Fail("grantpt");
    if (unlockpt(m_master) != 0) return Fail("unlockpt");
    const char* name = ptsname(m_master);
    if (!name) return Fail("ptsname");
    m_slavePath = name;
    m_slave = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY);
    if (m_slave < 0) return Fail(m_slavePath.c_str());

    // The pair shares one line discipline: raw on the slave means no echo, no line
    // editing and no "\r" to "\n" mapping for the bytes either way.
    termios settings{};
    if (tcgetattr(m_slave, &settings) != 0) return Fail("tcgetattr");
    cfmakeraw(&settings);
    if (tcsetattr(m_slave, TCSANOW, &settings) != 0) return Fail("tcsetattr");

    // Replies are dropped rather than block the simulator when nobody reads them.
    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0) return Fail("fcntl");
    return true;
}

void PseudoTerminal::Close() {
    if (m_master >= 0) ::close(m_master);
    if (m_slave >= 0) ::close(m_slave);
    m_master = -1;
    m_slave = -1;
}
