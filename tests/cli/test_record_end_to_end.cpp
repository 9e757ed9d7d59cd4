// varkel --record against varkel-sim on a pseudo-terminal: the bytes on the wire, the data
// file, the printed status lines, a stop by signal, and each failure's text and status.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "ChildProcess.h"
#include "SimProcess.h"
#include "TempDir.h"

#include <nlohmann/json.hpp>

namespace {
const std::string kReading = "OUTP ? 3\rOUTP ? 4\r";

std::vector<double> Fields(const std::string& line) {
    std::istringstream in(line);
    in.imbue(std::locale::classic());
    std::vector<double> values;
    for (double value; in >> value;) values.push_back(value);
    return values;
}

double ReplyValue(const std::string& reply) { return std::strtod(reply.c_str(), nullptr); }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// "%lg" keeps six significant digits.
void ExpectNear6(double actual, double expected, const char* what) {
    EXPECT_NEAR(actual, expected, std::abs(expected) * 1e-5 + 1e-12) << what;
}

class RecordEndToEnd : public ::testing::Test {
protected:
    void StartSim(std::vector<std::string> args = {}) {
        args.insert(args.end(), {"--log", m_wireLog});
        ASSERT_TRUE(m_sim.Start(args)) << m_sim.Error();
    }

    TempDir m_dir;
    std::string m_data = m_dir.File("run.txt");
    std::string m_wireLog = m_dir.File("wire.log");
    SimProcess m_sim;
};
}  // namespace

TEST_F(RecordEndToEnd, ATwoReadingRunSendsTheCommandsAndRecordsTheRepliesScaled) {
    StartSim();
    const ProcessResult run = RunProcess(
        m_dir.Path().string(), VARKEL_PATH,
        {"--record", m_data, "--port", m_sim.DevicePath(), "--interval", "2", "--readings", "2"});
    ASSERT_EQ(run.status, 0) << run.err;

    EXPECT_EQ(WaitForReceivedBytes(m_wireLog, "LOCL 0\r"),
              "LOCL 1\r" + kReading + kReading + "LOCL 0\r");
    const std::vector<std::string> replies = SentReplies(m_wireLog);
    ASSERT_EQ(replies.size(), 4u);

    const std::vector<std::string> lines = ReadLines(m_data);
    ASSERT_EQ(lines.size(), 2u);
    const std::vector<double> first = Fields(lines[0]);
    const std::vector<double> second = Fields(lines[1]);
    ASSERT_EQ(first.size(), 7u) << lines[0];
    ASSERT_EQ(second.size(), 7u) << lines[1];
    // Readings come on the 2nd and 4th whole second after the time zero, never earlier.
    EXPECT_GE(first[0], 2.0);
    EXPECT_GE(second[0], first[0] + 1.9);
    // First the voltage (reply × 0.1), the current still 0 and so raised to 1e-6 A.
    ExpectNear6(first[1], ReplyValue(replies[0]) * 0.1, "voltage");
    ExpectNear6(first[2], ReplyValue(replies[1]), "voltage phase");
    EXPECT_EQ(first[3], 1e-6);
    EXPECT_EQ(first[4], 0.0);
    ExpectNear6(first[5], first[1] / first[3], "impedance");
    ExpectNear6(first[6], first[2] - first[4], "impedance phase");
    // Then the current (reply × 0.0001); the voltage carries over.
    EXPECT_EQ(second[1], first[1]);
    EXPECT_EQ(second[2], first[2]);
    ExpectNear6(second[3], ReplyValue(replies[2]) * 0.0001, "current");
    ExpectNear6(second[4], ReplyValue(replies[3]), "current phase");
    ExpectNear6(second[5], second[1] / second[3], "impedance");
    ExpectNear6(second[6], second[2] - second[4], "impedance phase");

    const std::vector<std::string> status = Lines(run.out);
    ASSERT_EQ(status.size(), 2u) << run.out;
    EXPECT_EQ(status[0].rfind("Time= 2.", 0), 0u) << status[0];
    EXPECT_NE(status[1].find(", Current="), std::string::npos) << status[1];
}

TEST_F(RecordEndToEnd, AmplifiersEndingTheirRepliesWithLineFeedsAreRead) {
    for (const char* ending : {"lf", "crlf"}) {
        SCOPED_TRACE(ending);
        std::filesystem::remove(m_wireLog);
        StartSim({"--line-end", ending});
        const std::string data = m_dir.File(std::string("run-") + ending + ".txt");
        const ProcessResult run = RunProcess(
            m_dir.Path().string(), VARKEL_PATH,
            {"--record", data, "--port", m_sim.DevicePath(), "--interval", "2", "--readings", "3"});
        m_sim.Stop();
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err.find("no valid reply"), std::string::npos) << run.err;
        const std::vector<std::string> lines = ReadLines(data);
        ASSERT_EQ(lines.size(), 3u) << run.err;
        for (const std::string& line : lines) {
            const std::vector<double> v = Fields(line);
            ASSERT_EQ(v.size(), 7u) << line;
            EXPECT_NEAR(v[1], 0.1, 1e-3) << line;  // the simulated sample's voltage
        }
    }
}

TEST_F(RecordEndToEnd, ASignalMidRunReleasesTheAmplifierAndKeepsEveryLine) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal == SIGINT ? "SIGINT" : "SIGTERM");
        std::filesystem::remove(m_wireLog);
        std::filesystem::remove(m_data);
        StartSim();
        ChildProcess recorder(m_dir.Path().string());
        ASSERT_TRUE(recorder.Start(
            VARKEL_PATH, {"--record", m_data, "--port", m_sim.DevicePath(), "--interval", "2"}));
        ASSERT_TRUE(WaitUntil([&] { return !ReadLines(m_data).empty(); }));
        recorder.Signal(signal);
        const ProcessResult run = recorder.Wait();
        m_sim.Stop();

        EXPECT_EQ(run.status, 0) << run.err;
        const std::string wire = WaitForReceivedBytes(m_wireLog, "LOCL 0\r");
        EXPECT_TRUE(wire.starts_with("LOCL 1\r" + kReading)) << wire;
        EXPECT_TRUE(wire.ends_with("LOCL 0\r")) << wire;
        // Every reading printed is a line in the file, complete.
        const std::vector<std::string> lines = ReadLines(m_data);
        EXPECT_EQ(lines.size(), Lines(run.out).size()) << run.out;
        for (const std::string& line : lines) EXPECT_EQ(Fields(line).size(), 7u) << line;
        const nlohmann::json record = nlohmann::json::parse(ReadWholeFile(m_data + ".json"));
        EXPECT_EQ(record["end_reason"], "signal");
        EXPECT_EQ(record["lines_written"], lines.size());
        EXPECT_FALSE(record["ended_utc"].is_null());
    }
}

TEST_F(RecordEndToEnd, ADeviceThatNeverComesBackEndsTheRunWithStatus3AndItsLinesKept) {
    StartSim({"--fault", "hangup", "--fault-after", "1"});
    const ProcessResult run = RunProcess(
        m_dir.Path().string(), VARKEL_PATH,
        {"--record", m_data, "--port", m_sim.DevicePath(), "--interval", "2", "--readings", "3"});
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_NE(run.err.find("Lost " + m_sim.DevicePath()), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("The run ended while " + m_sim.DevicePath() +
                           " was still gone; 2 readings missed since it went."),
              std::string::npos)
        << run.err;
    EXPECT_EQ(ReadLines(m_data).size(), 1u);
}

TEST_F(RecordEndToEnd, AnAdapterPulledAndPluggedInAgainLosesOnlyTheReadingsInBetween) {
    const std::string device = m_dir.File("amplifier");
    StartSim({"--link", device});
    ChildProcess recorder(m_dir.Path().string());
    ASSERT_TRUE(recorder.Start(VARKEL_PATH, {"--record", m_data, "--port", device, "--interval",
                                             "2", "--readings", "12"}));
    const std::string err = m_dir.File("stderr.txt");
    std::size_t linesBefore = 0;
    for (int dropout = 1; dropout <= 2; ++dropout) {
        SCOPED_TRACE(dropout);
        ASSERT_TRUE(WaitUntil([&] { return ReadLines(m_data).size() >= linesBefore + 2; }))
            << ReadWholeFile(err);
        m_sim.Signal(SIGUSR1);
        ASSERT_TRUE(WaitUntil([&] {
            const std::string text = ReadWholeFile(err);
            std::size_t lost = 0;
            for (std::size_t at = text.find(" Lost "); at != std::string::npos;
                 at = text.find(" Lost ", at + 1))
                ++lost;
            return lost == static_cast<std::size_t>(dropout);
        })) << ReadWholeFile(err);
        linesBefore = ReadLines(m_data).size();
        m_sim.Signal(SIGUSR2);
        ASSERT_TRUE(WaitUntil([&] { return ReadLines(m_data).size() > linesBefore; }))
            << ReadWholeFile(err);
        linesBefore = ReadLines(m_data).size();
    }
    const ProcessResult run = recorder.Wait();
    m_sim.Stop();

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find(device + " is back after "), std::string::npos) << run.err;
    // Every reading answered is on file, whole, in order and printed; nothing else is.
    const std::vector<std::string> lines = ReadLines(m_data);
    EXPECT_GE(lines.size(), 6u);
    EXPECT_LT(lines.size(), 12u);
    EXPECT_EQ(lines.size(), Lines(run.out).size()) << run.out;
    double previous = -1;
    for (const std::string& line : lines) {
        const std::vector<double> v = Fields(line);
        ASSERT_EQ(v.size(), 7u) << line;
        EXPECT_GT(v[0], previous) << line;
        previous = v[0];
    }
    // After each return the amplifier is put under remote control again, voltage first.
    const std::string wire = ReceivedBytes(m_wireLog);
    std::size_t returns = 0;
    for (std::size_t at = wire.find("LOCL 1\r" + kReading, 1); at != std::string::npos;
         at = wire.find("LOCL 1\r" + kReading, at + 1)) {
        ++returns;
    }
    EXPECT_EQ(returns, 2u) << wire;
    EXPECT_TRUE(wire.ends_with("LOCL 0\r")) << wire;

    // The record beside the data file tells both outages and the end.
    const nlohmann::json record = nlohmann::json::parse(ReadWholeFile(m_data + ".json"));
    EXPECT_EQ(record["port"], device);
    EXPECT_EQ(record["end_reason"], "readings done");
    EXPECT_EQ(record["readings_attempted"], 12);
    EXPECT_EQ(record["lines_written"], lines.size());
    ASSERT_EQ(record["outages"].size(), 2u) << record.dump();
    for (const nlohmann::json& outage : record["outages"]) {
        EXPECT_LT(outage["lost_utc"].get<std::string>(), outage["back_utc"].get<std::string>());
    }
}

TEST_F(RecordEndToEnd, EachFailureSaysWhatWentWrongWithAFailingStatus) {
    const std::string noFolder = m_dir.File("missing/run.txt");
    const std::string noPort = m_dir.File("no-such-port");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string errStart;
    } const cases[] = {
        {{"--record", noFolder, "--port", "sim", "--interval", "2"},
         1,
         "Can't create file: " + noFolder + ": No such file or directory\n"},
        {{"--record", m_data, "--port", noPort, "--interval", "2"},
         1,
         "Can't open serial port: " + noPort + ": "},
        {{"--record", m_data, "--port", "sim", "--interval", "1"},
         2,
         "varkel: Please enter an integer between 2 and 600.\n"},
        {{"--record", m_data, "--port", "sim", "--interval", "2s"},
         2,
         "varkel: Please enter an integer.\n"},
    };
    for (const Case& c : cases) {
        const ProcessResult run = RunProcess(m_dir.Path().string(), VARKEL_PATH, c.args);
        EXPECT_EQ(run.status, c.status) << c.errStart;
        EXPECT_EQ(run.err.substr(0, c.errStart.size()), c.errStart);
        if (c.errStart.ends_with(": ")) {
            EXPECT_GT(run.err.size(), c.errStart.size() + 1)
                << "the reason is missing: " << run.err;
        }
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    // The port failed after the file was made: it stays, empty, as the Start command leaves it.
    EXPECT_EQ(std::filesystem::file_size(m_data), 0u);
}
