#pragma once
// Maps the four port choices "COM1" .. "COM4" to devices. On Windows they are the system's
// COMn; elsewhere /dev/ttyS0 .. /dev/ttyS3 unless overridden (a device path, or "sim" for
// the built-in simulated amplifier).

#include <array>
#include <string>

class PortMap {
public:
    static constexpr int kPorts = 4;
    static constexpr const char* kSimulated = "sim";

    PortMap();

    // n is 1 .. 4. Out-of-range numbers are ignored.
    void SetDevice(int n, std::string device);
    // Every port served by the simulated amplifier.
    void SimulateAll();

    // "COM1" .. "COM4" (case-insensitive) give their mapped device; any other name is taken
    // as a device itself, so a caller may pass a path or "sim" directly.
    std::string DeviceFor(const std::string& name) const;

    // The port number 1 .. 4 of a name "COMn", or 0 when the name is not one of them.
    static int ComNumber(const std::string& name);

private:
    std::array<std::string, kPorts> m_devices;
};

// A port as a person knows it: "COM2 (/dev/ttyUSB0)" for a mapped choice, the device alone
// when it was named directly.
std::string PortLabel(const std::string& name, const std::string& device);
