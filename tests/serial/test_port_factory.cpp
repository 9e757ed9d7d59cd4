// The default port factory: "sim" is the in-process simulated amplifier (on the clock the
// factory was given), everything else the operating system's serial port; and a whole run
// on "sim", as `varkel --simulate` makes it.

#include <gtest/gtest.h>
#include <cmath>
#include <complex>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "TempDir.h"
#include "app/ports/PortFactory.h"
#include "measure/MeasurementRun.h"
#include "measure/PortMap.h"
#include "platform/serial/QtSerialPort.h"
#include "sim/SampleModel.h"
#include "sim/SimulatedPort.h"

namespace {
TEST(DefaultPortFactory, SimIsTheSimulatorAndEverythingElseASerialDevice) {
    FakeClock clock;
    DefaultPortFactory factory(clock);
    for (const std::string device : {"/dev/ttyS0", "COM1", "/dev/pts/9", "simulated", "SIM"}) {
        const std::unique_ptr<SerialPort> port = factory.Create(device);
        EXPECT_NE(dynamic_cast<QtSerialPort*>(port.get()), nullptr) << device;
    }
    const std::unique_ptr<SerialPort> sim = factory.Create("sim");
    ASSERT_NE(dynamic_cast<SimulatedPort*>(sim.get()), nullptr);
    // It waits on the factory's clock: a read with nothing to read costs exactly 300 ms there.
    ASSERT_TRUE(sim->Open("sim"));
    ASSERT_TRUE(sim->Configure(SerialSettings{}));
    EXPECT_EQ(sim->ReadByte().status, SerialRead::Status::TimedOut);
    EXPECT_EQ(clock.Milliseconds(), 300);
}

TEST(DefaultPortFactory, SimulatorFaultsApplyToPortsMadeAfterwards) {
    FakeClock clock;
    DefaultPortFactory factory(clock);
    factory.SetSimulatorFault({FaultMode::Garbage, 0, 0});
    const std::unique_ptr<SerialPort> port = factory.Create("sim");
    ASSERT_TRUE(port->Open("sim"));
    for (const char c : std::string("OUTP ? 3\r"))
        ASSERT_EQ(port->WriteByte(static_cast<unsigned char>(c)), SerialWrite::Written);
    std::string reply;
    for (SerialRead r = port->ReadByte(); r.status == SerialRead::Status::Byte;
         r = port->ReadByte()) {
        reply.push_back(static_cast<char>(r.byte));
        if (r.byte == '\r') break;
    }
    EXPECT_EQ(reply, "ERR?\r");
}

TEST(DefaultPortFactory, AWholeRunOnTheSimulatorAlternatesVoltageAndCurrent) {
    FakeClock clock;
    DefaultPortFactory factory(clock);
    PortMap ports;
    ports.SimulateAll();
    MeasurementState state;
    Readings readings;
    auto store = std::make_unique<SampleStore>();
    MeasurementRun run(state, readings, *store, clock, ports, factory);
    TempDir dir;
    ASSERT_TRUE(run.CreateDataFile(dir.File("sim.txt")).ok);
    ASSERT_TRUE(run.BeginMeasurement(2, 2)) << run.OpenError();  // "COM3", served by "sim"

    const std::complex<double> z = SampleModel().Impedance(0.0);
    for (int reading = 0; reading < 6; ++reading) {
        clock.Advance(1000);
        EXPECT_FALSE(run.OnTimer().readingTaken);
        clock.Advance(1000);
        const TickResult result = run.OnTimer();
        ASSERT_TRUE(result.reading.Valid()) << result.reading.problem;
        EXPECT_NEAR(readings.voltage, 0.1, 1e-4);
        if (reading > 0) {
            // A wrong channel (DTR ignored) would be off by orders of magnitude.
            EXPECT_NEAR(readings.impedance, std::abs(z), 2e-3 * std::abs(z)) << reading;
        }
        // DTR follows the quantity read next: high while the current is due.
        EXPECT_EQ(state.currentNext, reading % 2 == 0);
    }
    EXPECT_EQ(store->count, 6);
    run.StopMeasurement();
    EXPECT_EQ(ReadLines(dir.File("sim.txt")).size(), 6u);
}
}  // namespace
