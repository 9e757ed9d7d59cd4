#include "PortMap.h"

#include <cctype>

PortMap::PortMap() {
    for (int n = 1; n <= kPorts; ++n) {
#ifdef _WIN32
        m_devices[n - 1] = "COM" + std::to_string(n);
#else
        m_devices[n - 1] = "/dev/ttyS" + std::to_string(n - 1);
#endif
    }
}

void PortMap::SetDevice(int n, std::string device) {
    if (n < 1 || n > kPorts) return;
    m_devices[n - 1] = std::move(device);
}

void PortMap::SimulateAll() {
    for (auto& device : m_devices) device = kSimulated;
}

int PortMap::ComNumber(const std::string& name) {
    if (name.size() != 4) return 0;
    for (int i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return 0;
    }
    const char digit = name[3];
    return (digit >= '1' && digit <= '0' + kPorts) ? digit - '0' : 0;
}

std::string PortMap::DeviceFor(const std::string& name) const {
    const int n = ComNumber(name);
    return n ? m_devices[n - 1] : name;
}

std::string PortLabel(const std::string& name, const std::string& device) {
    if (device.empty() || device == name) return name;
    return name + " (" + device + ")";
}
