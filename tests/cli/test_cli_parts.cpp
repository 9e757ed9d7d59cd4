// The pure parts of the headless modes: the tick schedule and a data file's rows turned
// into the window's records.

#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "app/cli/PlotData.h"
#include "app/cli/TickSchedule.h"
#include "measure/MeasurementState.h"
#include "measure/SampleStore.h"

TEST(TickSchedule, NextTickIsTheNextWholeSecondOfTheRunAndSkipsMissedOnes) {
    struct Case {
        long long since, next;
    } const cases[] = {
        {0, 1000},    {1, 1000},    {999, 1000}, {1000, 2000}, {1999, 2000},
        {3750, 4000},  // a tick whose work blocked 2.75 s: the missed ones are dropped
        {-20, 1000},   // a reading before the origin counts as the origin
        {40LL * 24 * 3600 * 1000 + 1, 40LL * 24 * 3600 * 1000 + 1000},  // beyond an int
    };
    for (const Case& c : cases) EXPECT_EQ(NextTickMs(c.since), c.next) << "since " << c.since;
}

TEST(PlotData, RowsBecomeSamplesInMinutesAndTheLastRowTheReadings) {
    const std::vector<DataRow> rows = {{90, 0.1, 1, 2e-6, 3, 50000, -2},
                                       {180, 0.2, 4, 4e-6, 5, 50000, -1}};
    Readings readings;
    auto store = std::make_unique<SampleStore>();
    store->count = 7;  // whatever was there before
    EXPECT_EQ(FillFromRows(rows, readings, *store), 0u);
    ASSERT_EQ(store->count, 2);
    EXPECT_EQ(store->timeMinutes[0], 90 * 0.016666666666666666);
    EXPECT_DOUBLE_EQ(store->timeMinutes[1], 3.0);
    EXPECT_EQ(store->impedance[1], 50000);
    EXPECT_EQ(store->phase[0], -2);
    EXPECT_EQ(readings.elapsedSeconds, 180);
    EXPECT_EQ(readings.voltage, 0.2);
    EXPECT_EQ(readings.voltagePhase, 4);
    EXPECT_EQ(readings.current, 4e-6);
    EXPECT_EQ(readings.currentPhase, 5);
    EXPECT_EQ(readings.impedance, 50000);
    EXPECT_EQ(readings.impedancePhase, -1);
}

TEST(PlotData, MoreRowsThanTheStoreHoldsKeepTheFirstAndCountTheRest) {
    std::vector<DataRow> rows(SampleStore::kCapacity + 3);
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = {double(i) * 60, 0, 0, 1e-6, 0, double(i), 0};
    Readings readings;
    auto store = std::make_unique<SampleStore>();
    EXPECT_EQ(FillFromRows(rows, readings, *store), 3u);
    EXPECT_EQ(store->count, SampleStore::kCapacity);
    EXPECT_EQ(store->impedance[SampleStore::kCapacity - 1], SampleStore::kCapacity - 1);
    // The status text still shows the file's last line.
    EXPECT_EQ(readings.impedance, SampleStore::kCapacity + 2);
}
