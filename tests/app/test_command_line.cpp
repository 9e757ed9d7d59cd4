#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace {
using Mode = CommandLine::Mode;

TEST(CommandLine, ModesAndTheirOptions) {
    struct Case {
        std::vector<std::string> args;
        Mode mode;
        std::string error;  // part of the message for Mode::Error
    };
    const Case cases[] = {
        {{}, Mode::Window, ""},
        {{"notes.vkl"}, Mode::Window, ""},
        {{"--simulate"}, Mode::Window, ""},
        {{"-platform", "offscreen", "--simulate"}, Mode::Window, ""},
        {{"--help"}, Mode::Help, ""},
        {{"--simulate", "--version"}, Mode::Version, ""},
        {{"--record", "a.txt", "--port", "sim", "--interval", "2"}, Mode::Record, ""},
        {{"--record=a.txt", "--port=COM2", "--interval=600", "--readings=3"}, Mode::Record, ""},
        {{"--plot", "a.txt", "--png", "a.png", "--size", "640x480"}, Mode::Plot, ""},
        {{"--record", "a.txt", "--port", "sim", "--interval", "1"}, Mode::Error,
         "Please enter an integer between 2 and 600."},
        {{"--record", "a.txt", "--port", "sim", "--interval", "2s"}, Mode::Error,
         "Please enter an integer."},
        {{"--record", "a.txt", "--interval", "2"}, Mode::Error, "--port"},
        {{"--record", "a.txt", "--port", "sim"}, Mode::Error, "--interval"},
        {{"--record", "a.txt", "--port", "sim", "--interval", "2", "--readings", "0"},
         Mode::Error, "--readings"},
        {{"--record"}, Mode::Error, "needs a value"},
        {{"--plot", "a.txt"}, Mode::Error, "--png"},
        {{"--plot", "a.txt", "--png", "b.png", "--size", "0x10"}, Mode::Error, "--size"},
        {{"--plot", "a.txt", "--png", "b.png", "--size", "99999x10"}, Mode::Error, "--size"},
        {{"--plot", "a.txt", "--png", "b.png", "--record", "c.txt"}, Mode::Error, "together"},
        {{"--interval", "2"}, Mode::Error, "go with --record"},
        {{"--bogus"}, Mode::Error, "Unknown option --bogus"},
        {{"a", "b"}, Mode::Error, "Only one document"},
        {{"--com5", "/dev/x"}, Mode::Error, "Unknown option"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const auto& a : c.args) joined += a + " ";
        SCOPED_TRACE(joined);
        const CommandLine line = ParseCommandLine(c.args);
        EXPECT_EQ(line.mode, c.mode);
        if (c.mode == Mode::Error) {
            EXPECT_NE(line.error.find(c.error), std::string::npos) << line.error;
        }
    }
}

TEST(CommandLine, ValuesReachTheirFields) {
    CommandLine record = ParseCommandLine(
        {"--record", "out.txt", "--port", "/dev/ttyUSB0", "--interval", " 10 ", "--readings", "5"});
    EXPECT_EQ(record.recordFile, "out.txt");
    EXPECT_EQ(record.port, "/dev/ttyUSB0");
    EXPECT_EQ(record.interval, 10);
    EXPECT_EQ(record.readings, 5);

    CommandLine plot = ParseCommandLine({"--plot", "in.txt", "--png", "out.png", "--size=800X600"});
    EXPECT_EQ(plot.plotFile, "in.txt");
    EXPECT_EQ(plot.pngFile, "out.png");
    EXPECT_EQ(plot.width, 800);
    EXPECT_EQ(plot.height, 600);
    EXPECT_EQ(ParseCommandLine({"--plot", "in.txt", "--png", "o.png"}).width, 1200);

    EXPECT_EQ(ParseCommandLine({"run.vkl"}).documentFile, "run.vkl");
}

TEST(CommandLine, PortMappingFollowsSimulateThenEachComOption) {
    const PortMap defaults = PortMapFor(ParseCommandLine({}));
    EXPECT_EQ(defaults.DeviceFor("COM1"), "/dev/ttyS0");
    EXPECT_EQ(defaults.DeviceFor("com4"), "/dev/ttyS3");
    EXPECT_EQ(defaults.DeviceFor("/dev/ttyACM0"), "/dev/ttyACM0");

    const PortMap mapped =
        PortMapFor(ParseCommandLine({"--simulate", "--com2", "/dev/ttyUSB0", "--com4=sim"}));
    EXPECT_EQ(mapped.DeviceFor("COM1"), "sim");
    EXPECT_EQ(mapped.DeviceFor("COM2"), "/dev/ttyUSB0");
    EXPECT_EQ(mapped.DeviceFor("COM3"), "sim");
    EXPECT_EQ(mapped.DeviceFor("COM4"), "sim");
}

TEST(CommandLine, HelpExplainsThePortOptions) {
    const std::string help = HelpText("varkel");
    for (const char* needle : {"--com1 DEVICE", "--simulate", "/dev/ttyS1", "--record FILE",
                               "--plot DATAFILE", "sim"}) {
        EXPECT_NE(help.find(needle), std::string::npos) << needle;
    }
}
}  // namespace
