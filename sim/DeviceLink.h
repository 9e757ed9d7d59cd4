#pragma once
// DeviceLink: a stable path (a symbolic link) to whichever pseudo-terminal the simulator
// serves now, so a client can find "the same device" again after it was unplugged and
// plugged in anew, as it finds /dev/ttyUSB0 again after an adapter returns.

#include <string>

class DeviceLink {
public:
    explicit DeviceLink(std::string path) : m_strPath(std::move(path)) {}
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;
    ~DeviceLink() { Remove(); }

    // Makes the link point at target, replacing what it pointed at in one step. False with
    // Error() set when the system refuses.
    bool PointAt(const std::string& target);
    // Removes the link: opening the path now fails as for a device that is not there.
    void Remove();

    const std::string& Path() const { return m_strPath; }
    const std::string& Error() const { return m_strError; }

private:
    std::string m_strPath;
    std::string m_strError;
};
