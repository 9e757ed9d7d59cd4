#include <gtest/gtest.h>

#include <filesystem>

#include "FakeClock.h"
#include "FakeSerialPort.h"
#include "TempDir.h"
#include "measure/MeasurementRun.h"
#include "measure/PortMap.h"

namespace {

class RunTest : public ::testing::Test {
protected:
    RunTest() : factory(line, &clock), run(state, readings, store, clock, ports, factory) {
        line->responder = Amplifier("1.000", "-12.5", "0.5", "-40.25");
        run.SetRepaintRequest([this] { ++repaints; });
        clock.Advance(10000);
    }
    bool Begin(int interval = 2) {
        EXPECT_TRUE(run.CreateDataFile(path).ok);
        return run.BeginMeasurement(1, interval);
    }
    // Ticks until a reading is taken; returns how many ticks that took.
    int TickUntilReading(TickResult* result = nullptr) {
        for (int ticks = 1; ticks <= 1000; ++ticks) {
            clock.Advance(1000);
            TickResult r = run.OnTimer();
            if (r.readingTaken) {
                if (result) *result = r;
                return ticks;
            }
        }
        return -1;
    }

    std::shared_ptr<FakeLine> line = std::make_shared<FakeLine>();
    FakeClock clock;
    FakePortFactory factory;
    PortMap ports;
    MeasurementState state;
    Readings readings;
    SampleStore store;
    MeasurementRun run;
    TempDir dir;
    std::string path = dir.File("run.txt");
    int repaints = 0;
};

TEST_F(RunTest, BeginOpensSettlesDiscardsAndSendsLocl1) {
    line->Inject("stale bytes from before\r");
    store.count = 17;
    state.currentNext = true;  // as a previous run with an odd number of readings leaves it
    const int sleptBefore = clock.Slept();
    ASSERT_TRUE(Begin(5));
    EXPECT_EQ(factory.lastDevice, "/dev/ttyS1");  // nPort 1 is COM2
    EXPECT_EQ(clock.Slept() - sleptBefore, 300);
    EXPECT_TRUE(line->input.empty());
    EXPECT_EQ(line->wire, "LOCL 1\r");
    EXPECT_EQ(store.count, 0);
    EXPECT_EQ(state.measuring, 1);
    EXPECT_EQ(state.ticksPerReading, 5);
    EXPECT_EQ(state.tickCount, 0);
    EXPECT_FALSE(state.currentNext);
    EXPECT_DOUBLE_EQ(state.startTime, clock.Milliseconds() * 0.001);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST_F(RunTest, PortThatCannotBeOpenedChangesNothing) {
    store.count = 3;
    readings.voltage = 0.5;
    line->openFails = true;
    EXPECT_FALSE(Begin());
    EXPECT_EQ(run.OpenError(), "/dev/fake: Permission denied");
    EXPECT_EQ(state.measuring, 0);
    EXPECT_EQ(store.count, 3);
    EXPECT_DOUBLE_EQ(readings.voltage, 0.5);
    EXPECT_EQ(line->wire, "");
}

TEST_F(RunTest, ReadingComesEveryIntervalTicks) {
    for (int interval : {2, 3, 600}) {
        SCOPED_TRACE(interval);
        ASSERT_TRUE(Begin(interval));
        EXPECT_EQ(TickUntilReading(), interval);
        EXPECT_EQ(TickUntilReading(), interval);
        EXPECT_EQ(run.ReadingsTaken(), 2);
        run.StopMeasurement();
    }
}

TEST_F(RunTest, IdleTicksDoNothing) {
    EXPECT_FALSE(run.OnTimer().readingTaken);
    EXPECT_EQ(state.tickCount, 0);
    EXPECT_EQ(repaints, 0);
    EXPECT_EQ(line->wire, "");
}

TEST_F(RunTest, EachReadingStoresASampleAndAppendsALine) {
    ASSERT_TRUE(Begin(2));
    // First reading: the voltage; the current is still 0 and is raised to 1e-6.
    clock.Advance(88000);  // the reading starts 90 s after the time zero
    TickResult first;
    TickUntilReading(&first);
    EXPECT_TRUE(first.reading.Valid());
    EXPECT_TRUE(first.sampleStored);
    EXPECT_TRUE(first.file.wroteAll);
    EXPECT_DOUBLE_EQ(readings.elapsedSeconds, 90.0);
    EXPECT_DOUBLE_EQ(readings.current, 1e-6);
    EXPECT_DOUBLE_EQ(readings.impedance, 0.1 / 1e-6);
    EXPECT_DOUBLE_EQ(readings.impedancePhase, -12.5);
    ASSERT_EQ(store.count, 1);
    EXPECT_DOUBLE_EQ(store.timeMinutes[0], 1.5);
    EXPECT_DOUBLE_EQ(store.impedance[0], 100000.0);
    EXPECT_DOUBLE_EQ(store.phase[0], -12.5);

    // Second reading: the current, combined with the voltage from before.
    TickUntilReading();
    EXPECT_DOUBLE_EQ(readings.current, 5e-5);
    EXPECT_DOUBLE_EQ(readings.impedance, 0.1 / 5e-5);
    EXPECT_DOUBLE_EQ(readings.impedancePhase, -12.5 - -40.25);
    EXPECT_EQ(store.count, 2);
    EXPECT_EQ(repaints, 2);
    EXPECT_EQ(ReadLines(path), (std::vector<std::string>{"90 0.1 -12.5 1e-06 0 100000 -12.5",
                                                         "92 0.1 -12.5 5e-05 -40.25 2000 27.75"}));
    EXPECT_EQ(line->wire, "LOCL 1\rOUTP ? 3\rOUTP ? 4\rOUTP ? 3\rOUTP ? 4\r");
    EXPECT_EQ(line->dtrLog, "HL");
}

TEST_F(RunTest, ElapsedTimeKeepsCountingPastWhatAnIntOfMillisecondsHolds) {
    ASSERT_TRUE(Begin(600));
    clock.Advance(30LL * 24 * 3600 * 1000);  // 30 days into the run
    TickUntilReading();
    EXPECT_DOUBLE_EQ(readings.elapsedSeconds, 30.0 * 24 * 3600 + 600);
    EXPECT_DOUBLE_EQ(store.timeMinutes[0], (30.0 * 24 * 3600 + 600) * 0.016666666666666666);
}

TEST_F(RunTest, CurrentBelowTheFloorOrNotANumberIsRaised) {
    struct Case {
        const char* currentReply;
        double stored;
    };
    // 0.005 * 0.0001 = 5e-7 is below; 0.01 gives exactly 1e-6 (rounding aside).
    const Case cases[] = {{"0.005", 1e-6}, {"0", 1e-6}, {"-3", 1e-6}, {"0.02", 2e-6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.currentReply);
        line->responder = Amplifier("1.0", "0", c.currentReply, "0");
        ASSERT_TRUE(Begin(2));
        TickUntilReading();
        TickUntilReading();
        EXPECT_DOUBLE_EQ(readings.current, c.stored);
        run.StopMeasurement();
    }
}

TEST_F(RunTest, ReadingsCarryOverIntoTheNextRunAndSamplesStartAgain) {
    ASSERT_TRUE(Begin(2));
    TickUntilReading();
    TickUntilReading();
    TickUntilReading();  // odd number of readings: the next one would be a current
    run.StopMeasurement();
    EXPECT_EQ(store.count, 3);
    const double current = readings.current;

    line->responder = Amplifier("3.0", "1", "9", "2");
    ASSERT_TRUE(Begin(2));
    EXPECT_EQ(store.count, 0);
    TickUntilReading();
    // The new run starts with the voltage, and keeps the current of the last run.
    EXPECT_DOUBLE_EQ(readings.voltage, 0.3);
    EXPECT_DOUBLE_EQ(readings.current, current);
    EXPECT_DOUBLE_EQ(readings.impedance, 0.3 / current);
    EXPECT_EQ(store.count, 1);
    EXPECT_EQ(ReadLines(path).size(), 1u);
}

TEST_F(RunTest, StopSendsLocl0AndClosesOnceOnly) {
    ASSERT_TRUE(Begin(2));
    run.StopMeasurement();
    EXPECT_EQ(line->wire, "LOCL 1\rLOCL 0\r");
    EXPECT_EQ(line->closes, 1);
    EXPECT_EQ(state.measuring, 0);
    EXPECT_EQ(state.port, nullptr);
    run.StopMeasurement();
    EXPECT_EQ(line->wire, "LOCL 1\rLOCL 0\r");
    EXPECT_EQ(line->closes, 1);
}

TEST_F(RunTest, InvalidReplyRecordsNothingButTheRunGoesOn) {
    ASSERT_TRUE(Begin(2));
    TickUntilReading();  // a good voltage reading
    line->responder = Amplifier("1.0", "0", "ERR", "nan");
    TickResult bad;
    TickUntilReading(&bad);
    EXPECT_FALSE(bad.reading.Valid());
    EXPECT_NE(bad.reading.problem.find("current amplitude"), std::string::npos);
    EXPECT_FALSE(bad.sampleStored);
    EXPECT_EQ(store.count, 1);
    EXPECT_EQ(ReadLines(path).size(), 1u);
    EXPECT_EQ(repaints, 2);  // the window still learns of it
    EXPECT_EQ(state.measuring, 1);
}

TEST_F(RunTest, SilentAmplifierCostsOneTimeOutPerReading) {
    line->responder = nullptr;
    ASSERT_TRUE(Begin(2));
    TickUntilReading();
    const int before = clock.Milliseconds();
    TickResult result;
    TickUntilReading(&result);
    // Two seconds of ticks plus the time-out of the amplitude query; no phase query follows.
    EXPECT_EQ(clock.Milliseconds() - before, 2000 + 300);
    EXPECT_EQ(line->wire, "LOCL 1\rOUTP ? 3\rOUTP ? 3\r");
    EXPECT_FALSE(result.reading.Valid());
    EXPECT_EQ(store.count, 0);
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST_F(RunTest, VanishedPortEndsTheRunKeepingEveryLine) {
    ASSERT_TRUE(Begin(2));
    TickUntilReading();
    TickUntilReading();
    line->vanished = true;
    TickResult result;
    TickUntilReading(&result);
    EXPECT_TRUE(result.runEnded);
    EXPECT_NE(result.runEndReason.find("no longer there"), std::string::npos);
    EXPECT_EQ(state.measuring, 0);
    EXPECT_EQ(state.port, nullptr);
    EXPECT_EQ(store.count, 2);
    EXPECT_EQ(ReadLines(path).size(), 2u);
    EXPECT_FALSE(run.OnTimer().readingTaken);
    run.StopMeasurement();  // nothing left to stop
    EXPECT_EQ(ReadLines(path).size(), 2u);
}

TEST_F(RunTest, RepaintIsRequestedAlsoWhenTheLineWaits) {
    ASSERT_TRUE(Begin(2));
    run.m_strDataFile = dir.File("missing/run.txt");
    TickResult result;
    TickUntilReading(&result);
    EXPECT_EQ(repaints, 1);
    EXPECT_TRUE(result.sampleStored);
    EXPECT_EQ(result.file.pending, 1u);
    EXPECT_EQ(run.PendingLines(), 1u);

    std::filesystem::create_directory(dir.Path() / "missing");
    TickUntilReading(&result);
    EXPECT_EQ(result.file.pending, 0u);
    EXPECT_EQ(ReadLines(run.m_strDataFile).size(), 2u);
}

TEST_F(RunTest, FullStoreRefusesSamplesWhileTheFileGetsEveryLine) {
    ASSERT_TRUE(Begin(2));
    store.count = SampleStore::kCapacity - 1;
    TickResult result;
    TickUntilReading(&result);
    EXPECT_TRUE(result.sampleStored);
    EXPECT_EQ(store.count, SampleStore::kCapacity);
    for (int i = 0; i < 3; ++i) {
        TickUntilReading(&result);
        EXPECT_FALSE(result.sampleStored);
        EXPECT_TRUE(result.storeFull);
        EXPECT_TRUE(result.file.wroteAll);
    }
    EXPECT_EQ(store.count, SampleStore::kCapacity);
    EXPECT_EQ(ReadLines(path).size(), 4u);
}

TEST_F(RunTest, DirectPortNameBypassesTheMap) {
    EXPECT_TRUE(run.BeginMeasurementOn("/dev/pts/7", 2));
    EXPECT_EQ(factory.lastDevice, "/dev/pts/7");
    ports.SimulateAll();
    run.StopMeasurement();
    EXPECT_TRUE(run.BeginMeasurement(3, 2));
    EXPECT_EQ(factory.lastDevice, "sim");
}

}  // namespace
