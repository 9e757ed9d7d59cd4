// varkel --list-ports: the serial devices found and the COMn each one serves.

#include <filesystem>
#include <iostream>
#include <system_error>

#include "CliModes.h"
#include "PortListing.h"
#include "QtMessages.h"
#include "app/CommandLine.h"
#include "platform/serial/SerialDeviceList.h"

namespace {
std::string Resolve(const std::string& device) {
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(device, error);
    return error ? device : resolved.string();
}
}  // namespace

int RunListPorts(const CommandLine& line) {
    FilterQtMessages();
    std::cout << FormatPortListing(ListSerialDevices(), PortMapFor(line), Resolve);
    return 0;
}
