#include "SerialDeviceList.h"

#include <QSerialPortInfo>

#include <algorithm>
#include <cstdio>

namespace {
std::string UsbId(const QSerialPortInfo& port) {
    if (!port.hasVendorIdentifier() || !port.hasProductIdentifier()) return {};
    char text[16];
    std::snprintf(text, sizeof text, "%04x:%04x", port.vendorIdentifier(),
                  port.productIdentifier());
    return text;
}
}  // namespace

std::vector<SerialDeviceInfo> ListSerialDevices() {
    std::vector<SerialDeviceInfo> devices;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        SerialDeviceInfo info;
        info.device = port.systemLocation().toStdString();
        info.portName = port.portName().toStdString();
        info.description = port.description().trimmed().toStdString();
        info.manufacturer = port.manufacturer().trimmed().toStdString();
        info.serialNumber = port.serialNumber().trimmed().toStdString();
        info.usbId = UsbId(port);
        devices.push_back(std::move(info));
    }
    std::sort(
        devices.begin(), devices.end(),
        [](const SerialDeviceInfo& a, const SerialDeviceInfo& b) { return a.device < b.device; });
    return devices;
}
