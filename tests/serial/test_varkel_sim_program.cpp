// varkel-sim as a program: its options reach the amplifier, it stops cleanly on a signal,
// and it keeps serving across a client's close and reopen.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <chrono>
#include <csignal>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "SimProcess.h"
#include "TempDir.h"
#include "platform/serial/QtSerialPort.h"
#include "sim/AmplifierFault.h"

namespace {
using std::chrono::milliseconds;
using std::chrono::steady_clock;

// A reply on its way is waited for until this long after its query, byte by byte: only a
// broken simulator takes this long, however loaded the machine.
constexpr int kReplyLimitMs = 10000;
// How long a read listens where no byte may come. Short, and sound all the same: each such
// check is backed by something a late byte cannot fool (the simulator's own log of what it
// sent, or the time the reply took).
constexpr int kQuietMs = 100;
// More than any reply, the overlong one included.
constexpr std::size_t kMaxReplyBytes = 400;

struct Exchange {
    std::string reply;  // bytes up to "\r", or those that came before the wait ran out
    bool timedOut = false;
};

// Byte time-outs long enough that the caller's deadline decides.
SerialSettings PatientTimeouts() {
    SerialSettings settings;
    settings.readTotalMultiplierMs = 0;
    settings.readTotalConstantMs = kReplyLimitMs;
    return settings;
}

void Send(SerialPort& port, const std::string& bytes) {
    for (const char c : bytes)
        ASSERT_EQ(port.WriteByte(static_cast<unsigned char>(c)), SerialWrite::Written);
}

// Reads one reply, up to its "\r", giving up waitMs after the call.
Exchange ReadReply(SerialPort& port, int waitMs) {
    const steady_clock::time_point deadline = steady_clock::now() + milliseconds(waitMs);
    Exchange exchange;
    while (exchange.reply.size() < kMaxReplyBytes) {
        const auto left =
            std::chrono::duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        const SerialRead read = port.ReadByte(left > 0 ? static_cast<int>(left) : 0);
        if (read.status != SerialRead::Status::Byte) {
            exchange.timedOut = read.status == SerialRead::Status::TimedOut;
            break;
        }
        exchange.reply.push_back(static_cast<char>(read.byte));
        if (read.byte == '\r') break;
    }
    return exchange;
}

Exchange Ask(SerialPort& port, const std::string& command, int waitMs = kReplyLimitMs) {
    Send(port, command);
    return ReadReply(port, waitMs);
}

bool IsNumberLine(const std::string& reply) {
    if (reply.size() < 2 || reply.back() != '\r') return false;
    char* end = nullptr;
    std::strtod(reply.c_str(), &end);
    return end == reply.c_str() + reply.size() - 1;
}

struct ProgramFaultCase {
    const char* mode;
    std::string reply;  // what both queries bring once the fault is on
    bool timesOut;
};

// Each case is named and printed by its mode ("silent", "nan", ...).
void PrintTo(const ProgramFaultCase& c, std::ostream* os) { *os << c.mode; }

class VarkelSimFaults : public ::testing::TestWithParam<ProgramFaultCase> {};

TEST_P(VarkelSimFaults, FollowOneGoodReading) {
    const ProgramFaultCase& c = GetParam();
    const TempDir dir;
    const std::string log = dir.File("wire.log");
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--fault", c.mode, "--fault-after", "1", "--log", log})) << sim.Error();
    QtSerialPort port;
    ASSERT_TRUE(port.Open(sim.DevicePath())) << port.ErrorText();
    ASSERT_TRUE(port.Configure(PatientTimeouts()));
    EXPECT_TRUE(IsNumberLine(Ask(port, "OUTP ? 3\r").reply));
    EXPECT_TRUE(IsNumberLine(Ask(port, "OUTP ? 4\r").reply));
    std::string sent = "OUTP ? 3\rOUTP ? 4\r";
    for (const char* query : {"OUTP ? 3\r", "OUTP ? 4\r"}) {
        // The simulator sends a reply before it reads on. So once it has taken the query, and
        // after that an empty line (no command, no reply), whatever it answered the query
        // with has gone out and is in its log.
        for (const std::string& bytes : {std::string(query), std::string("\r")}) {
            Send(port, bytes);
            sent += bytes;
            ASSERT_EQ(WaitForReceivedBytes(log, sent), sent) << c.mode << " " << query;
        }
        const Exchange faulty = ReadReply(port, c.timesOut ? kQuietMs : kReplyLimitMs);
        EXPECT_EQ(faulty.reply, c.reply) << c.mode << " " << query;
        EXPECT_EQ(faulty.timedOut, c.timesOut) << c.mode << " " << query;
    }
    // What it sent: the good reading's two numbers, then the fault's reply to each query.
    const std::vector<std::string> replies = SentReplies(log);
    ASSERT_EQ(replies.size(), c.timesOut ? 2u : 4u) << c.mode;
    for (std::size_t n = 2; n < replies.size(); ++n) EXPECT_EQ(replies[n], c.reply) << c.mode;
    port.Close();
    EXPECT_EQ(sim.Stop(), 0);
}

std::string OverlongBytes() {
    const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string bytes;
    for (int i = 0; i < AmplifierFault::kOverlongReplyBytes; ++i)
        bytes.push_back(alphabet[i % alphabet.size()]);
    return bytes + "\r";
}

INSTANTIATE_TEST_SUITE_P(EachMode, VarkelSimFaults,
                         ::testing::Values(ProgramFaultCase{"silent", "", true},
                                           ProgramFaultCase{"garbage", "ERR?\r", false},
                                           ProgramFaultCase{"nan", "nan\r", false},
                                           ProgramFaultCase{"inf", "inf\r", false},
                                           ProgramFaultCase{"overlong", OverlongBytes(), false}),
                         [](const ::testing::TestParamInfo<ProgramFaultCase>& info) {
                             return std::string(info.param.mode);
                         });

TEST(VarkelSim, SlowRepliesBeyondTheTimeoutArriveLate) {
    constexpr int kDelayMs = 1000;
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--fault", "slow", "--delay-ms", std::to_string(kDelayMs)}))
        << sim.Error();
    QtSerialPort port;
    ASSERT_TRUE(port.Open(sim.DevicePath()));
    SerialSettings quick = PatientTimeouts();  // a byte time-out well short of the delay
    quick.readTotalConstantMs = kQuietMs;
    ASSERT_TRUE(port.Configure(quick));
    const steady_clock::time_point asked = steady_clock::now();
    // The reply cannot come sooner than the delay after its query, however loaded the machine.
    const Exchange early = Ask(port, "OUTP ? 3\r");
    EXPECT_TRUE(early.timedOut);
    EXPECT_EQ(early.reply, "");
    ASSERT_TRUE(port.Configure(PatientTimeouts()));  // the same reply is still coming
    const Exchange late = ReadReply(port, kReplyLimitMs);
    EXPECT_TRUE(IsNumberLine(late.reply)) << late.reply;
    // Held back by the simulator, not merely missed by a reader that looked too briefly.
    EXPECT_GE(steady_clock::now() - asked, milliseconds(kDelayMs));
}

TEST(VarkelSim, TheChannelFollowsTheReadingOrderAndLocl1ResetsIt) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start()) << sim.Error();
    QtSerialPort port;
    ASSERT_TRUE(port.Open(sim.DevicePath()));
    ASSERT_TRUE(port.Configure(PatientTimeouts()));
    const auto amplitude = [&] {
        return std::strtod(Ask(port, "OUTP ? 3\r").reply.c_str(), nullptr);
    };
    EXPECT_NEAR(amplitude(), 1.0, 1e-3);  // voltage: 0.1 V in units of 0.1 V
    Ask(port, "OUTP ? 4\r");
    EXPECT_LT(amplitude(), 0.1);  // current: about 1.2 uA in units of 0.1 mA
    Ask(port, "OUTP ? 4\r");
    EXPECT_NEAR(amplitude(), 1.0, 1e-3);
    Ask(port, "OUTP ? 4\r");
    // On the current now; a client that closes and comes back with "LOCL 1" gets the voltage.
    port.Close();
    ASSERT_TRUE(port.Open(sim.DevicePath())) << port.ErrorText();
    ASSERT_TRUE(port.Configure(PatientTimeouts()));
    Send(port, "LOCL 1\r");
    EXPECT_NEAR(amplitude(), 1.0, 1e-3);
}

TEST(VarkelSim, UnpluggedItIsGoneFromItsPathAndComesBackFreshWithNothingOfTheOldReplies) {
    constexpr int kDelayMs = 1000;
    TempDir dir;
    const std::string log = dir.File("wire.log");
    const std::string link = dir.File("amplifier");
    SimProcess sim;
    ASSERT_TRUE(sim.Start(
        {"--link", link, "--log", log, "--fault", "slow", "--delay-ms", std::to_string(kDelayMs)}))
        << sim.Error();
    EXPECT_EQ(sim.DevicePath(), link);
    QtSerialPort port;
    ASSERT_TRUE(port.Open(link)) << port.ErrorText();
    ASSERT_TRUE(port.Configure(PatientTimeouts()));
    Send(port, "OUTP ? 3\r");  // its reply is held back a second...
    ASSERT_EQ(WaitForReceivedBytes(log, "OUTP ? 3\r"), "OUTP ? 3\r");
    const steady_clock::time_point asked = steady_clock::now();
    // ...and the amplifier is unplugged and plugged in again meanwhile.
    ASSERT_EQ(sim.Signal(SIGUSR1), 0);
    ASSERT_TRUE(WaitForLogLine(log, "-- unplugged"));
    EXPECT_EQ(port.ReadByte().status, SerialRead::Status::Failed);  // the old terminal hung up
    QtSerialPort absent;
    EXPECT_FALSE(absent.Open(link));  // nothing at the path while unplugged
    ASSERT_EQ(sim.Signal(SIGUSR2), 0);
    ASSERT_TRUE(WaitForLogLine(log, "-- plugged in"));
    port.Close();
    ASSERT_TRUE(port.Open(link)) << port.ErrorText();
    ASSERT_TRUE(port.Configure(PatientTimeouts()));

    // Once the old reply would have been due, it has gone nowhere: not to the new terminal,
    // and not written into the closed one.
    while (steady_clock::now() - asked < milliseconds(kDelayMs + 200)) {
        std::this_thread::sleep_for(milliseconds(50));
    }
    Send(port, "LOCL 1\r");  // a barrier the simulator logs after anything it sent before
    ASSERT_EQ(WaitForReceivedBytes(log, "LOCL 1\r"), "OUTP ? 3\rLOCL 1\r");
    EXPECT_TRUE(SentReplies(log).empty());
    EXPECT_EQ(ReadWholeFile(log).find("reply dropped"), std::string::npos) << ReadWholeFile(log);
    EXPECT_EQ(ReadReply(port, kQuietMs).reply, "");
}

TEST(VarkelSim, StopsCleanlyOnEitherSignal) {
    for (const int signal : {SIGTERM, SIGINT}) {
        SimProcess sim;
        ASSERT_TRUE(sim.Start()) << sim.Error();
        ASSERT_EQ(sim.Signal(signal), 0) << signal;
        EXPECT_EQ(sim.Wait(), 0) << signal;
    }
}

TEST(VarkelSim, HelpAndBadOptions) {
    EXPECT_EQ(RunSimToEnd({"--help"}), 0);
    EXPECT_EQ(RunSimToEnd({"--fault", "loud"}), 2);
    EXPECT_EQ(RunSimToEnd({"--fault-after"}), 2);
    EXPECT_EQ(RunSimToEnd({"--log", "/nonexistent-folder/varkel/sim.log"}), 1);
}
}  // namespace
