// The built varkel as a person runs it: options of the wrong mode, a data file that would
// be replaced, no display for the window, the port listing, the version.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>

#include "ChildProcess.h"
#include "TempDir.h"

namespace {
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Sets or unsets environment variables for one scope (the children inherit them).
class EnvironmentOverride {
public:
    EnvironmentOverride(
        std::initializer_list<std::pair<const char*, std::optional<std::string>>> values) {
        for (const auto& [name, value] : values) {
            const char* before = std::getenv(name);
            m_saved.emplace_back(name, before ? std::optional<std::string>(before) : std::nullopt);
            Apply(name, value);
        }
    }
    ~EnvironmentOverride() {
        for (const auto& [name, value] : m_saved) Apply(name.c_str(), value);
    }

private:
    static void Apply(const char* name, const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

class ProgramEndToEnd : public ::testing::Test {
protected:
    ProcessResult Run(const std::vector<std::string>& args) {
        return RunProcess(m_dir.Path().string(), VARKEL_PATH, args);
    }

    TempDir m_dir;
};

TEST_F(ProgramEndToEnd, AnOptionOfTheOtherModeIsRefusedByNameBeforeAnythingHappens) {
    const std::string data = m_dir.File("run.txt");
    const std::string png = m_dir.File("out.png");
    const std::vector<std::string> record = {"--record", data, "--port", "sim", "--interval", "2"};
    const std::vector<std::string> plot = {"--plot", data, "--png", png};
    struct Case {
        std::vector<std::string> mode;
        std::vector<std::string> extra;
        std::string errStart;
    } const cases[] = {
        {record, {"--png", png}, "varkel: --png goes with --plot DATAFILE, not with --record FILE"},
        {record,
         {"--size", "640x480"},
         "varkel: --size goes with --plot DATAFILE, not with --record FILE"},
        {plot,
         {"--port", "sim"},
         "varkel: --port goes with --record FILE, not with --plot DATAFILE"},
        {plot,
         {"--interval", "2"},
         "varkel: --interval goes with --record FILE, not with --plot DATAFILE"},
        {plot,
         {"--readings", "5"},
         "varkel: --readings goes with --record FILE, not with --plot DATAFILE"},
        {{}, {"--port", "sim"}, "varkel: --port goes with --record FILE;"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.mode;
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        SCOPED_TRACE(c.errStart);
        const ProcessResult run = Run(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.rfind(c.errStart, 0), 0u) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(std::filesystem::exists(data));
        EXPECT_FALSE(std::filesystem::exists(png));
    }
}

TEST_F(ProgramEndToEnd, ARecordingNeverReplacesDataUnlessToldTo) {
    const std::string data = m_dir.File("last-night.txt");
    const std::string kept = "2 0.1 0 1e-06 0 100000 0\n4 0.1 0 1.2e-06 31 85000 -31\n";
    { std::ofstream(data, std::ios::binary) << kept; }

    const std::vector<std::string> args = {"--record",   data, "--port",     "sim",
                                           "--interval", "2",  "--readings", "1"};
    const ProcessResult refused = Run(args);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "varkel: " + data + " already holds data (" +
                               std::to_string(kept.size()) +
                               " bytes); a new run would replace it. Name another file, or add "
                               "--overwrite to replace it.\n");
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(ReadWholeFile(data), kept);
    EXPECT_FALSE(std::filesystem::exists(data + ".json"));

    std::vector<std::string> overwrite = args;
    overwrite.push_back("--overwrite");
    const ProcessResult replaced = Run(overwrite);
    ASSERT_EQ(replaced.status, 0) << replaced.err;
    const std::vector<std::string> lines = ReadLines(data);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(Lines(replaced.out).size(), 1u) << replaced.out;
    EXPECT_NE(lines[0] + "\n", kept.substr(0, kept.find('\n') + 1));
}

TEST_F(ProgramEndToEnd, TheWindowWithoutADisplaySaysWhatToDoInsteadOfAborting) {
    {
        const EnvironmentOverride none{{"DISPLAY", std::nullopt},
                                       {"WAYLAND_DISPLAY", std::nullopt},
                                       {"QT_QPA_PLATFORM", std::nullopt}};
        for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"--simulate"}}) {
            const ProcessResult run = Run(args);
            EXPECT_EQ(run.status, 2) << run.err;
            EXPECT_EQ(
                run.err.rfind("varkel: there is no display to open the window on (neither DISPLAY "
                              "nor WAYLAND_DISPLAY is set).\n",
                              0),
                0u)
                << run.err;
            for (const char* hint : {"set DISPLAY", "varkel --record FILE",
                                     "varkel --plot DATAFILE", "varkel --help"}) {
                EXPECT_NE(run.err.find(hint), std::string::npos) << hint << " in " << run.err;
            }
            EXPECT_EQ(run.out, "");
        }
    }
    {
        // A display named but not there: the platform plugin fails to start.
        const EnvironmentOverride unreachable{{"DISPLAY", ":64999"},
                                              {"WAYLAND_DISPLAY", std::nullopt},
                                              {"QT_QPA_PLATFORM", std::nullopt}};
        const ProcessResult run = Run({});
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(
            run.err.find("varkel: the window could not be opened: no display could be reached "
                         "(DISPLAY=:64999)."),
            std::string::npos)
            << run.err;
        EXPECT_EQ(run.err.find("Reinstalling"), std::string::npos) << run.err;
    }
}

TEST_F(ProgramEndToEnd, ListPortsShowsEachDeviceAndWhatEachComOpens) {
    const std::string missing = m_dir.File("no-such-device");
    const ProcessResult run = Run({"--list-ports", "--com2", "sim", "--com3", missing});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_GE(lines.size(), 6u) << run.out;

    // Whatever this machine has: a heading, then per device its line and its details.
    const std::regex device(R"(  \S+ +(COM[1-4](, COM[1-4])*|no COMn))");
    const std::regex detail(
        R"(      (description:   |manufacturer:  |serial number: |USB id:        )\S.*)");
    std::size_t i = 0;
    if (lines[0] == "Serial devices found:") {
        for (i = 1; i < lines.size() && !lines[i].empty(); ++i) {
            EXPECT_TRUE(std::regex_match(lines[i], device) || std::regex_match(lines[i], detail))
                << lines[i];
        }
        EXPECT_GE(i, 2u) << "a heading with no device under it";
    } else {
        EXPECT_EQ(lines[0], "No serial devices found.");
        i = 1;
    }
    ASSERT_GE(lines.size(), i + 6) << run.out;
    EXPECT_EQ(lines[i], "");
    EXPECT_EQ(lines[i + 1], "COM1 .. COM4:");
    EXPECT_EQ(lines[i + 2].rfind("  COM1  /dev/ttyS0", 0), 0u) << lines[i + 2];
    const std::regex simulated(R"(  COM2  sim +the built-in simulated amplifier)");
    EXPECT_TRUE(std::regex_match(lines[i + 3], simulated)) << lines[i + 3];
    const std::regex notFound("  COM3  " + missing + " +not found");
    EXPECT_TRUE(std::regex_match(lines[i + 4], notFound)) << lines[i + 4];
    EXPECT_EQ(lines[i + 5].rfind("  COM4  /dev/ttyS3", 0), 0u) << lines[i + 5];
}

TEST_F(ProgramEndToEnd, VersionAndHelp) {
    const ProcessResult version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("Varkel ") + VARKEL_EXPECTED_VERSION + "\n");

    const ProcessResult help = Run({"-h"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage:\n"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--list-ports"), std::string::npos) << help.out;
}
}  // namespace
