#pragma once
// What varkel --list-ports prints: the serial devices found, with what the system knows of
// each, and which of COM1 .. COM4 opens each one, so a person can find their adapter.
// Plain C++: the devices come in as values.

#include <functional>
#include <string>
#include <vector>

#include "platform/serial/SerialDeviceList.h"

class PortMap;

// The file a device name stands for once links are followed (/dev/serial/by-id/... to
// /dev/ttyUSB0); the name itself where there is nothing to follow.
using DeviceResolver = std::function<std::string(const std::string&)>;

// Each device found, in the order given, with the COMn that open it and its description,
// manufacturer, serial number and USB id where known; then COM1 .. COM4 with their devices,
// each marked when it is not among those found. A COMn opens a device when its mapped name
// is the device, its short name (COM3 on Windows), or resolves to the same file.
std::string FormatPortListing(const std::vector<SerialDeviceInfo>& devices, const PortMap& ports,
                              const DeviceResolver& resolve);
