#include "DeviceLink.h"

#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

bool DeviceLink::PointAt(const std::string& target) {
    // A new link beside the old one, renamed over it: a client never finds the path missing
    // while it is being moved.
    const std::string temporary = m_strPath + ".new";
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0 ||
        std::rename(temporary.c_str(), m_strPath.c_str()) != 0) {
        m_strError = m_strPath + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

void DeviceLink::Remove() { ::unlink(m_strPath.c_str()); }
