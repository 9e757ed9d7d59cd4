#include <gtest/gtest.h>
#include <string>

#include "FakeClock.h"
#include "SimTestSupport.h"
#include "sim/SimulatedPort.h"

namespace {
class SimulatedPortTest : public ::testing::Test {
protected:
    void OpenWith(AmplifierFault fault) {
        m_port = std::make_unique<SimulatedPort>(m_clock, fault, 9);
        ASSERT_TRUE(m_port->Open("sim")) << m_port->ErrorText();
        ASSERT_TRUE(m_port->Configure(SerialSettings{}));
    }

    void Write(const std::string& text) {
        for (const char c : text)
            ASSERT_EQ(m_port->WriteByte(static_cast<unsigned char>(c)), SerialWrite::Written);
    }

    // Reads bytes until "\r" or a time-out; the text read, "\r" included.
    std::string ReadReply() {
        std::string reply;
        for (;;) {
            const SerialRead read = m_port->ReadByte();
            if (read.status != SerialRead::Status::Byte) return reply;
            reply.push_back(static_cast<char>(read.byte));
            if (read.byte == '\r') return reply;
        }
    }

    FakeClock m_clock;
    std::unique_ptr<SimulatedPort> m_port;
};

TEST_F(SimulatedPortTest, OpensOnlyTheSimulatedDevice) {
    SimulatedPort port(m_clock);
    EXPECT_FALSE(port.Open("/dev/ttyS0"));
    EXPECT_NE(port.ErrorText().find("/dev/ttyS0"), std::string::npos);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(port.Open("sim"));
    EXPECT_TRUE(port.IsOpen());
    EXPECT_FALSE(port.Open("sim"));  // already open
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(SimulatedPortTest, AClosedPortFailsEveryCall) {
    SimulatedPort port(m_clock);
    EXPECT_EQ(port.ReadByte().status, SerialRead::Status::Failed);
    EXPECT_EQ(port.WriteByte('x'), SerialWrite::Failed);
    EXPECT_EQ(port.BytesWaiting(), -1);
    EXPECT_FALSE(port.SetDtr(true));
    EXPECT_FALSE(port.Configure(SerialSettings{}));
    EXPECT_EQ(m_clock.Milliseconds(), 0);  // failing costs no waiting
}

TEST_F(SimulatedPortTest, ConfigureLowersDtrAndKeepsTheSettings) {
    OpenWith({});
    ASSERT_TRUE(m_port->SetDtr(true));
    SerialSettings settings;
    settings.readTotalConstantMs = 50;
    ASSERT_TRUE(m_port->Configure(settings));
    EXPECT_FALSE(m_port->Dtr());
    EXPECT_EQ(m_port->Amplifier().Selected(), Channel::Voltage);
    EXPECT_EQ(m_port->Settings().ByteReadTimeoutMs(), 250);
}

TEST_F(SimulatedPortTest, RepliesArriveInTheInputQueueAndDtrSelectsTheChannel) {
    OpenWith({});
    EXPECT_EQ(m_port->BytesWaiting(), 0);
    Write("OUTP ? 3\r");
    const int waiting = m_port->BytesWaiting();
    const std::string voltage = ReadReply();
    EXPECT_EQ(waiting, static_cast<int>(voltage.size()));
    EXPECT_NEAR(ReplyValue(voltage), 1.0, 1e-3);
    EXPECT_EQ(m_port->BytesWaiting(), 0);

    ASSERT_TRUE(m_port->SetDtr(true));
    Write("OUTP ? 3\r");
    const double currentReply = ReplyValue(ReadReply());
    EXPECT_NEAR(currentReply, 0.1 / std::abs(SampleModel().Impedance(0.0)) / 0.0001,
                1e-3 * currentReply);
    EXPECT_EQ(m_clock.Milliseconds(), 0);  // ready replies cost no time
    EXPECT_EQ(m_port->Amplifier().ReceivedBytes(), "OUTP ? 3\rOUTP ? 3\r");
}

TEST_F(SimulatedPortTest, EachReadOfASilentAmplifierCostsOneTimeout) {
    OpenWith({FaultMode::Silent, 0, 0});
    Write("OUTP ? 3\r");
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(m_port->ReadByte().status, SerialRead::Status::TimedOut);
        EXPECT_EQ(m_clock.Milliseconds(), 300 * k);
    }
}

TEST_F(SimulatedPortTest, SlowRepliesWithinTheTimeoutWaitForTheirBytes) {
    OpenWith({FaultMode::Slow, 0, 250});
    Write("OUTP ? 3\r");
    EXPECT_EQ(m_port->BytesWaiting(), 0);  // not there yet
    const std::string reply = ReadReply();
    EXPECT_NEAR(ReplyValue(reply), 1.0, 1e-3);
    EXPECT_EQ(m_clock.Milliseconds(), 250);
}

TEST_F(SimulatedPortTest, SlowRepliesBeyondTheTimeoutTimeOutAndArriveLater) {
    OpenWith({FaultMode::Slow, 0, 700});
    Write("OUTP ? 3\r");
    EXPECT_EQ(m_port->ReadByte().status, SerialRead::Status::TimedOut);
    EXPECT_EQ(m_clock.Milliseconds(), 300);
    EXPECT_EQ(m_port->ReadByte().status, SerialRead::Status::TimedOut);
    EXPECT_EQ(m_clock.Milliseconds(), 600);
    const std::string late = ReadReply();  // due at 700, within this read's time-out
    EXPECT_NEAR(ReplyValue(late), 1.0, 1e-3);
    EXPECT_EQ(m_clock.Milliseconds(), 700);
}

TEST_F(SimulatedPortTest, HangupMakesEveryCallFail) {
    OpenWith({FaultMode::Hangup, 1, 0});
    Write("OUTP ? 3\rOUTP ? 4\r");
    ReadReply();
    // The second reply is still queued when the device vanishes: it is lost with it.
    EXPECT_EQ(m_port->WriteByte('O'), SerialWrite::Failed);
    EXPECT_NE(m_port->ErrorText().find("sim"), std::string::npos);
    EXPECT_EQ(m_port->ReadByte().status, SerialRead::Status::Failed);
    EXPECT_EQ(m_port->BytesWaiting(), -1);
    EXPECT_FALSE(m_port->SetDtr(true));
    m_port->Close();
    EXPECT_FALSE(m_port->Open("sim"));  // it stays gone
}

TEST_F(SimulatedPortTest, TheModelClockRunsOnTheGivenClock) {
    SampleParameters sample;
    sample.capacitanceFarads = 0.0;
    sample.parallelDriftPerHour = 1.0;  // Rp doubles in an hour
    sample.relativeNoise = 0.0;
    m_port = std::make_unique<SimulatedPort>(m_clock, AmplifierFault{}, 1, sample);
    m_clock.Advance(5000);  // before the port opens: not part of the sample's time
    ASSERT_TRUE(m_port->Open("sim"));
    ASSERT_TRUE(m_port->SetDtr(true));
    Write("OUTP ? 3\r");
    const double atOpen = ReplyValue(ReadReply()) * 0.0001;
    m_clock.Advance(3600 * 1000);
    Write("OUTP ? 3\r");
    const double anHourLater = ReplyValue(ReadReply()) * 0.0001;
    EXPECT_NEAR(0.1 / atOpen, 1e3 + 1e5, 1.0);
    EXPECT_NEAR(0.1 / anHourLater, 1e3 + 2e5, 2.0);
}
}  // namespace
