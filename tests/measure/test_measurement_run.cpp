#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "OpenFiles.h"
#include "ScriptedRun.h"

namespace {

class RunTest : public ::testing::Test, protected ScriptedRun {
protected:
    RunTest() {
        line->responder = Amplifier("1.000", "-12.5", "0.5", "-40.25");
        run.SetRepaintRequest([this] { ++repaints; });
        clock.Advance(10000);
    }
    bool Begin(int interval = 2) {
        EXPECT_TRUE(run.CreateDataFile(path).ok);
        return run.BeginMeasurement(1, interval);
    }

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

TEST_F(RunTest, StartThatFailsChangesNothingOfThePreviousRun) {
    struct Case {
        const char* name;
        void (*breakLine)(FakeLine&);
        MeasurementRun::BeginFailure failure;
        const char* errorMentions;
    };
    const Case cases[] = {
        {"port cannot be opened", [](FakeLine& l) { l.openFails = true; },
         MeasurementRun::BeginFailure::PortNotOpened, "/dev/fake: Permission denied"},
        {"LOCL 1 cannot be sent", [](FakeLine& l) { l.writesTimeOut = true; },
         MeasurementRun::BeginFailure::AmplifierNotReached,
         "\"LOCL 1\" could not be sent: /dev/ttyS1: a write timed out"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        *line = FakeLine();
        line->clock = &clock;
        line->responder = Amplifier("1.000", "-12.5", "0.5", "-40.25");
        // A previous run: three readings at 5 s, one tick into the next interval.
        ASSERT_TRUE(Begin(5));
        TickUntilReading();
        TickUntilReading();
        TickUntilReading();
        clock.Advance(1000);
        run.OnTimer();
        run.StopMeasurement();
        const Readings before = readings;
        const int closes = line->closes;

        c.breakLine(*line);
        EXPECT_FALSE(Begin(2));
        EXPECT_EQ(run.BeginError(), c.failure);
        EXPECT_NE(run.OpenError().find(c.errorMentions), std::string::npos) << run.OpenError();
        EXPECT_EQ(state.measuring, 0);
        EXPECT_EQ(state.port, nullptr);
        EXPECT_EQ(line->closes - closes,
                  c.failure == MeasurementRun::BeginFailure::PortNotOpened ? 0 : 1);
        EXPECT_EQ(store.count, 3);
        EXPECT_EQ(state.ticksPerReading, 5);
        EXPECT_EQ(state.tickCount, 1);
        EXPECT_EQ(run.ReadingsTaken(), 3);
        EXPECT_TRUE(state.currentNext);  // as the previous run left it
        EXPECT_DOUBLE_EQ(readings.voltage, before.voltage);
        EXPECT_DOUBLE_EQ(readings.impedance, before.impedance);
    }
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

// The fourth field of a data line: the current as the file holds it.
std::string CurrentColumn(const std::string& line) {
    std::istringstream fields(line);
    std::string field;
    for (int n = 0; n < 4; ++n) fields >> field;
    return field;
}

TEST_F(RunTest, CurrentBelowTheFloorIsRaisedToExactlyTheFloor) {
    // Current replies are in units of 0.1 mA. Near the floor, the replies are picked for the
    // double they scale to: "0.0099999999999999967" gives the double just below 1e-6,
    // "0.0099999999999999985" gives 1e-6 itself, and "0.01" the double just above it.
    struct Case {
        const char* currentReply;
        bool raised;         // true: stored as exactly 1e-6; false: kept, above the floor
        double stored;       // A
        const char* column;  // column 4 of the data file
        double impedance;    // ohm, for 0.1 V
    };
    const Case cases[] = {
        {"0.005", true, 1e-6, "1e-06", 1e5},  // 5e-7
        {"0", true, 1e-6, "1e-06", 1e5},
        {"-3", true, 1e-6, "1e-06", 1e5},
        {"0.0099999999999999967", true, 1e-6, "1e-06", 1e5},
        {"0.0099999999999999985", true, 1e-6, "1e-06", 1e5},
        {"0.01", false, 1e-6, "1e-06", 1e5},
        {"0.02", false, 2e-6, "2e-06", 5e4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.currentReply);
        line->responder = Amplifier("1.0", "0", c.currentReply, "0");
        ASSERT_TRUE(Begin(2));
        TickUntilReading();
        TickUntilReading();
        if (c.raised) {
            EXPECT_EQ(readings.current, 1e-6);  // exactly: not a neighbour of it
        } else {
            EXPECT_GT(readings.current, 1e-6);  // the floor left it alone
            EXPECT_DOUBLE_EQ(readings.current, c.stored);
        }
        EXPECT_DOUBLE_EQ(readings.impedance, c.impedance);
        const std::vector<std::string> lines = ReadLines(path);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(CurrentColumn(lines[1]), c.column);
        run.StopMeasurement();
    }
}

TEST_F(RunTest, CarriedOverCurrentBelowTheFloorOrNotANumberIsRaised) {
    // A reply that is not a finite number changes nothing, so NaN reaches the floor only as
    // the current the records carry into a run. The run's first reading is a voltage, and its
    // impedance is formed with that current: raised to 1e-6, it stays finite.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    struct Case {
        double carried;    // A, in the records before the run
        double stored;     // A, after the voltage reading
        double impedance;  // ohm, for 0.1 V
        const char* column;
    };
    const Case cases[] = {
        {nan, 1e-6, 1e5, "1e-06"},
        // The records as the program starts.
        {0.0, 1e-6, 1e5, "1e-06"},
        {-2e-6, 1e-6, 1e5, "1e-06"},
        {5e-7, 1e-6, 1e5, "1e-06"},
        {-infinity, 1e-6, 1e5, "1e-06"},
        {4e-6, 4e-6, 25000, "4e-06"},  // above the floor: kept
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.carried);
        line->responder = Amplifier("1.0", "0", "0.5", "0");
        readings.current = c.carried;
        ASSERT_TRUE(Begin(2));
        TickUntilReading();
        EXPECT_EQ(readings.current, c.stored);
        EXPECT_DOUBLE_EQ(readings.impedance, c.impedance);
        const std::vector<std::string> lines = ReadLines(path);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(CurrentColumn(lines[0]), c.column);
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

#ifdef __linux__
TEST_F(RunTest, NothingHoldsTheDataFileOnceTheRunHasEnded) {
    ASSERT_TRUE(Begin(2));
    TickUntilReading();
    EXPECT_EQ(HandlesOn(path), 1);  // kept during the run, so a deleted file comes back whole
    run.StopMeasurement();
    EXPECT_EQ(HandlesOn(path), 0);  // a USB stick holding it can be unmounted now
}
#endif

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

TEST_F(RunTest, DroppedDeviceIsWaitedForAndTheRunGoesOnWhereItWas) {
    ASSERT_TRUE(Begin(2));
    TickUntilReading();  // voltage at 2 s
    TickUntilReading();  // current at 4 s
    ASSERT_EQ(ReadLines(path).size(), 2u);

    line->Unplug();
    TickResult result;
    TickUntilReading(&result);  // due at 6 s: finds the device gone
    EXPECT_TRUE(result.deviceLost);
    EXPECT_TRUE(result.waitingForDevice);
    EXPECT_FALSE(result.reading.Valid());
    EXPECT_NE(result.deviceProblem.find("no longer there"), std::string::npos)
        << result.deviceProblem;
    EXPECT_EQ(result.outage.missedReadings, 1);
    EXPECT_TRUE(run.IsMeasuring());
    EXPECT_TRUE(run.IsWaitingForDevice());
    EXPECT_EQ(state.port, nullptr);

    const int opensBefore = line->opens;
    for (int missed = 2; missed <= 4; ++missed) {
        TickUntilReading(&result);        // 8, 10, 12 s: the device is still gone
        EXPECT_FALSE(result.deviceLost);  // told once, not at every missed reading
        EXPECT_TRUE(result.waitingForDevice);
        EXPECT_EQ(result.outage.missedReadings, missed);
        EXPECT_NE(result.deviceProblem.find("No such file or directory"), std::string::npos);
    }
    EXPECT_EQ(line->opens, opensBefore);          // every attempt was refused
    EXPECT_EQ(factory.lastDevice, "/dev/ttyS1");  // the same port each time
    EXPECT_EQ(ReadLines(path).size(), 2u);

    line->Plug();
    line->wire.clear();
    const long long sleptBefore = clock.Slept();
    TickUntilReading(&result);  // 14 s: back, prepared again, and read 300 ms later
    EXPECT_TRUE(result.deviceBack);
    EXPECT_FALSE(result.waitingForDevice);
    EXPECT_EQ(result.endedOutage.missedReadings, 4);
    EXPECT_EQ(result.endedOutage.backMs - result.endedOutage.lostMs, 4 * 2000);
    EXPECT_TRUE(result.reading.Valid()) << result.reading.problem;
    EXPECT_EQ(clock.Slept() - sleptBefore, 300);  // the settling wait
    EXPECT_EQ(line->wire, "LOCL 1\rOUTP ? 3\rOUTP ? 4\r");
    EXPECT_EQ(line->dtrLog.back(), 'H');  // the reading was the voltage; the current comes next
    EXPECT_TRUE(state.currentNext);
    EXPECT_EQ(state.ticksPerReading, 2);
    EXPECT_EQ(run.ReadingsTaken(), 7);
    ASSERT_EQ(run.Outages().size(), 1u);
    EXPECT_EQ(run.Outages()[0].backMs, result.endedOutage.backMs);
    // The same file and time zero: the time column goes on, with a gap.
    EXPECT_EQ(ReadLines(path),
              (std::vector<std::string>{"2 0.1 -12.5 1e-06 0 100000 -12.5",
                                        "4 0.1 -12.5 5e-05 -40.25 2000 27.75",
                                        "14.3 0.1 -12.5 5e-05 -40.25 2000 27.75"}));
    EXPECT_EQ(store.count, 3);
}

TEST_F(RunTest, RepeatedDropoutsLoseOnlyTheReadingsWhileTheDeviceIsGone) {
    ASSERT_TRUE(Begin(2));
    // Two good readings, then an outage of 1, 2 and 3 missed readings; each return settles
    // 300 ms before its reading.
    for (int outage = 1; outage <= 3; ++outage) {
        for (int reading = 0; reading < 2; ++reading) {
            TickResult result;
            TickUntilReading(&result);
            ASSERT_TRUE(result.reading.Valid()) << result.reading.problem;
        }
        line->Unplug();
        for (int missed = 0; missed < outage; ++missed) TickUntilReading();
        line->Plug();
    }
    TickResult back;
    TickUntilReading(&back);
    EXPECT_TRUE(back.deviceBack);

    std::vector<std::string> times;
    for (const std::string& text : ReadLines(path)) times.push_back(text.substr(0, text.find(' ')));
    EXPECT_EQ(times, (std::vector<std::string>{"2", "4", "8.3", "10.3", "16.6", "18.6", "26.9"}));
    ASSERT_EQ(run.Outages().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(run.Outages()[i].missedReadings, i + 1) << i;
        EXPECT_EQ(run.Outages()[i].backMs - run.Outages()[i].lostMs, (i + 1) * 2000) << i;
    }
}

TEST_F(RunTest, ADeviceBackOnlyForAMomentTellsTheOutageThatEndedAndTheNewOne) {
    ASSERT_TRUE(Begin(2));
    TickUntilReading();
    line->Unplug();
    TickUntilReading();  // gone
    TickUntilReading();  // still gone
    line->Plug();
    // It takes "LOCL 1" and is gone again before the reading.
    line->vanishAfterWrites = static_cast<int>(line->wire.size() + std::string("LOCL 1\r").size());
    TickResult result;
    TickUntilReading(&result);
    EXPECT_TRUE(result.deviceBack);
    EXPECT_EQ(result.endedOutage.missedReadings, 2);
    EXPECT_GE(result.endedOutage.backMs, result.endedOutage.lostMs);
    EXPECT_TRUE(result.deviceLost);
    EXPECT_TRUE(result.waitingForDevice);
    EXPECT_EQ(result.outage.backMs, -1);
    EXPECT_EQ(result.outage.missedReadings, 1);
    ASSERT_EQ(run.Outages().size(), 2u);
    EXPECT_EQ(run.Outages()[0].backMs, result.endedOutage.backMs);
    EXPECT_TRUE(run.IsWaitingForDevice());
}

TEST_F(RunTest, StopWhileWaitingEndsTheRunAtOnce) {
    ASSERT_TRUE(Begin(2));
    TickUntilReading();
    line->Unplug();
    TickUntilReading();
    ASSERT_TRUE(run.IsWaitingForDevice());
    line->wire.clear();
    const long long before = clock.Milliseconds();
    run.StopMeasurement();
    EXPECT_EQ(clock.Milliseconds(), before);
    EXPECT_EQ(line->wire, "");  // there is no device to send "LOCL 0" to
    EXPECT_FALSE(run.IsMeasuring());
    EXPECT_FALSE(run.IsWaitingForDevice());
    ASSERT_EQ(run.Outages().size(), 1u);
    EXPECT_EQ(run.Outages()[0].backMs, -1);  // it never came back during the run
    EXPECT_EQ(ReadLines(path).size(), 1u);
}

TEST_F(RunTest, WriteTimeOutIsAFailedReadingNotALostDevice) {
    ASSERT_TRUE(Begin(2));
    line->writesTimeOut = true;
    TickResult result;
    TickUntilReading(&result);
    EXPECT_FALSE(result.reading.Valid());
    EXPECT_FALSE(result.deviceLost);
    EXPECT_FALSE(run.IsWaitingForDevice());
    EXPECT_NE(result.reading.problem.find("could not be sent"), std::string::npos);
    line->writesTimeOut = false;
    TickUntilReading(&result);
    EXPECT_TRUE(result.reading.Valid()) << result.reading.problem;
    EXPECT_EQ(ReadLines(path).size(), 1u);
    EXPECT_TRUE(run.Outages().empty());
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
    ASSERT_TRUE(run.CreateDataFile(path).ok);
    EXPECT_TRUE(run.BeginMeasurementOn("/dev/pts/7", 2));
    EXPECT_EQ(factory.lastDevice, "/dev/pts/7");
    ports.SimulateAll();
    run.StopMeasurement();
    EXPECT_TRUE(run.BeginMeasurement(3, 2));
    EXPECT_EQ(factory.lastDevice, "sim");
}

TEST_F(RunTest, ARunWithoutADataFileLeavesNoRecordInTheCurrentFolder) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const bool begun = run.BeginMeasurementOn("/dev/pts/7", 2);
    run.StopMeasurement();
    std::filesystem::current_path(before);
    EXPECT_TRUE(begun);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

}  // namespace
