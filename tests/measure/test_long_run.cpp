// A run longer than the sample store, time-compressed with a fake clock: the store stops
// at its capacity without overflow while the data file gets every line.

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>

#include "FakeClock.h"
#include "FakeSerialPort.h"
#include "TempDir.h"
#include "measure/MeasurementRun.h"
#include "measure/PortMap.h"

namespace {
// Memory-backed when the system offers it, so 70,000 synced lines stay quick.
std::filesystem::path QuickTemporaryBase() {
    const std::filesystem::path shm = "/dev/shm";
    if (std::filesystem::is_directory(shm) && ::access(shm.c_str(), W_OK | X_OK) == 0) return shm;
    return std::filesystem::temp_directory_path();
}
}  // namespace

TEST(LongRun, MoreReadingsThanTheStoreHoldsAllReachTheFile) {
    const TempDir dir(QuickTemporaryBase());
    const std::string path = dir.File("long.txt");

    auto line = std::make_shared<FakeLine>();
    line->responder = Amplifier("1.0", "-10", "2.0", "-40");
    FakeClock clock;
    FakePortFactory factory(line, &clock);
    PortMap ports;
    MeasurementState state;
    Readings readings;
    auto store = std::make_unique<SampleStore>();
    MeasurementRun run(state, readings, *store, clock, ports, factory);
    ASSERT_TRUE(run.CreateDataFile(path).ok);
    ASSERT_TRUE(run.BeginMeasurement(0, 2));

    constexpr long kReadings = SampleStore::kCapacity + 4464;  // 70,000
    long refused = 0;
    for (long reading = 0; reading < kReadings; ++reading) {
        TickResult result;
        for (int tick = 0; tick < 2; ++tick) {
            clock.Advance(1000);
            result = run.OnTimer();
        }
        ASSERT_TRUE(result.readingTaken);
        ASSERT_TRUE(result.file.wroteAll);
        ASSERT_NE(result.sampleStored, result.storeFull);
        if (result.storeFull) ++refused;
    }
    run.StopMeasurement();

    EXPECT_EQ(store->count, SampleStore::kCapacity);
    EXPECT_EQ(refused, kReadings - SampleStore::kCapacity);
    // The last stored sample is reading 65,536, taken 131,072 s after the time zero.
    EXPECT_DOUBLE_EQ(store->timeMinutes[SampleStore::kCapacity - 1],
                     SampleStore::kCapacity * 2 * 0.016666666666666666);
    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kReadings));
    EXPECT_EQ(lines.back().substr(0, lines.back().find(' ')), "140000");
}
