#pragma once
// Advice for a person whose account may not use a serial device: which group to join.

#include <string>

// For a device the calling user may not read and write, a sentence naming the group that
// owns the device file (e.g. "dialout") and how to join it; empty when access is allowed,
// the owner group is unknown, or the system has no such notion.
std::string DeviceAccessHint(const std::string& devicePath);

// False when the calling user may not read and write the device file; true where it may,
// where the file is missing, and where the system has no such notion.
bool MayUseDevice(const std::string& devicePath);
