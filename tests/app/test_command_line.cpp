#include <gtest/gtest.h>

#include <cstdint>
#include <map>

#include "app/CommandLine.h"
#include "app/DisplayCheck.h"

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
        {{"-h"}, Mode::Help, ""},
        {{"--list-ports"}, Mode::ListPorts, ""},
        {{"--list-ports", "--simulate", "--com2=/dev/ttyUSB0"}, Mode::ListPorts, ""},
        {{"--record", "a.txt", "--port", "sim", "--interval", "2", "--overwrite"},
         Mode::Record,
         ""},
        {{"--simulate", "--version"}, Mode::Version, ""},
        {{"--record", "a.txt", "--port", "sim", "--interval", "2"}, Mode::Record, ""},
        {{"--record=a.txt", "--port=COM2", "--interval=600", "--readings=3"}, Mode::Record, ""},
        {{"--plot", "a.txt", "--png", "a.png", "--size", "640x480"}, Mode::Plot, ""},
        {{"--record", "a.txt", "--port", "sim", "--interval", "1"},
         Mode::Error,
         "Please enter an integer between 2 and 600."},
        {{"--record", "a.txt", "--port", "sim", "--interval", "2s"},
         Mode::Error,
         "Please enter an integer."},
        {{"--record", "a.txt", "--interval", "2"}, Mode::Error, "--port"},
        {{"--record", "a.txt", "--port", "sim"}, Mode::Error, "--interval"},
        {{"--record", "a.txt", "--port", "sim", "--interval", "2", "--readings", "0"},
         Mode::Error,
         "--readings"},
        {{"--record"}, Mode::Error, "needs a value"},
        {{"--plot", "a.txt"}, Mode::Error, "--png"},
        {{"--plot", "a.txt", "--png", "b.png", "--size", "0x10"}, Mode::Error, "--size"},
        {{"--plot", "a.txt", "--png", "b.png", "--size", "99999x10"}, Mode::Error, "--size"},
        {{"--plot", "a.txt", "--png", "b.png", "--record", "c.txt"}, Mode::Error, "together"},
        {{"--interval", "2"}, Mode::Error, "--interval goes with --record"},
        {{"--bogus"}, Mode::Error, "Unknown option --bogus"},
        {{"a", "b"}, Mode::Error, "Only one document"},
        {{"--com5", "/dev/x"}, Mode::Error, "Unknown option"},
        {{"-v"}, Mode::Error, "Unknown option -v"},
        {{"--list-ports", "--plot", "a.txt", "--png", "b.png"}, Mode::Error, "together"},
        {{"--record", "a.txt", "--port", "sim", "--interval", "2", "--list-ports"},
         Mode::Error,
         "--record and --list-ports cannot be used together"},
        // Given twice, a flag given a value, a value left out.
        {{"--record", "a.txt", "--record", "b.txt", "--port", "sim", "--interval", "2"},
         Mode::Error,
         "--record is given twice"},
        {{"--simulate", "--simulate"}, Mode::Error, "--simulate is given twice"},
        {{"--simulate=no"}, Mode::Error, "--simulate takes no value"},
        {{"--record", "a.txt", "--port", "sim", "--interval", "2", "--overwrite=yes"},
         Mode::Error,
         "--overwrite takes no value"},
        {{"--record=", "--port", "sim", "--interval", "2"}, Mode::Error, "--record needs a value"},
        {{"--record", "--port", "sim", "--interval", "2"}, Mode::Error, "--record needs a value"},
        {{"--record", "a.txt", "--port", "sim", "--interval", "2", "--readings", "1099511627777"},
         Mode::Error,
         "--readings"},
        {{"--record", "a.txt", "--port", "sim", "--interval", "2", "--readings", "-3"},
         Mode::Error,
         "--readings"},
        {{"--list-ports", "extra.txt"}, Mode::Error, "Unexpected argument extra.txt"},
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

// Each option given to a mode it has no effect in is refused, naming the option.
TEST(CommandLine, AnOptionOfAnotherModeIsRefusedByName) {
    const std::vector<std::string> record = {"--record", "a.txt",      "--port",
                                             "sim",      "--interval", "2"};
    const std::vector<std::string> plot = {"--plot", "a.txt", "--png", "b.png"};
    const std::vector<std::string> listPorts = {"--list-ports"};
    const std::vector<std::string> window = {};
    struct Case {
        const std::vector<std::string>* mode;
        std::vector<std::string> extra;
        std::string named;  // the message starts with it
    };
    const Case cases[] = {
        {&record, {"--png", "c.png"}, "--png goes with --plot"},
        {&record, {"--size", "640x480"}, "--size goes with --plot"},
        {&plot, {"--port", "sim"}, "--port goes with --record"},
        {&plot, {"--interval", "2"}, "--interval goes with --record"},
        {&plot, {"--readings", "3"}, "--readings goes with --record"},
        {&plot, {"--overwrite"}, "--overwrite goes with --record"},
        {&plot, {"--simulate"}, "--simulate maps a port"},
        {&plot, {"--com1", "/dev/ttyUSB0"}, "--com1 maps a port"},
        {&listPorts, {"--port", "sim"}, "--port goes with --record"},
        {&listPorts, {"--overwrite"}, "--overwrite goes with --record"},
        {&listPorts, {"--size", "10x10"}, "--size goes with --plot"},
        {&window, {"--overwrite"}, "--overwrite goes with --record"},
        {&window, {"--readings", "3"}, "--readings goes with --record"},
        {&window, {"--png", "b.png"}, "--png goes with --plot"},
    };
    for (const Case& c : cases) {
        // Before and after the mode's own options: the order must not matter.
        for (const bool extraFirst : {false, true}) {
            std::vector<std::string> args = extraFirst ? c.extra : *c.mode;
            const std::vector<std::string>& rest = extraFirst ? *c.mode : c.extra;
            args.insert(args.end(), rest.begin(), rest.end());
            std::string joined;
            for (const auto& a : args) joined += a + " ";
            SCOPED_TRACE(joined);
            const CommandLine line = ParseCommandLine(args);
            ASSERT_EQ(line.mode, Mode::Error);
            EXPECT_EQ(line.error.rfind(c.named, 0), 0u) << line.error;
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
    EXPECT_FALSE(record.overwrite);

    // Counts past 32 bits stay exact, up to 2^40.
    const CommandLine many = ParseCommandLine({"--record", "o.txt", "--port", "sim", "--interval",
                                               "2", "--readings", "5000000000", "--overwrite"});
    EXPECT_EQ(many.readings, std::int64_t{5000000000});
    EXPECT_TRUE(many.overwrite);
    EXPECT_EQ(ParseCommandLine({"--record", "o.txt", "--port", "sim", "--interval", "2",
                                "--readings", "1099511627776"})
                  .readings,
              std::int64_t{1099511627776});

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

    const PortMap listed = PortMapFor(ParseCommandLine({"--list-ports", "--com3", "/dev/ttyACM0"}));
    EXPECT_EQ(listed.DeviceFor("COM3"), "/dev/ttyACM0");
    EXPECT_EQ(listed.DeviceFor("COM1"), "/dev/ttyS0");
}

TEST(CommandLine, HelpExplainsThePortOptions) {
    const std::string help = HelpText("varkel");
    for (const char* needle :
         {"--com1 DEVICE", "--simulate", "/dev/ttyS1", "--record FILE", "--plot DATAFILE", "sim",
          "-h | --help", "--overwrite", "--list-ports", "FILE.json", "Exit status: 0",
          "2 a command-line error"}) {
        EXPECT_NE(help.find(needle), std::string::npos) << needle;
    }
}

// The version comes from the project's one version, handed to this test by CMake.
TEST(CommandLine, VersionIsTheProjectVersion) {
    EXPECT_EQ(VersionText(), std::string("Varkel ") + VARKEL_EXPECTED_VERSION + "\n");
}

TEST(DisplayCheck, OnlyAMissingDisplayWithoutAnExplicitPlatformCounts) {
    using Env = std::map<std::string, std::string>;
    struct Case {
        Env env;
        std::vector<std::string> args;
        bool lacks;
    };
    const Case cases[] = {
        {{}, {}, true},
        {{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}, {}, true},
        {{}, {"--simulate", "notes.vkl"}, true},
        {{{"DISPLAY", ":0"}}, {}, false},
        {{{"WAYLAND_DISPLAY", "wayland-0"}}, {}, false},
        {{{"QT_QPA_PLATFORM", "offscreen"}}, {}, false},
        {{}, {"-platform", "offscreen"}, false},
        {{}, {"-display", ":1"}, false},
    };
    for (const Case& c : cases) {
        const EnvironmentReader read = [&](const char* name) {
            const auto it = c.env.find(name);
            return it == c.env.end() ? std::string() : it->second;
        };
#if defined(_WIN32) || defined(__APPLE__)
        EXPECT_FALSE(LacksDisplay(read, c.args));
#else
        EXPECT_EQ(LacksDisplay(read, c.args), c.lacks);
#endif
    }
    const std::string text = NoDisplayText("varkel", NoDisplayReason());
    for (const char* needle :
         {"varkel: ", "DISPLAY", "WAYLAND_DISPLAY", "--record FILE", "--plot DATAFILE", "--help"}) {
        EXPECT_NE(text.find(needle), std::string::npos) << needle;
    }
}
}  // namespace
