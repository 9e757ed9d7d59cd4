// What an overnight run meets, end to end: `varkel --record` against varkel-sim's fault
// modes on a pseudo-terminal, and a data file whose folder, file or disk misbehaves. In
// every case the run neither hangs nor crashes, says what happened, writes no value that
// was not measured, and loses no line once the file can be written again.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "SimProcess.h"
#include "TempDir.h"
#include "measure/DataFileReader.h"

namespace fs = std::filesystem;

namespace {

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class FaultMatrix : public ::testing::Test {
protected:
    // Starts the simulator and the recorder; the recorder runs to its end.
    ProcessResult Record(const std::vector<std::string>& simArgs, int readings,
                         const std::string& data) {
        std::vector<std::string> args = simArgs;
        args.insert(args.end(), {"--log", m_wireLog});
        EXPECT_TRUE(m_sim.Start(args)) << m_sim.Error();
        return RunProcess(m_dir.Path().string(), VARKEL_PATH,
                          {"--record", data, "--port", m_sim.DevicePath(), "--interval", "2",
                           "--readings", std::to_string(readings)});
    }
    // Every line of the data file: seven finite numbers, times increasing.
    std::vector<DataRow> Rows(const std::string& data) {
        const DataFileContents contents = ReadDataFile(data);
        EXPECT_TRUE(contents.ok || contents.errorLine == 0) << contents.error;
        for (std::size_t i = 1; i < contents.rows.size(); ++i) {
            EXPECT_LT(contents.rows[i - 1][0], contents.rows[i][0]) << "line " << i + 1;
        }
        return contents.rows;
    }

    TempDir m_dir;
    std::string m_data = m_dir.File("run.txt");
    std::string m_wireLog = m_dir.File("wire.log");
    SimProcess m_sim;
};

struct ReplyFault {
    const char* mode;
    const char* delayMs;  // for the slow amplifier
    int goodLines;        // of 3 readings, one good one before the fault
    const char* warning;  // on standard error for each failed reading
};

void PrintTo(const ReplyFault& f, std::ostream* os) {
    *os << f.mode << (f.delayMs ? std::string(" ") + f.delayMs + " ms" : std::string());
}

class ReplyFaults : public FaultMatrix, public ::testing::WithParamInterface<ReplyFault> {};

TEST_P(ReplyFaults, RunGoesOnWarnsAndRecordsOnlyWhatWasMeasured) {
    const ReplyFault& f = GetParam();
    std::vector<std::string> simArgs = {"--fault", f.mode, "--fault-after", "1"};
    if (f.delayMs) simArgs.insert(simArgs.end(), {"--delay-ms", f.delayMs});
    const ProcessResult run = Record(simArgs, 3, m_data);
    m_sim.Stop();

    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<DataRow> rows = Rows(m_data);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(f.goodLines)) << run.err;
    EXPECT_EQ(Count(run.err, "The amplifier gave no valid reply"), 3 - f.goodLines) << run.err;
    if (f.warning) {
        EXPECT_NE(run.err.find(f.warning), std::string::npos) << run.err;
    }

    // The lines hold exactly the replies to their own queries, in order: the first reading
    // is the voltage (reply x 0.1 V), the second, if any, the current (reply x 1e-4 A).
    const std::vector<std::string> replies = SentReplies(m_wireLog);
    ASSERT_GE(replies.size(), 2u);
    EXPECT_NEAR(rows[0][1], std::strtod(replies[0].c_str(), nullptr) * 0.1, 1e-6);
    EXPECT_NEAR(rows[0][2], std::strtod(replies[1].c_str(), nullptr), 1e-3);
    if (rows.size() > 1) {
        ASSERT_GE(replies.size(), 4u);
        EXPECT_NEAR(rows[1][3] / (std::strtod(replies[2].c_str(), nullptr) * 1e-4), 1.0, 1e-5);
        EXPECT_NEAR(rows[1][4], std::strtod(replies[3].c_str(), nullptr), 1e-3);
    }
    // The run ends with the amplifier released.
    EXPECT_TRUE(WaitForReceivedBytes(m_wireLog, "LOCL 0\r").ends_with("LOCL 0\r"));
}

INSTANTIATE_TEST_SUITE_P(
    AmplifierFaults, ReplyFaults,
    ::testing::Values(ReplyFault{"silent", nullptr, 1, "no reply came"},
                      ReplyFault{"garbage", nullptr, 1, "holds no finite number"},
                      ReplyFault{"nan", nullptr, 1, "holds no finite number"},
                      ReplyFault{"inf", nullptr, 1, "holds no finite number"},
                      ReplyFault{"overlong", nullptr, 1, "ran past 100 bytes"},
                      // Within the 300 ms per byte: read correctly.
                      ReplyFault{"slow", "120", 3, nullptr},
                      // Beyond it: no reading, and the late replies never land in a later one.
                      ReplyFault{"slow", "700", 1, "no reply came"},
                      // A byte every 250 ms, no line end: given up one second after the query.
                      ReplyFault{"trickle", nullptr, 1, "did not end within 1000 ms"}),
    [](const ::testing::TestParamInfo<ReplyFault>& info) {
        return std::string(info.param.mode) + (info.param.delayMs ? info.param.delayMs : "");
    });

TEST_F(FaultMatrix, FolderUnusableForAWhileLosesNoLine) {
    const fs::path folder = m_dir.Path() / "data";
    fs::create_directory(folder);
    const std::string data = (folder / "run.txt").string();
    ASSERT_TRUE(m_sim.Start({"--log", m_wireLog})) << m_sim.Error();
    ChildProcess recorder(m_dir.Path().string());
    ASSERT_TRUE(recorder.Start(VARKEL_PATH, {"--record", data, "--port", m_sim.DevicePath(),
                                             "--interval", "2", "--readings", "4"}));
    ASSERT_TRUE(WaitUntil([&] { return ReadLines(data).size() == 1; }));

    // The folder is moved away and a plain file stands in its place.
    fs::rename(folder, m_dir.Path() / "away");
    { std::ofstream(folder.string()) << "in the way"; }
    const std::string err = m_dir.File("stderr.txt");
    ASSERT_TRUE(WaitUntil(
        [&] { return ReadWholeFile(err).find("waiting to be written") != std::string::npos; }));
    fs::remove(folder);
    fs::rename(m_dir.Path() / "away", folder);

    const ProcessResult run = recorder.Wait();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("now written"), std::string::npos) << run.err;
    EXPECT_EQ(Rows(data).size(), 4u);
}

TEST_F(FaultMatrix, FileDeletedMidRunComesBackWhole) {
    ASSERT_TRUE(m_sim.Start({"--log", m_wireLog})) << m_sim.Error();
    ChildProcess recorder(m_dir.Path().string());
    ASSERT_TRUE(recorder.Start(VARKEL_PATH, {"--record", m_data, "--port", m_sim.DevicePath(),
                                             "--interval", "2", "--readings", "3"}));
    ASSERT_TRUE(WaitUntil([&] { return ReadLines(m_data).size() == 1; }));
    fs::remove(m_data);
    const ProcessResult run = recorder.Wait();
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<DataRow> rows = Rows(m_data);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_NEAR(rows[0][0], 2.0, 0.2);
}

TEST_F(FaultMatrix, FullDiskHoldsLinesUntilThereIsRoomAgain) {
    // A small memory file system of our own, filled up; skipped where mounting is not allowed.
    const fs::path mount = m_dir.Path() / "small";
    fs::create_directory(mount);
    const std::string command =
        "mount -t tmpfs -o size=64k varkel-test " + mount.string() + " 2>/dev/null";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "cannot mount a small file system here";
    struct Unmount {
        std::string path;
        ~Unmount() { std::system(("umount " + path + " 2>/dev/null").c_str()); }
    } unmount{mount.string()};

    const std::string data = (mount / "run.txt").string();
    const std::string filler = (mount / "filler").string();
    {
        std::ofstream out(filler, std::ios::binary);
        const std::string block(4096, 'x');
        while (out.write(block.data(), block.size())) {
        }
    }
    ASSERT_TRUE(m_sim.Start({"--log", m_wireLog})) << m_sim.Error();
    ChildProcess recorder(m_dir.Path().string());
    // Creating the empty file needs no block; its lines do.
    ASSERT_TRUE(recorder.Start(VARKEL_PATH, {"--record", data, "--port", m_sim.DevicePath(),
                                             "--interval", "2", "--readings", "3"}));
    const std::string err = m_dir.File("stderr.txt");
    ASSERT_TRUE(WaitUntil([&] {
        return ReadWholeFile(err).find("waiting to be written") != std::string::npos;
    })) << ReadWholeFile(err);
    fs::remove(filler);
    const ProcessResult run = recorder.Wait();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("No space left"), std::string::npos) << run.err;
    EXPECT_EQ(Rows(data).size(), 3u);
}

}  // namespace
