// What --list-ports prints for the devices a system reports and the COMn mapping.

#include <gtest/gtest.h>

#include <map>

#include "app/cli/PortListing.h"
#include "measure/PortMap.h"

namespace {
// Devices with links to them, as /dev/serial/by-id gives them.
std::string ResolveLinks(const std::string& name) {
    static const std::map<std::string, std::string> links = {
        {"/dev/serial/by-id/usb-FTDI_FT232R_A50285BI-if00-port0", "/dev/ttyUSB0"},
    };
    const auto it = links.find(name);
    return it == links.end() ? name : it->second;
}

const SerialDeviceInfo kOnboard = {"/dev/ttyS0", "ttyS0", "", "", "", ""};
const SerialDeviceInfo kAdapter = {"/dev/ttyUSB0", "ttyUSB0",  "FT232R USB UART",
                                   "FTDI",         "A50285BI", "0403:6001"};
const SerialDeviceInfo kModem = {"/dev/ttyACM0", "ttyACM0", "", "Arduino", "", "2341:0043"};

TEST(PortListing, DevicesWithTheirDetailsAndComsThenTheMapping) {
    PortMap ports;
    ports.SetDevice(2, "/dev/serial/by-id/usb-FTDI_FT232R_A50285BI-if00-port0");
    ports.SetDevice(4, "sim");
    // The mapped devices line up two spaces after the longest (53 characters).
    const std::string expected =
        std::string(
            "Serial devices found:\n"
            "  /dev/ttyS0    COM1\n"
            "  /dev/ttyUSB0  COM2\n"
            "      description:   FT232R USB UART\n"
            "      manufacturer:  FTDI\n"
            "      serial number: A50285BI\n"
            "      USB id:        0403:6001\n"
            "  /dev/ttyACM0  no COMn\n"
            "      manufacturer:  Arduino\n"
            "      USB id:        2341:0043\n"
            "\n"
            "COM1 .. COM4:\n"
            "  COM1  /dev/ttyS0\n"
            "  COM2  /dev/serial/by-id/usb-FTDI_FT232R_A50285BI-if00-port0\n") +
        "  COM3  /dev/ttyS2" + std::string(45, ' ') + "not found\n" + "  COM4  sim" +
        std::string(52, ' ') + "the built-in simulated amplifier\n" +
        "\n"
        "To use a device no COMn opens, map one to it (--com2 DEVICE) or record from it\n"
        "directly (--record FILE --port DEVICE ...).\n";
    EXPECT_EQ(FormatPortListing({kOnboard, kAdapter, kModem}, ports, ResolveLinks), expected);
}

TEST(PortListing, OneDeviceOpenedByTwoComsAndNoneFound) {
    PortMap ports;
    ports.SetDevice(1, "/dev/ttyUSB0");
    ports.SetDevice(3, "/dev/ttyUSB0");
    const std::string listing = FormatPortListing({kAdapter}, ports, ResolveLinks);
    EXPECT_NE(listing.find("  /dev/ttyUSB0  COM1, COM3\n"), std::string::npos) << listing;
    EXPECT_EQ(listing.find("no COMn"), std::string::npos) << listing;

    PortMap simulated;
    simulated.SimulateAll();
    EXPECT_EQ(FormatPortListing({}, simulated, ResolveLinks),
              "No serial devices found.\n"
              "\n"
              "COM1 .. COM4:\n"
              "  COM1  sim  the built-in simulated amplifier\n"
              "  COM2  sim  the built-in simulated amplifier\n"
              "  COM3  sim  the built-in simulated amplifier\n"
              "  COM4  sim  the built-in simulated amplifier\n");
}

// On Windows a COMn maps to the system's name, which is the device's short name.
TEST(PortListing, AComMatchesTheShortNameAsWindowsReportsIt) {
    PortMap ports;
    ports.SetDevice(3, "COM7");
    const SerialDeviceInfo com7 = {"\\\\.\\COM7", "COM7", "USB Serial Port", "FTDI", "", ""};
    const std::string listing =
        FormatPortListing({com7}, ports, [](const std::string& name) { return name; });
    EXPECT_NE(listing.find("  \\\\.\\COM7  COM3\n"), std::string::npos) << listing;
    EXPECT_NE(listing.find("  COM3  COM7\n"), std::string::npos) << listing;
}
}  // namespace
