// varkel-sim as a program: its options reach the amplifier, it stops cleanly on a signal,
// and it keeps serving across a client's close and reopen.

#include <csignal>
#include <ostream>
#include <string>
#include <sys/wait.h>
#include <vector>
#include <gtest/gtest.h>

#include "SimProcess.h"
#include "platform/serial/QtSerialPort.h"
#include "sim/AmplifierFault.h"

namespace {
struct Exchange {
    std::string reply;  // bytes up to "\r" or the first time-out
    bool timedOut = false;
};

Exchange Ask(SerialPort& port, const std::string& command) {
    for (const char c : command) port.WriteByte(static_cast<unsigned char>(c));
    Exchange exchange;
    for (int n = 0; n < 400; ++n) {
        const SerialRead read = port.ReadByte();
        if (read.status != SerialRead::Status::Byte) {
            exchange.timedOut = read.status == SerialRead::Status::TimedOut;
            break;
        }
        exchange.reply.push_back(static_cast<char>(read.byte));
        if (read.byte == '\r') break;
    }
    return exchange;
}

SerialSettings QuickTimeouts() {
    SerialSettings settings;  // 60 ms per byte keeps silent cases short
    settings.readTotalMultiplierMs = 0;
    settings.readTotalConstantMs = 60;
    return settings;
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
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--fault", c.mode, "--fault-after", "1"})) << sim.Error();
    QtSerialPort port;
    ASSERT_TRUE(port.Open(sim.DevicePath())) << port.ErrorText();
    ASSERT_TRUE(port.Configure(QuickTimeouts()));
    EXPECT_TRUE(IsNumberLine(Ask(port, "OUTP ? 3\r").reply));
    EXPECT_TRUE(IsNumberLine(Ask(port, "OUTP ? 4\r").reply));
    for (const char* query : {"OUTP ? 3\r", "OUTP ? 4\r"}) {
        const Exchange faulty = Ask(port, query);
        EXPECT_EQ(faulty.reply, c.reply) << c.mode << " " << query;
        EXPECT_EQ(faulty.timedOut, c.timesOut) << c.mode << " " << query;
    }
    port.Close();
    EXPECT_EQ(sim.Stop(), 0);
}

std::string OverlongBytes() {
    const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string bytes;
    for (int i = 0; i < AmplifierFault::kOverlongReplyBytes; ++i) bytes.push_back(alphabet[i % alphabet.size()]);
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
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--fault", "slow", "--delay-ms", "200"})) << sim.Error();
    QtSerialPort port;
    ASSERT_TRUE(port.Open(sim.DevicePath()));
    ASSERT_TRUE(port.Configure(QuickTimeouts()));  // 60 ms: the reply is late
    const Exchange early = Ask(port, "OUTP ? 3\r");
    EXPECT_TRUE(early.timedOut);
    EXPECT_EQ(early.reply, "");
    SerialSettings patient;  // 300 ms per byte: the same reply is still coming
    ASSERT_TRUE(port.Configure(patient));
    const Exchange late = Ask(port, "");
    EXPECT_TRUE(IsNumberLine(late.reply)) << late.reply;
}

TEST(VarkelSim, TheChannelFollowsTheReadingOrderAndLocl1ResetsIt) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start()) << sim.Error();
    QtSerialPort port;
    ASSERT_TRUE(port.Open(sim.DevicePath()));
    ASSERT_TRUE(port.Configure(SerialSettings{}));
    const auto amplitude = [&] { return std::strtod(Ask(port, "OUTP ? 3\r").reply.c_str(), nullptr); };
    EXPECT_NEAR(amplitude(), 1.0, 1e-3);  // voltage: 0.1 V in units of 0.1 V
    Ask(port, "OUTP ? 4\r");
    EXPECT_LT(amplitude(), 0.1);  // current: about 1.2 uA in units of 0.1 mA
    Ask(port, "OUTP ? 4\r");
    EXPECT_NEAR(amplitude(), 1.0, 1e-3);
    Ask(port, "OUTP ? 4\r");
    // On the current now; a client that closes and comes back with "LOCL 1" gets the voltage.
    port.Close();
    ASSERT_TRUE(port.Open(sim.DevicePath())) << port.ErrorText();
    ASSERT_TRUE(port.Configure(SerialSettings{}));
    for (const char c : std::string("LOCL 1\r")) ASSERT_EQ(port.WriteByte(static_cast<unsigned char>(c)), SerialWrite::Written);
    EXPECT_NEAR(amplitude(), 1.0, 1e-3);
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
