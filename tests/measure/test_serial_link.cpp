#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ScriptedRun.h"
#include "measure/SerialLink.h"

namespace {

class SerialLinkTest : public ::testing::Test, protected ScriptedPort {
protected:
    SerialLinkTest() {
        EXPECT_TRUE(link.OpenPort("COM2"));
        link.ConfigurePort();
    }
    std::string Read() {
        char buffer[SerialLink::kReplyBufferBytes];
        last = link.ReadLine(buffer);
        return buffer;
    }
    ReadingOutcome Measure() {
        return link.MeasureQuantity(&readings.voltage, &readings.voltagePhase, &readings.current,
                                    &readings.currentPhase);
    }

    SerialLink link{state, readings, clock, ports, factory};
    ReplyEnd last = ReplyEnd::TimedOut;
};

TEST_F(SerialLinkTest, OpensTheMappedDeviceAndConfiguresTheLine) {
    EXPECT_EQ(factory.lastDevice, "/dev/ttyS1");
    ASSERT_TRUE(line->configured);
    const SerialSettings& s = line->settings;
    EXPECT_EQ(s.baudRate, 19200);
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.parity, SerialParity::None);
    EXPECT_EQ(s.stopBits, 2);
    EXPECT_FALSE(s.hardwareFlowControl || s.softwareFlowControl || s.dtr || s.rts);
    EXPECT_EQ(s.ByteReadTimeoutMs(), 300);
    EXPECT_EQ(s.ByteWriteTimeoutMs(), 400);
    EXPECT_EQ(s.inputQueueBytes, 8192);
    EXPECT_EQ(s.outputQueueBytes, 1024);
}

TEST_F(SerialLinkTest, OpenFailureLeavesNoPortAndSaysWhy) {
    line->openFails = true;
    EXPECT_FALSE(link.OpenPort("COM4"));
    EXPECT_EQ(factory.lastDevice, "/dev/ttyS3");
    EXPECT_EQ(state.port, nullptr);
    EXPECT_EQ(link.OpenError(), "/dev/fake: Permission denied");
}

TEST_F(SerialLinkTest, ReadLineEndsAtALineEndTimeOutOrHundredBytes) {
    struct Case {
        std::string input;
        std::string reply;
        ReplyEnd end;
        std::size_t leftOver;
    };
    const Case cases[] = {
        {"1.000\r", "1.000\r", ReplyEnd::LineEnd, 0},
        {"1.0\r2.0\r", "1.0\r", ReplyEnd::LineEnd, 4},
        {"0.502119\n", "0.502119\n", ReplyEnd::LineEnd, 0},
        {"0.5\r\n", "0.5\r", ReplyEnd::LineEnd, 1},        // the LF waits for the next discard
        {"\n-3.25\r\n", "-3.25\r", ReplyEnd::LineEnd, 1},  // an earlier CR LF's LF is skipped
        {"\r", "\r", ReplyEnd::LineEnd, 0},
        {"", "", ReplyEnd::TimedOut, 0},
        {"12.5", "12.5", ReplyEnd::TimedOut, 0},
        {std::string(150, '7') + "\r", std::string(100, '7'), ReplyEnd::Overlong, 51},
        {std::string(99, '7') + "\r", std::string(99, '7') + "\r", ReplyEnd::LineEnd, 0},
        {std::string(99, '7') + "\n", std::string(99, '7') + "\n", ReplyEnd::LineEnd, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        line->input.clear();
        line->Inject(c.input);
        EXPECT_EQ(Read(), c.reply);
        EXPECT_EQ(last, c.end);
        EXPECT_EQ(line->input.size(), c.leftOver);
    }
}

TEST_F(SerialLinkTest, AmplifiersEndingTheirLinesWithLineFeedsAreRead) {
    for (const char* ending : {"\r", "\n", "\r\n"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(ending)));
        state.currentNext = false;
        line->input.clear();
        line->responder = [ending](const std::string& command, bool dtr) -> std::string {
            if (command == "OUTP ? 3\r") return std::string(dtr ? "0.5" : "1.000") + ending;
            if (command == "OUTP ? 4\r") return std::string(dtr ? "-40.25" : "-12.5") + ending;
            return {};
        };
        for (int reading = 0; reading < 4; ++reading) {
            const ReadingOutcome outcome = Measure();
            ASSERT_TRUE(outcome.Valid()) << "reading " << reading << ": " << outcome.problem;
        }
        EXPECT_DOUBLE_EQ(readings.voltage, 0.1);
        EXPECT_DOUBLE_EQ(readings.voltagePhase, -12.5);
        EXPECT_DOUBLE_EQ(readings.current, 0.5 * 0.0001);
        EXPECT_DOUBLE_EQ(readings.currentPhase, -40.25);
    }
}

TEST_F(SerialLinkTest, ReplyThatTricklesInIsAbandonedOneSecondAfterItsQuery) {
    // One byte every 250 ms stays inside every byte time-out; without a bound on the whole
    // reply, 100 such bytes would hold the program for 25 s.
    line->byteGapMs = 250;
    line->responder = [](const std::string& command, bool) -> std::string {
        return command == "OUTP ? 3\r" ? std::string(41, '5') : "0\r";
    };
    const long long before = clock.Milliseconds();
    const ReadingOutcome outcome = Measure();
    EXPECT_EQ(clock.Milliseconds() - before, SerialLink::kReplyLimitMs);
    EXPECT_FALSE(outcome.Valid());
    EXPECT_FALSE(outcome.portFailed);
    EXPECT_NE(
        outcome.problem.find("no valid voltage amplitude: its reply did not end within 1000 ms"),
        std::string::npos)
        << outcome.problem;
    EXPECT_EQ(line->wire, "OUTP ? 3\r");  // the reading ends there, as after any bad amplitude

    // A slow but whole reply inside the bound is read.
    line->wire.clear();
    line->input.clear();
    line->byteGapMs = 100;  // "2.0\r": the line ends 400 ms after the query
    line->responder = Amplifier("2.0", "1.0", "0", "0");
    EXPECT_TRUE(Measure().Valid());
}

TEST_F(SerialLinkTest, WriteTimeOutFailsTheReadingButNotThePort) {
    line->responder = Amplifier("1.0", "0", "1.0", "0");
    line->writesTimeOut = true;
    const ReadingOutcome outcome = Measure();
    EXPECT_FALSE(outcome.Valid());
    EXPECT_FALSE(outcome.portFailed);
    EXPECT_FALSE(link.PortFailed());
    EXPECT_NE(outcome.problem.find("the query could not be sent"), std::string::npos)
        << outcome.problem;
    EXPECT_NE(outcome.problem.find("a write timed out"), std::string::npos) << outcome.problem;
    EXPECT_FALSE(state.currentNext);  // no switch: the amplifier never got the query
    EXPECT_EQ(line->dtrLog, "");

    line->writesTimeOut = false;
    EXPECT_TRUE(Measure().Valid());
}

TEST_F(SerialLinkTest, SilentAmplifierCostsOneTimeOutPerReply) {
    const int before = clock.Milliseconds();
    EXPECT_EQ(Read(), "");
    EXPECT_EQ(clock.Milliseconds() - before, 300);
}

TEST_F(SerialLinkTest, CommandsGoOutByteByByteWithoutLineFeed) {
    link.WriteString("LOCL 1\r");
    EXPECT_EQ(line->wire, "LOCL 1\r");
}

TEST_F(SerialLinkTest, ReadingsAlternateScaleAndSwitchDtr) {
    line->responder = Amplifier("1.000", "-12.5", "0.5", "-40.25");
    readings.voltage = 9.0;
    state.startTime = 1.0;
    clock.Advance(91000);

    ReadingOutcome first = Measure();
    EXPECT_TRUE(first.Valid()) << first.problem;
    EXPECT_DOUBLE_EQ(readings.voltage, 0.1);
    EXPECT_DOUBLE_EQ(readings.voltagePhase, -12.5);
    EXPECT_DOUBLE_EQ(readings.current, 0.0);
    EXPECT_DOUBLE_EQ(readings.elapsedSeconds, 90.0);
    EXPECT_TRUE(state.currentNext);
    EXPECT_EQ(line->dtrLog, "H");

    ReadingOutcome second = Measure();
    EXPECT_TRUE(second.Valid()) << second.problem;
    EXPECT_DOUBLE_EQ(readings.current, 0.5 * 0.0001);
    EXPECT_DOUBLE_EQ(readings.currentPhase, -40.25);
    EXPECT_DOUBLE_EQ(readings.voltage, 0.1);
    EXPECT_FALSE(state.currentNext);
    EXPECT_EQ(line->dtrLog, "HL");
    EXPECT_EQ(line->wire, "OUTP ? 3\rOUTP ? 4\rOUTP ? 3\rOUTP ? 4\r");
}

TEST_F(SerialLinkTest, ReplyWithoutAFiniteNumberChangesNothingAndIsReported) {
    struct Case {
        std::string amplitudeReply;  // as the amplifier sends it
        std::string phaseReply;
        bool amplitudeValid;
        const char* problemMentions;
    };
    const Case cases[] = {
        {"ERR?\r", "3.0\r", false, "holds no finite number"},
        {"nan\r", "3.0\r", false, "holds no finite number"},
        {"inf\r", "-inf\r", false, "holds no finite number"},
        {"1e999\r", "3.0\r", false, "holds no finite number"},
        {"", "3.0\r", false, "no reply came"},
        {"2.5", "3.0\r", false, "broke off"},
        {std::string(150, '1') + "\r", "3.0\r", false, "ran past 100 bytes"},
        {"2.0\r", "", true, "no valid voltage phase: no reply came"},
        {"2.0\r", "nan\r", true, "no valid voltage phase"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.amplitudeReply + " / " + c.phaseReply);
        readings.voltage = 0.7;
        readings.voltagePhase = 7.0;
        readings.elapsedSeconds = 3.0;
        state.currentNext = false;
        line->dtrLog.clear();
        line->wire.clear();
        line->input.clear();
        line->responder = [&](const std::string& command, bool) -> std::string {
            return command == "OUTP ? 3\r" ? c.amplitudeReply : c.phaseReply;
        };
        const ReadingOutcome outcome = Measure();
        EXPECT_EQ(outcome.amplitudeValid, c.amplitudeValid);
        EXPECT_FALSE(outcome.phaseValid);
        EXPECT_FALSE(outcome.Valid());
        EXPECT_NE(outcome.problem.find(c.problemMentions), std::string::npos) << outcome.problem;
        // Nothing of a failed reading is kept: no second scaling, no made-up phase or time.
        EXPECT_DOUBLE_EQ(readings.voltage, 0.7);
        EXPECT_DOUBLE_EQ(readings.voltagePhase, 7.0);
        EXPECT_DOUBLE_EQ(readings.elapsedSeconds, 3.0);
        // A failed amplitude stops before the phase query and keeps the selector; once both
        // queries went out, the selector moves on as after any reading.
        EXPECT_EQ(line->wire, c.amplitudeValid ? "OUTP ? 3\rOUTP ? 4\r" : "OUTP ? 3\r");
        EXPECT_EQ(state.currentNext, c.amplitudeValid);
        EXPECT_EQ(line->dtrLog, c.amplitudeValid ? "H" : "");
    }
}

TEST_F(SerialLinkTest, ReplyTooLateForItsQueryIsNeverReadAsTheNextAnswer) {
    // The amplitude reply comes only after the read has timed out.
    line->responder = [&](const std::string& command, bool) -> std::string {
        if (command == "OUTP ? 3\r") return "";
        return "-33.0\r";
    };
    ReadingOutcome outcome = Measure();
    EXPECT_FALSE(outcome.Valid());
    EXPECT_EQ(line->wire, "OUTP ? 3\r");
    line->Inject("1.234\r");  // the late amplitude, waiting when the next reading begins

    line->responder = Amplifier("2.0", "-33.0", "0", "0");
    outcome = Measure();
    EXPECT_TRUE(outcome.Valid()) << outcome.problem;
    EXPECT_DOUBLE_EQ(readings.voltage, 0.2);
    EXPECT_DOUBLE_EQ(readings.voltagePhase, -33.0);
}

TEST_F(SerialLinkTest, PortThatVanishesReportsFailureWithoutSwitching) {
    line->responder = Amplifier("1.0", "0", "1.0", "0");
    line->vanishAfterWrites = 3;
    const ReadingOutcome outcome = Measure();
    EXPECT_TRUE(outcome.portFailed);
    EXPECT_FALSE(outcome.Valid());
    EXPECT_NE(outcome.problem.find("no longer there"), std::string::npos);
    EXPECT_EQ(line->wire, "OUT");  // stops writing at the first failure
    EXPECT_FALSE(state.currentNext);
    EXPECT_EQ(line->dtrLog, "");
    EXPECT_TRUE(link.PortFailed());
}

TEST_F(SerialLinkTest, DtrRefusedByAPseudoTerminalIsNoFailure) {
    line->dtrRefused = true;
    line->responder = Amplifier("1.0", "0", "1.0", "0");
    EXPECT_TRUE(Measure().Valid());
    EXPECT_TRUE(Measure().Valid());
    EXPECT_FALSE(link.PortFailed());
}

TEST_F(SerialLinkTest, DiscardInputDropsWhatIsWaiting) {
    line->Inject("junk\r1.0\r");
    link.DiscardInput();
    EXPECT_TRUE(line->input.empty());
}

TEST_F(SerialLinkTest, WaitSleepsInsteadOfSpinning) {
    const int before = clock.Slept();
    link.WaitMilliseconds(300);
    EXPECT_EQ(clock.Slept() - before, 300);
}

TEST(ReplyNumber, ReadsWhatPercentLfReads) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"1.000\r", true, 1.0},  {"  -12.5\r", true, -12.5}, {"+3e-2\r", true, 0.03},
        {"\t7\r", true, 7.0},    {"0.5V\r", true, 0.5},      {".25\r", true, 0.25},
        {"1E3\r", true, 1000.0}, {"abc\r", false, 0},        {"\r", false, 0},
        {"", false, 0},          {"-\r", false, 0},          {"+-1\r", false, 0},
        {"nan\r", false, 0},     {"-inf\r", false, 0},       {"infinity\r", false, 0},
        {"1e400\r", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double value = -999.0;
        EXPECT_EQ(ParseReplyNumber(c.text, &value), c.ok);
        EXPECT_DOUBLE_EQ(value, c.ok ? c.value : -999.0);
    }
}

}  // namespace
