#include <gtest/gtest.h>
#include <cmath>
#include <complex>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

#include "SimTestSupport.h"
#include "sim/SimulatedAmplifier.h"

namespace {
constexpr double kTolerance = 1e-3;  // relative; the model's noise is 1e-4

SimulatedAmplifier MakeAmplifier(SelectorDrive drive, AmplifierFault fault = {}) {
    return SimulatedAmplifier(SampleModel(SampleParameters{}, 3), drive, fault);
}

std::complex<double> TrueImpedance() { return SampleModel(SampleParameters{}).Impedance(0.0); }

TEST(SimulatedAmplifier, RepliesAreScaledPerChannelAndDtrPicksTheChannel) {
    const std::complex<double> z = TrueImpedance();
    const double amps = 0.1 / std::abs(z);
    struct Case {
        bool dtr;
        const char* command;
        double expected;
        double tolerance;
    };
    const std::vector<Case> cases = {
        {false, "OUTP ? 3\r", 0.1 / 0.1, kTolerance},                        // voltage / 0.1
        {false, "OUTP ? 4\r", 0.0, 0.1},                                     // degrees
        {true, "OUTP ? 3\r", amps / 0.0001, kTolerance * amps / 0.0001},     // current / 0.0001
        {true, "OUTP ? 4\r", -std::arg(z) * 180.0 / std::numbers::pi, 0.1},  // current leads
    };
    SimulatedAmplifier amplifier = MakeAmplifier(SelectorDrive::Dtr);
    for (const Case& c : cases) {
        amplifier.SetDtr(c.dtr);
        EXPECT_EQ(amplifier.Selected(), c.dtr ? Channel::Current : Channel::Voltage);
        const std::string reply = Send(amplifier, c.command);
        EXPECT_NEAR(ReplyValue(reply), c.expected, c.tolerance)
            << c.command << " dtr=" << c.dtr << " " << reply;
    }
    // A DTR-driven selector does not move by itself.
    amplifier.SetDtr(false);
    Send(amplifier, "OUTP ? 4\r");
    EXPECT_EQ(amplifier.Selected(), Channel::Voltage);
}

TEST(SimulatedAmplifier, ReadingOrderSelectorSwitchesAfterEveryPhaseQueryAndLocl1ResetsIt) {
    SimulatedAmplifier amplifier = MakeAmplifier(SelectorDrive::ReadingOrder);
    amplifier.SetDtr(true);  // no modem lines: ignored
    EXPECT_EQ(amplifier.Selected(), Channel::Voltage);
    EXPECT_NEAR(ReplyValue(Send(amplifier, "OUTP ? 3\r")), 1.0, kTolerance);
    EXPECT_EQ(amplifier.Selected(), Channel::Voltage);  // amplitude alone switches nothing
    Send(amplifier, "OUTP ? 4\r");
    EXPECT_EQ(amplifier.Selected(), Channel::Current);
    EXPECT_NEAR(ReplyValue(Send(amplifier, "OUTP ? 3\r")), 0.1 / std::abs(TrueImpedance()) / 0.0001,
                1e-3);
    Send(amplifier, "OUTP ? 4\r");
    EXPECT_EQ(amplifier.Selected(), Channel::Voltage);
    Send(amplifier, "OUTP ? 4\r");
    EXPECT_EQ(amplifier.Selected(), Channel::Current);
    EXPECT_EQ(Send(amplifier, "LOCL 1\r"), "");
    EXPECT_EQ(amplifier.Selected(), Channel::Voltage);
    EXPECT_EQ(amplifier.Readings(), 3);
}

TEST(SimulatedAmplifier, LoclSwitchesTheRemoteLockWithoutReply) {
    SimulatedAmplifier amplifier = MakeAmplifier(SelectorDrive::Dtr);
    EXPECT_FALSE(amplifier.RemoteLocked());
    EXPECT_EQ(Send(amplifier, "LOCL 1\r"), "");
    EXPECT_TRUE(amplifier.RemoteLocked());
    EXPECT_EQ(Send(amplifier, "LOCL 0\r"), "");
    EXPECT_FALSE(amplifier.RemoteLocked());
}

TEST(SimulatedAmplifier, AnythingElseGetsNoReply) {
    SimulatedAmplifier amplifier = MakeAmplifier(SelectorDrive::Dtr);
    for (const char* command : {"OUTP ? 3", "OUTP ? 3\n", "outp ? 3\r", "OUTP? 3\r", " OUTP ? 3\r",
                                "OUTP ? 5\r", "LOCL 2\r", "\r", "*IDN?\r"}) {
        EXPECT_EQ(Send(amplifier, command), "") << command;
    }
    // None of those lines left anything behind: the next command is understood.
    EXPECT_NEAR(ReplyValue(Send(amplifier, "OUTP ? 3\r")), 1.0, kTolerance);
    EXPECT_EQ(amplifier.Readings(), 0);
}

TEST(SimulatedAmplifier, AnOverlongCommandLineIsIgnoredAndTheNextIsUnderstood) {
    SimulatedAmplifier amplifier = MakeAmplifier(SelectorDrive::Dtr);
    const std::string runaway(SimulatedAmplifier::kMaxCommandBytes * 10, 'X');
    EXPECT_EQ(Send(amplifier, runaway + "OUTP ? 3\r"), "");
    EXPECT_NEAR(ReplyValue(Send(amplifier, "OUTP ? 3\r")), 1.0, kTolerance);
}

TEST(SimulatedAmplifier, LogsEveryByteReceived) {
    SimulatedAmplifier amplifier = MakeAmplifier(SelectorDrive::Dtr);
    const std::string bytes = std::string("LOCL 1\rOUTP ? 3\rjunk\x01\xff\r") + '\0' + "LOCL 0\r";
    Send(amplifier, bytes);
    EXPECT_EQ(amplifier.ReceivedBytes(), bytes);
}

struct FaultCase {
    FaultMode mode;
    std::string amplitudeReply;  // what "OUTP ? 3\r" brings once the fault is on
};

// Each case is named and printed by its mode ("silent", "nan", ...).
void PrintTo(const FaultCase& c, std::ostream* os) { *os << FaultModeName(c.mode); }

class AmplifierFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(AmplifierFaults, StartAfterTheGoodReadingsAndGiveTheirBytes) {
    const FaultCase& c = GetParam();
    SimulatedAmplifier amplifier = MakeAmplifier(SelectorDrive::Dtr, {c.mode, 2, 0});
    EXPECT_EQ(Send(amplifier, "LOCL 1\r"), "");
    for (int reading = 0; reading < 2; ++reading) {
        EXPECT_NEAR(ReplyValue(Send(amplifier, "OUTP ? 3\r")), 1.0, kTolerance) << reading;
        EXPECT_TRUE(std::isfinite(ReplyValue(Send(amplifier, "OUTP ? 4\r")))) << reading;
    }
    EXPECT_EQ(Send(amplifier, "OUTP ? 3\r"), c.amplitudeReply);
    EXPECT_EQ(Send(amplifier, "OUTP ? 4\r"), c.amplitudeReply);  // the phase query alike
    EXPECT_EQ(Send(amplifier, "LOCL 0\r"), "");                  // LOCL never replies, fault or not
    EXPECT_EQ(amplifier.Readings(), 3);
}

std::string OverlongReply() {
    std::string bytes;
    const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (int i = 0; i < AmplifierFault::kOverlongReplyBytes; ++i)
        bytes.push_back(alphabet[i % alphabet.size()]);
    return bytes + "\r";
}

INSTANTIATE_TEST_SUITE_P(EachMode, AmplifierFaults,
                         ::testing::Values(FaultCase{FaultMode::Silent, ""},
                                           FaultCase{FaultMode::Garbage, "ERR?\r"},
                                           FaultCase{FaultMode::NotANumber, "nan\r"},
                                           FaultCase{FaultMode::Infinite, "inf\r"},
                                           FaultCase{FaultMode::Overlong, OverlongReply()}),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                             return std::string(FaultModeName(info.param.mode));
                         });

TEST(SimulatedAmplifier, OverlongReplyHasNoReturnBeforeItsEnd) {
    SimulatedAmplifier amplifier = MakeAmplifier(SelectorDrive::Dtr, {FaultMode::Overlong, 0, 0});
    const std::string reply = Send(amplifier, "OUTP ? 3\r");
    ASSERT_EQ(reply.size(), static_cast<std::size_t>(AmplifierFault::kOverlongReplyBytes) + 1);
    EXPECT_EQ(reply.find('\r'), reply.size() - 1);
    EXPECT_GT(AmplifierFault::kOverlongReplyBytes, 100);  // longer than the link's reply limit
}

TEST(SimulatedAmplifier, SlowFaultDelaysCorrectReplies) {
    SimulatedAmplifier amplifier(SampleModel(SampleParameters{}, 3), SelectorDrive::Dtr,
                                 {FaultMode::Slow, 1, 450});
    AmplifierReply reply;
    for (const char c : std::string("OUTP ? 3\r"))
        reply = amplifier.Receive(static_cast<unsigned char>(c), 0.0);
    EXPECT_EQ(reply.delayMs, 0);  // the good reading
    Send(amplifier, "OUTP ? 4\r");
    for (const char c : std::string("OUTP ? 3\r"))
        reply = amplifier.Receive(static_cast<unsigned char>(c), 0.0);
    EXPECT_EQ(reply.delayMs, 450);
    EXPECT_NEAR(ReplyValue(reply.bytes), 1.0, kTolerance);
}

TEST(SimulatedAmplifier, TrickleFaultSendsDigitsOneByOneWithoutALineEnd) {
    for (const int delayMs : {0, 400}) {
        SCOPED_TRACE(delayMs);
        SimulatedAmplifier amplifier(SampleModel(SampleParameters{}, 3), SelectorDrive::Dtr,
                                     {FaultMode::Trickle, 0, delayMs});
        AmplifierReply reply;
        for (const char c : std::string("OUTP ? 3\r"))
            reply = amplifier.Receive(static_cast<unsigned char>(c), 0.0);
        const int gap = delayMs == 0 ? 250 : delayMs;
        EXPECT_EQ(reply.byteGapMs, gap);
        EXPECT_EQ(reply.delayMs, gap);
        ASSERT_EQ(reply.bytes.size(), 41u);
        EXPECT_EQ(reply.bytes.find_first_of("\r\n"), std::string::npos);
        EXPECT_NEAR(std::strtod(reply.bytes.c_str(), nullptr), 1.0, 1e-3);  // the number, padded
    }
}

TEST(SimulatedAmplifier, RepliesEndAsTheInstrumentIsSet) {
    for (const std::string ending : {"\r", "\n", "\r\n"}) {
        SimulatedAmplifier amplifier = MakeAmplifier(SelectorDrive::Dtr, {});
        amplifier.SetLineEnd(ending);
        const std::string reply = Send(amplifier, "OUTP ? 3\r");
        ASSERT_TRUE(reply.ends_with(ending)) << testing::PrintToString(reply);
        EXPECT_NEAR(std::strtod(reply.c_str(), nullptr), 1.0, kTolerance);
        EXPECT_EQ(reply.find_first_of("\r\n"), reply.size() - ending.size());
    }
}

TEST(SimulatedAmplifier, HangupVanishesAtTheFirstByteAfterTheGoodReadings) {
    SimulatedAmplifier amplifier = MakeAmplifier(SelectorDrive::Dtr, {FaultMode::Hangup, 1, 0});
    EXPECT_NE(Send(amplifier, "OUTP ? 3\r"), "");
    EXPECT_NE(Send(amplifier, "OUTP ? 4\r"), "");
    EXPECT_FALSE(amplifier.HungUp());
    EXPECT_EQ(Send(amplifier, "OUTP ? 3\r"), "");
    EXPECT_TRUE(amplifier.HungUp());
    // The byte that met the hang-up was on the wire; nothing after it is taken.
    EXPECT_EQ(amplifier.ReceivedBytes(), "OUTP ? 3\rOUTP ? 4\rO");
}

TEST(FormatReplyNumber, DecimalTextEndedByReturn) {
    const std::vector<std::pair<double, std::string>> cases = {
        {1.00213, "1.00213\r"}, {1.0, "1\r"},           {-0.00248948, "-0.00248948\r"},
        {31.7957, "31.7957\r"}, {1.0e-7, "1e-07\r"},    {12345678.0, "1.23457e+07\r"},
        {0.0116, "0.0116\r"},   {-179.99999, "-180\r"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatReplyNumber(value), text) << value;
}

TEST(FaultModeNames, RoundTripAndRejectUnknown) {
    for (const FaultMode mode : {FaultMode::None, FaultMode::Silent, FaultMode::Garbage,
                                 FaultMode::NotANumber, FaultMode::Infinite, FaultMode::Overlong,
                                 FaultMode::Slow, FaultMode::Hangup, FaultMode::Trickle}) {
        EXPECT_EQ(FaultModeFromName(FaultModeName(mode)), mode);
    }
    EXPECT_EQ(FaultModeFromName("nan"), FaultMode::NotANumber);
    EXPECT_FALSE(FaultModeFromName("Silent").has_value());
    EXPECT_FALSE(FaultModeFromName("").has_value());
}
}  // namespace
