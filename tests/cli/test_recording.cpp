// The recording loop on a scripted amplifier and a fake clock: what goes over the wire, what
// reaches the file and the two streams, and the exit status of each way a run ends.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "FakeClock.h"
#include "FakeSerialPort.h"
#include "TempDir.h"

#include <nlohmann/json.hpp>
#include "app/cli/Recording.h"
#include "measure/PortMap.h"

namespace {
const std::string kOneReading = "OUTP ? 3\rOUTP ? 4\r";

class RecordingTest : public ::testing::Test {
protected:
    RecordingTest() : m_factory(m_line, &m_clock) {
        m_line->responder = Amplifier("0.5", "-12.5", "0.02", "-40.25");
        m_request.file = m_dir.File("run.txt");
        m_request.port = "/dev/fake";
        m_request.interval = 2;
    }

    int Run(std::function<bool()> stop = [] { return false; }) {
        return RunRecording(m_request, m_ports, m_factory, m_clock, m_out, m_err, stop);
    }

    TempDir m_dir;
    FakeClock m_clock;
    std::shared_ptr<FakeLine> m_line = std::make_shared<FakeLine>();
    FakePortFactory m_factory;
    PortMap m_ports;
    RecordRequest m_request;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}
}  // namespace

TEST_F(RecordingTest, TakesTheReadingsAskedForOnWholeSecondsAndReleasesTheAmplifier) {
    m_request.readings = 2;
    ASSERT_EQ(Run(), 0) << m_err.str();

    EXPECT_EQ(m_line->wire, "LOCL 1\r" + kOneReading + kOneReading + "LOCL 0\r");
    EXPECT_EQ(m_line->closes, 1);
    EXPECT_FALSE(m_line->open);
    // Time zero after the 300 ms settling wait; readings on the 2nd and 4th tick from it.
    // The first reading reads the voltage with the current still 0, raised to 1e-6 A.
    EXPECT_EQ(ReadLines(m_request.file),
              (std::vector<std::string>{"2 0.05 -12.5 1e-06 0 50000 -12.5",
                                        "4 0.05 -12.5 2e-06 -40.25 25000 27.75"}));
    EXPECT_EQ(Lines(m_out.str()),
              (std::vector<std::string>{"Time= 2.000 s, Voltage=50.0 mV, -12.500, Current=1.0 uA, "
                                        "0.000, Impedance=50000.0 Ohm, -12.500",
                                        "Time= 4.000 s, Voltage=50.0 mV, -12.500, Current=2.0 uA, "
                                        "-40.250, Impedance=25000.0 Ohm, 27.750"}));
    EXPECT_EQ(m_err.str().find("Can't"), std::string::npos) << m_err.str();

    const nlohmann::json record = nlohmann::json::parse(ReadWholeFile(m_request.file + ".json"));
    EXPECT_EQ(record["end_reason"], "readings done");
    EXPECT_EQ(record["port"], "/dev/fake");
    EXPECT_EQ(record["readings_attempted"], 2);
    EXPECT_EQ(record["lines_written"], 2);
    EXPECT_EQ(record["started_utc"], "2026-12-11T03:00:00.300Z");  // after the settling wait
    EXPECT_EQ(record["ended_utc"], "2026-12-11T03:00:04.300Z");
}

TEST_F(RecordingTest, ARecordThatCannotBeWrittenIsToldAndTheRunGoesOn) {
    std::filesystem::create_directory(m_request.file + ".json.tmp");
    m_request.readings = 2;
    EXPECT_EQ(Run(), kExitSuccess);
    EXPECT_NE(m_err.str().find("The run record could not be written: " + m_request.file +
                               ".json.tmp: Is a directory"),
              std::string::npos)
        << m_err.str();
    EXPECT_EQ(ReadLines(m_request.file).size(), 2u);
}

TEST_F(RecordingTest, AStopRequestWhileWaitingEndsTheRunCleanlyWithEveryLineKept) {
    const int stopAtMs = 3500;  // between the first reading (2.3 s) and the second (4.3 s)
    ASSERT_EQ(Run([&] { return m_clock.Milliseconds() >= stopAtMs; }), 0) << m_err.str();

    EXPECT_EQ(m_line->wire, "LOCL 1\r" + kOneReading + "LOCL 0\r");
    EXPECT_EQ(m_line->closes, 1);
    EXPECT_EQ(ReadLines(m_request.file).size(), 1u);
    EXPECT_EQ(Lines(m_out.str()).size(), 1u);
    // Noticed within one polling slice, not at the next tick.
    EXPECT_LT(m_clock.Milliseconds(), stopAtMs + 100);
    const nlohmann::json record = nlohmann::json::parse(ReadWholeFile(m_request.file + ".json"));
    EXPECT_EQ(record["end_reason"], "signal");
    EXPECT_EQ(record["lines_written"], 1);
}

TEST_F(RecordingTest, AStopRequestBeforeTheFirstTickStillSendsLocl0) {
    ASSERT_EQ(Run([] { return true; }), 0);
    EXPECT_EQ(m_line->wire, "LOCL 1\rLOCL 0\r");
    EXPECT_TRUE(std::filesystem::exists(m_request.file));
    EXPECT_EQ(std::filesystem::file_size(m_request.file), 0u);
}

TEST_F(RecordingTest, AFileThatCannotBeCreatedFailsBeforeThePortIsOpened) {
    m_request.file = m_dir.File("missing/run.txt");
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(m_err.str().rfind("Can't create file: " + m_request.file + ": ", 0), 0u)
        << m_err.str();
    EXPECT_EQ(m_line->opens, 0);
}

TEST_F(RecordingTest, APortThatCannotBeOpenedSaysWhyAndLeavesTheEmptyFile) {
    m_line->openFails = true;
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(m_err.str(), "Can't open serial port: /dev/fake: Permission denied\n");
    EXPECT_EQ(std::filesystem::file_size(m_request.file), 0u);
    EXPECT_TRUE(m_out.str().empty());
}

TEST_F(RecordingTest, ASilentAmplifierIsReportedAndWritesNoLine) {
    m_line->responder = nullptr;
    m_request.readings = 1;
    EXPECT_EQ(Run(), 0);
    EXPECT_NE(m_err.str().find(
                  "The amplifier gave no valid reply: no valid voltage amplitude: no reply came"),
              std::string::npos)
        << m_err.str();
    EXPECT_TRUE(m_out.str().empty());
    EXPECT_EQ(std::filesystem::file_size(m_request.file), 0u);
    EXPECT_TRUE(m_line->wire.ends_with("LOCL 0\r"));
}

TEST_F(RecordingTest, ADeviceThatStaysGoneIsWaitedForAndTheRunEndsWithStatus3) {
    // Gone in the middle of the second reading's first query, and never back.
    m_line->vanishAfterWrites = static_cast<int>(("LOCL 1\r" + kOneReading + "OUTP").size());
    m_request.readings = 4;
    EXPECT_EQ(Run(), kExitDeviceGone);
    const std::string err = m_err.str();
    EXPECT_NE(err.find(" Lost /dev/fake: /dev/fake: the device is no longer there. Waiting for it "
                       "to come back; readings are missed meanwhile."),
              std::string::npos)
        << err;
    // Once when it goes, not at every missed reading; no reply warnings meanwhile.
    EXPECT_EQ(err.find("Lost", err.find("Lost") + 1), std::string::npos) << err;
    EXPECT_EQ(err.find("no valid reply"), std::string::npos) << err;
    EXPECT_NE(
        err.find("The run ended while /dev/fake was still gone; 3 readings missed since it went."),
        std::string::npos)
        << err;
    EXPECT_EQ(ReadLines(m_request.file).size(), 1u);
    EXPECT_EQ(Lines(m_out.str()).size(), 1u);
    const nlohmann::json record = nlohmann::json::parse(ReadWholeFile(m_request.file + ".json"));
    EXPECT_EQ(record["end_reason"], "device gone");
    ASSERT_EQ(record["outages"].size(), 1u);
    EXPECT_TRUE(record["outages"][0]["back_utc"].is_null());
}

TEST_F(RecordingTest, ADeviceThatComesBackLetsTheRunFinishWithStatus0) {
    m_request.readings = 5;
    // The adapter is pulled as the first reading asks for its amplitude, and plugged in
    // 3 s later.
    int commands = 0;
    auto amplifier = m_line->responder;
    m_line->responder = [&](const std::string& command, bool dtr) {
        if (++commands == 2) m_line->Unplug();
        return amplifier(command, dtr);
    };
    long long unpluggedAtMs = -1;
    const auto stop = [&] {
        if (m_line->vanished && unpluggedAtMs < 0) unpluggedAtMs = m_clock.Milliseconds();
        if (unpluggedAtMs >= 0 && m_line->openFails &&
            m_clock.Milliseconds() >= unpluggedAtMs + 3000) {
            m_line->Plug();
        }
        return false;
    };
    EXPECT_EQ(Run(stop), kExitSuccess) << m_err.str();
    const std::string err = m_err.str();
    EXPECT_NE(err.find("Lost /dev/fake"), std::string::npos) << err;
    EXPECT_NE(err.find("/dev/fake is back after 4 s; 2 readings missed. Recording goes on in " +
                       m_request.file + "."),
              std::string::npos)
        << err;
    // Reading 1 found the device gone, 2 found it still gone; 3 to 5 are on file, taken after
    // the amplifier was put under remote control again.
    EXPECT_EQ(ReadLines(m_request.file).size(), 3u);
    EXPECT_EQ(m_line->wire,
              "LOCL 1\rOUTP ? 3\rLOCL 1\r" + kOneReading + kOneReading + kOneReading + "LOCL 0\r");
}

TEST_F(RecordingTest, LinesThatCannotBeWrittenAreReportedAndFailTheRun) {
    // The data file's folder disappears during the second reading.
    const std::filesystem::path folder = m_dir.Path() / "gone";
    std::filesystem::create_directory(folder);
    m_request.file = (folder / "run.txt").string();
    m_request.readings = 2;
    auto amplifier = m_line->responder;
    int commands = 0;
    m_line->responder = [&](const std::string& command, bool dtr) {
        if (++commands == 4) std::filesystem::remove_all(folder);
        return amplifier(command, dtr);
    };
    EXPECT_EQ(Run(), 1);
    const std::string missing = m_request.file + ": No such file or directory";
    EXPECT_NE(m_err.str().find("1 line waiting to be written to the data file: " + missing),
              std::string::npos)
        << m_err.str();
    EXPECT_NE(m_err.str().find("1 line could not be written to the data file: " + missing),
              std::string::npos)
        << m_err.str();
}
