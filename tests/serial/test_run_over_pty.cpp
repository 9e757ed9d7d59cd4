// A measurement run through the real Qt serial backend to varkel-sim on a pseudo-terminal:
// the exact bytes on the wire, the data file's lines against the simulated sample, and a
// device that hangs up in the middle of a run. The run's clock is fake (the 300 ms
// settling wait and the ticks cost nothing); only the bytes on the tty take real time.

#include <gtest/gtest.h>
#include <cmath>
#include <complex>
#include <csignal>
#include <memory>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "SimProcess.h"
#include "TempDir.h"
#include "app/ports/PortFactory.h"
#include "measure/MeasurementRun.h"
#include "measure/PortMap.h"
#include "sim/SampleModel.h"

namespace {
constexpr int kInterval = 2;  // seconds (ticks) between readings

std::vector<double> Numbers(const std::string& line) {
    std::istringstream in(line);
    in.imbue(std::locale::classic());
    std::vector<double> values;
    for (double v; in >> v;) values.push_back(v);
    return values;
}

class RunOverPty : public ::testing::Test {
protected:
    void StartSim(std::vector<std::string> args) {
        args.insert(args.end(), {"--log", m_log});
        ASSERT_TRUE(m_sim.Start(args)) << m_sim.Error();
        ASSERT_TRUE(m_run.CreateDataFile(m_dataFile).ok);
        ASSERT_TRUE(m_run.BeginMeasurementOn(m_sim.DevicePath(), kInterval)) << m_run.OpenError();
    }

    // One second passes and the timer ticks.
    TickResult Tick() {
        m_clock.Advance(1000);
        return m_run.OnTimer();
    }

    TempDir m_dir;
    std::string m_log = m_dir.File("wire.log");
    std::string m_dataFile = m_dir.File("data.txt");
    SimProcess m_sim;
    FakeClock m_clock;
    DefaultPortFactory m_factory{m_clock};
    PortMap m_ports;
    MeasurementState m_state;
    Readings m_readings;
    std::unique_ptr<SampleStore> m_store = std::make_unique<SampleStore>();
    MeasurementRun m_run{m_state, m_readings, *m_store, m_clock, m_ports, m_factory};
};

TEST_F(RunOverPty, SendsExactlyTheCommandsAndRecordsTheSample) {
    StartSim({"--seed", "11"});
    const int readings = 4;
    for (int tick = 1; tick <= readings * kInterval; ++tick) {
        const TickResult result = Tick();
        ASSERT_EQ(result.readingTaken, tick % kInterval == 0) << tick;
        if (result.readingTaken) {
            ASSERT_TRUE(result.reading.Valid()) << result.reading.problem;
            ASSERT_TRUE(result.file.wroteAll) << result.file.error;
        }
    }
    m_run.StopMeasurement();

    std::string expected = "LOCL 1\r";
    for (int i = 0; i < readings; ++i) expected += "OUTP ? 3\rOUTP ? 4\r";
    expected += "LOCL 0\r";
    EXPECT_EQ(WaitForReceivedBytes(m_log, expected), expected);
    EXPECT_EQ(m_sim.Stop(), 0);
    EXPECT_EQ(SentReplies(m_log).size(), static_cast<std::size_t>(2 * readings));

    const std::vector<std::string> lines = ReadLines(m_dataFile);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(readings));
    const std::complex<double> z = SampleModel().Impedance(0.0);  // drift is negligible here
    const double amps = 0.1 / std::abs(z);
    const double zPhase = std::arg(z) * 180.0 / std::numbers::pi;
    for (int i = 0; i < readings; ++i) {
        const std::vector<double> v = Numbers(lines[i]);
        ASSERT_EQ(v.size(), 7u) << lines[i];
        const bool voltageReading = i % 2 == 0;  // the run starts on the voltage
        EXPECT_DOUBLE_EQ(v[0], kInterval * (i + 1)) << "elapsed seconds, line " << i;
        EXPECT_NEAR(v[1], 0.1, 1e-3 * 0.1) << "volts, line " << i;
        EXPECT_NEAR(v[2], 0.0, 0.1) << "voltage phase, line " << i;
        if (i == 0) {
            // No current read yet: the floor of 1 uA stands in.
            EXPECT_DOUBLE_EQ(v[3], 1e-6);
            EXPECT_NEAR(v[5], v[1] / 1e-6, 1.0);
        } else {
            EXPECT_NEAR(v[3], amps, 1e-3 * amps) << "amperes, line " << i;
            EXPECT_NEAR(v[4], -zPhase, 0.1) << "current phase, line " << i;
            EXPECT_NEAR(v[5], std::abs(z), 2e-3 * std::abs(z)) << "ohms, line " << i;
            EXPECT_NEAR(v[6], zPhase, 0.2) << "impedance phase, line " << i;
        }
        // Each line carries the quantity just read: voltage lines repeat the last current.
        if (voltageReading && i > 0) {
            EXPECT_EQ(Numbers(lines[i - 1])[3], v[3]) << i;
        }
        if (!voltageReading) {
            EXPECT_EQ(Numbers(lines[i - 1])[1], v[1]) << i;
        }
    }
}

TEST_F(RunOverPty, AHungUpDeviceIsWaitedForUntilTheRunIsStopped) {
    StartSim({"--fault", "hangup", "--fault-after", "2"});
    int readingsTaken = 0;
    TickResult lost;
    for (int tick = 1; tick <= 6 * kInterval; ++tick) {
        const TickResult result = Tick();
        if (!result.readingTaken) continue;
        ++readingsTaken;
        if (result.deviceLost) lost = result;
    }
    EXPECT_EQ(readingsTaken, 6);  // two good readings, then the device vanished
    EXPECT_TRUE(lost.deviceLost);
    EXPECT_TRUE(lost.reading.portFailed);
    EXPECT_NE(lost.deviceProblem.find(m_sim.DevicePath()), std::string::npos) << lost.deviceProblem;
    EXPECT_TRUE(m_run.IsMeasuring());
    EXPECT_TRUE(m_run.IsWaitingForDevice());
    EXPECT_EQ(m_state.port, nullptr);
    ASSERT_EQ(m_run.Outages().size(), 1u);
    EXPECT_EQ(m_run.Outages()[0].missedReadings, 4);

    const std::vector<std::string> lines = ReadLines(m_dataFile);
    ASSERT_EQ(lines.size(), 2u);
    for (const std::string& line : lines) EXPECT_EQ(Numbers(line).size(), 7u) << line;
    EXPECT_NEAR(Numbers(lines[0])[1], 0.1, 1e-4);

    // The third reading's first byte met the hang-up; what else of its command reached the
    // terminal before it vanished depends on timing.
    ASSERT_TRUE(WaitForLogLine(m_log, "-- hangup"));
    const std::string good = "LOCL 1\rOUTP ? 3\rOUTP ? 4\rOUTP ? 3\rOUTP ? 4\rO";
    const std::string wire = ReceivedBytes(m_log);
    ASSERT_EQ(wire.substr(0, good.size()), good);
    EXPECT_EQ(std::string("UTP ? 3\r").substr(0, wire.size() - good.size()),
              wire.substr(good.size()));
    m_run.StopMeasurement();  // no device to release: ends at once
    EXPECT_FALSE(m_run.IsMeasuring());
    EXPECT_EQ(ReadLines(m_dataFile).size(), 2u);
    EXPECT_EQ(m_sim.Stop(), 0);
}

TEST_F(RunOverPty, AnUnpluggedAdapterIsTakenUpAgainOnTheSamePath) {
    const std::string device = m_dir.File("amplifier");
    StartSim({"--link", device});
    ASSERT_EQ(m_sim.DevicePath(), device);
    std::vector<double> times;
    for (int dropout = 0; dropout < 2; ++dropout) {
        for (int reading = 0; reading < 2; ++reading) {
            TickResult result = Tick();
            if (!result.readingTaken) result = Tick();
            ASSERT_TRUE(result.reading.Valid()) << result.reading.problem;
            EXPECT_EQ(result.deviceBack, dropout > 0 && reading == 0);
        }
        ASSERT_EQ(m_sim.Signal(SIGUSR1), 0);  // unplugged
        ASSERT_TRUE(WaitForLogLine(m_log, "-- unplugged"));
        for (int missed = 0; missed < 2; ++missed) {
            TickResult result = Tick();
            if (!result.readingTaken) result = Tick();
            EXPECT_EQ(result.deviceLost, missed == 0);
            EXPECT_TRUE(result.waitingForDevice) << result.reading.problem;
        }
        ASSERT_EQ(m_sim.Signal(SIGUSR2), 0);  // plugged in again, on a new terminal
        ASSERT_TRUE(WaitForLogLine(m_log, "-- plugged in", dropout + 1));
    }
    TickResult back = Tick();
    if (!back.readingTaken) back = Tick();
    EXPECT_TRUE(back.deviceBack);
    ASSERT_TRUE(back.reading.Valid()) << back.reading.problem;
    m_run.StopMeasurement();

    // Every answered reading is on file, in order; a reading after each return is the
    // voltage again ("LOCL 1" first), and the time column goes on over the gaps.
    const std::vector<std::string> lines = ReadLines(m_dataFile);
    ASSERT_EQ(lines.size(), 5u);
    // Each return settles 300 ms before its reading; the fake clock counts that too.
    const double expectedSeconds[] = {2, 4, 10.3, 12.3, 18.6};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::vector<double> v = Numbers(lines[i]);
        ASSERT_EQ(v.size(), 7u) << lines[i];
        EXPECT_DOUBLE_EQ(v[0], expectedSeconds[i]) << "line " << i;
    }
    ASSERT_EQ(m_run.Outages().size(), 2u);
    for (const Outage& outage : m_run.Outages()) EXPECT_EQ(outage.missedReadings, 2);
    EXPECT_TRUE(ReceivedBytes(m_log).ends_with("LOCL 1\rOUTP ? 3\rOUTP ? 4\rLOCL 0\r"));
    EXPECT_EQ(m_sim.Stop(), 0);
}
}  // namespace
