#pragma once
// The serial devices the operating system reports, as plain values for a listing.

#include <string>
#include <vector>

struct SerialDeviceInfo {
    std::string device;    // what to open: /dev/ttyUSB0, \\.\COM3
    std::string portName;  // the system's short name: ttyUSB0, COM3
    // Each empty where the system does not know it.
    std::string description;
    std::string manufacturer;
    std::string serialNumber;
    std::string usbId;  // "vvvv:pppp" in hex, for a USB adapter
};

// Every serial device found now, sorted by device. Empty when there is none.
std::vector<SerialDeviceInfo> ListSerialDevices();
