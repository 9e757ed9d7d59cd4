#include "DeviceAccessHint.h"

#if defined(__unix__) || defined(__APPLE__)
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

bool MayUseDevice(const std::string& devicePath) {
    struct stat info {};
    return ::stat(devicePath.c_str(), &info) != 0 || ::access(devicePath.c_str(), R_OK | W_OK) == 0;
}

std::string DeviceAccessHint(const std::string& devicePath) {
    struct stat info {};
    if (::stat(devicePath.c_str(), &info) != 0) return {};
    if (MayUseDevice(devicePath)) return {};
    const group* owner = ::getgrgid(info.st_gid);
    if (!owner || !owner->gr_name) return {};
    const std::string name = owner->gr_name;
    if (info.st_gid == 0) {
        // Joining the superuser's group is no advice to give: access must be granted.
        return "Your account may not use " + devicePath + ", which only the group \"" + name +
               "\" may use; ask an administrator to grant access (for example with a udev rule).";
    }
    return "Your account may not use " + devicePath + ". Join the group \"" + name +
           "\" that owns it (for example: sudo usermod -aG " + name + " $USER), then log in again.";
}
#else
bool MayUseDevice(const std::string&) { return true; }
std::string DeviceAccessHint(const std::string&) { return {}; }
#endif
