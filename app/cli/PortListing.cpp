#include "PortListing.h"

#include <algorithm>

#include "measure/PortMap.h"

namespace {
std::string ComName(int n) { return "COM" + std::to_string(n); }

std::string Padded(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

bool Opens(const std::string& mapped, const SerialDeviceInfo& device,
           const DeviceResolver& resolve) {
    if (mapped == PortMap::kSimulated) return false;
    return mapped == device.device || mapped == device.portName ||
           resolve(mapped) == resolve(device.device);
}

// "COM1, COM3", or empty when no COMn opens the device.
std::string ComsFor(const SerialDeviceInfo& device, const PortMap& ports,
                    const DeviceResolver& resolve) {
    std::string names;
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        if (!Opens(ports.DeviceFor(ComName(n)), device, resolve)) continue;
        if (!names.empty()) names += ", ";
        names += ComName(n);
    }
    return names;
}

void AddDetail(std::string& text, const char* label, const std::string& value) {
    if (!value.empty()) text += std::string("      ") + Padded(label, 15) + value + "\n";
}
}  // namespace

std::string FormatPortListing(const std::vector<SerialDeviceInfo>& devices, const PortMap& ports,
                              const DeviceResolver& resolve) {
    std::string text;
    std::size_t width = 0;
    for (const SerialDeviceInfo& device : devices) width = std::max(width, device.device.size());
    width += 2;

    bool someUnmapped = false;
    if (devices.empty()) {
        text += "No serial devices found.\n";
    } else {
        text += "Serial devices found:\n";
        for (const SerialDeviceInfo& device : devices) {
            std::string coms = ComsFor(device, ports, resolve);
            if (coms.empty()) {
                coms = "no COMn";
                someUnmapped = true;
            }
            text += "  " + Padded(device.device, width) + coms + "\n";
            AddDetail(text, "description:", device.description);
            AddDetail(text, "manufacturer:", device.manufacturer);
            AddDetail(text, "serial number:", device.serialNumber);
            AddDetail(text, "USB id:", device.usbId);
        }
    }

    text += "\nCOM1 .. COM4:\n";
    std::size_t mappedWidth = 0;
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        mappedWidth = std::max(mappedWidth, ports.DeviceFor(ComName(n)).size());
    }
    mappedWidth += 2;
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        const std::string mapped = ports.DeviceFor(ComName(n));
        std::string note;
        if (mapped == PortMap::kSimulated) {
            note = "the built-in simulated amplifier";
        } else if (std::none_of(devices.begin(), devices.end(),
                                [&](const SerialDeviceInfo& device) {
                                    return Opens(mapped, device, resolve);
                                })) {
            note = "not found";
        }
        text += "  " + ComName(n) + "  " +
                (note.empty() ? mapped : Padded(mapped, mappedWidth) + note) + "\n";
    }
    if (someUnmapped) {
        text +=
            "\nTo use a device no COMn opens, map one to it (--com2 DEVICE) or record from it\n"
            "directly (--record FILE --port DEVICE ...).\n";
    }
    return text;
}
