// Looking closer at the charts without a window: the mapping the painter reports for each
// chart, the logarithmic impedance axis, zoom and pan arithmetic, the nearest sample by time
// and the readout's words.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "graph/RecordingDC.h"
#include "measure/MeasurementState.h"
#include "view/ChartNavigation.h"
#include "view/MeasurementPainter.h"
#include "view/SampleReadout.h"

namespace {

// Two charts as a 1000-pixel-wide window might draw them: time 0..100 min at 4 px/min on
// both; impedance 0..50 ohm at 8 px/ohm, phase -10..10 at 20 px/degree; y origin at 450.
ChartMappings TwoCharts() {
    ChartMappings drawn;
    drawn.impedance = {true, 0, 100, 0, 50, 4, 8, 50, 450, CRect{40, 0, 460, 460}};
    drawn.phase = {true, 0, 100, -10, 10, 4, 20, 560, 450, CRect{550, 0, 970, 460}};
    return drawn;
}

// MapX/MapY of the chart engine: truncation toward zero, no rounding.
int PixelX(const ChartMapping& m, double x) {
    return static_cast<int>((x - m.xMin) * m.xFactor + m.originX);
}
int PixelY(const ChartMapping& m, double y) {
    return static_cast<int>(m.originY - (y - m.yMin) * m.yFactor);
}

bool Drew(const RecordingDC& dc, const std::string& call) {
    const std::vector<std::string> log = dc.Log();
    return std::find(log.begin(), log.end(), call) != log.end();
}

std::string LineTo(int x, int y) {
    return "LineTo(" + std::to_string(x) + "," + std::to_string(y) + ")";
}

struct Samples {
    std::vector<double> time, impedance, phase;
    SampleSeries Series() const {
        return {time.data(), impedance.data(), phase.data(), static_cast<int>(time.size())};
    }
};

}  // namespace

TEST(PaintedMapping, IsTheMappingEverySampleWasDrawnWith) {
    const Samples s{{0, 1.5, 3, 4.5}, {120, 380, 250, 300}, {-20, -35, -30, -25}};
    RecordingDC dc;
    ChartMappings drawn;
    PaintMeasurement(&dc, CRect{0, 0, 800, 600}, Readings(), s.Series(), ChartViews(), &drawn);
    ASSERT_TRUE(drawn.impedance.drawn);
    ASSERT_TRUE(drawn.phase.drawn);
    for (std::size_t i = 0; i < s.time.size(); ++i) {
        EXPECT_TRUE(Drew(dc, LineTo(PixelX(drawn.impedance, s.time[i]),
                                    PixelY(drawn.impedance, s.impedance[i]))))
            << "impedance sample " << i;
        EXPECT_TRUE(
            Drew(dc, LineTo(PixelX(drawn.phase, s.time[i]), PixelY(drawn.phase, s.phase[i]))))
            << "phase sample " << i;
    }
    // The frames: the impedance chart's inside the left half, the phase chart's in the right.
    EXPECT_TRUE(Drew(dc, "Rectangle(" + std::to_string(drawn.impedance.plot.left) + "," +
                             std::to_string(drawn.impedance.plot.top) + "," +
                             std::to_string(drawn.impedance.plot.right + 1) + "," +
                             std::to_string(drawn.impedance.plot.bottom + 1) + ")"));
    EXPECT_LE(drawn.impedance.plot.right, 395);
    EXPECT_GE(drawn.phase.plot.left, 405);
    // Automatic ranges take in every sample.
    EXPECT_LE(drawn.impedance.yMin, 120);
    EXPECT_GE(drawn.impedance.yMax, 380);
    EXPECT_LE(drawn.phase.xMin, 0);
    EXPECT_GE(drawn.phase.xMax, 4.5);
}

TEST(PaintedMapping, NothingMapsWithoutSamplesOrRoom) {
    const Samples s{{0, 1}, {1, 2}, {3, 4}};
    struct Case {
        const char* name;
        CRect client;
        int count;
    } const cases[] = {{"no samples", {0, 0, 800, 600}, 0}, {"too small", {0, 0, 60, 70}, 2}};
    for (const Case& c : cases) {
        RecordingDC dc;
        ChartMappings drawn;
        drawn.impedance.drawn = drawn.phase.drawn = true;  // whatever a caller held before
        SampleSeries series = s.Series();
        series.count = c.count;
        PaintMeasurement(&dc, c.client, Readings(), series, ChartViews(), &drawn);
        EXPECT_FALSE(drawn.impedance.drawn) << c.name;
        EXPECT_FALSE(drawn.phase.drawn) << c.name;
    }
}

TEST(PaintedMapping, FixedRangesAreKeptWhenNoEndTickLiesBeyondThem) {
    const Samples s{{0, 10, 20}, {100, 200, 300}, {0, 5, 10}};
    ChartViews views;
    // Every end lies within half a step inside of its last tick: none is widened.
    views.impedance = {true, 5, 15, 150, 250};
    views.phase = {true, 5, 15, 2, 8};
    RecordingDC dc;
    ChartMappings drawn;
    PaintMeasurement(&dc, CRect{0, 0, 800, 600}, Readings(), s.Series(), views, &drawn);
    const ChartMapping& z = drawn.impedance;
    EXPECT_EQ(z.xMin, 5);
    EXPECT_EQ(z.xMax, 15);
    EXPECT_EQ(z.yMin, 150);
    EXPECT_EQ(z.yMax, 250);
    EXPECT_EQ(drawn.phase.yMin, 2);
    EXPECT_EQ(drawn.phase.yMax, 8);
    EXPECT_DOUBLE_EQ(z.DataX(z.originX), 5);
    EXPECT_DOUBLE_EQ(z.DataY(z.originY), 150);
}

TEST(PaintedMapping, LogarithmicImpedanceAxisPlotsLog10AndLeavesOutWhatHasNone) {
    // 0 and -5 ohm have no logarithm: the axis spans the logarithms of 10 to 1000 only.
    const Samples s{{0, 1, 2, 3, 4}, {10, 0, 1000, -5, 100}, {1, 2, 3, 4, 5}};
    ChartViews views;
    views.logImpedance = true;
    RecordingDC dc;
    ChartMappings drawn;
    PaintMeasurement(&dc, CRect{0, 0, 800, 600}, Readings(), s.Series(), views, &drawn);
    EXPECT_EQ(drawn.impedance.yMin, 1);
    EXPECT_EQ(drawn.impedance.yMax, 3);
    EXPECT_TRUE(
        Drew(dc, LineTo(PixelX(drawn.impedance, 4), PixelY(drawn.impedance, 2))));  // 100 ohm
    bool titled = false;
    for (const RecordedCall& call : dc.Calls()) titled = titled || call.text == "log10(Impedance)";
    EXPECT_TRUE(titled);
    // The phase chart is untouched by it.
    EXPECT_LE(drawn.phase.yMin, 1);
    EXPECT_GE(drawn.phase.yMax, 5);
}

TEST(ChartNavigation, FindsTheChartUnderThePointer) {
    const ChartMappings drawn = TwoCharts();
    struct Case {
        int x, y;
        ChartId chart;
    } const cases[] = {{100, 200, ChartId::Impedance}, {40, 0, ChartId::Impedance},
                       {460, 460, ChartId::Impedance}, {461, 200, ChartId::None},
                       {600, 200, ChartId::Phase},     {970, 461, ChartId::None},
                       {20, 200, ChartId::None}};
    for (const Case& c : cases) EXPECT_EQ(ChartAt(drawn, c.x, c.y), c.chart) << c.x << "," << c.y;
    ChartMappings undrawn = drawn;
    undrawn.impedance.drawn = false;
    EXPECT_EQ(ChartAt(undrawn, 100, 200), ChartId::None);
}

TEST(ChartNavigation, WheelZoomsTimeOnBothChartsAroundThePointer) {
    const ChartMappings drawn = TwoCharts();
    // 25 min lies at 50 + 25 * 4 = 150 px; zooming in by 0.8 keeps it there.
    const ChartViews once = ZoomTime(ChartViews(), drawn, ChartId::Impedance, 150, 0.8);
    for (const ChartRanges* r : {&once.impedance, &once.phase}) {
        EXPECT_TRUE(r->fixed);
        EXPECT_DOUBLE_EQ(r->xMin, 5);
        EXPECT_DOUBLE_EQ(r->xMax, 85);
    }
    // The value axes stay as they were drawn.
    EXPECT_EQ(once.impedance.yMin, 0);
    EXPECT_EQ(once.impedance.yMax, 50);
    EXPECT_EQ(once.phase.yMin, -10);
    EXPECT_EQ(once.phase.yMax, 10);
    // The next turn starts from the range asked for, read through the picture on screen.
    const ChartViews twice = ZoomTime(once, drawn, ChartId::Phase, 560 + 100, 0.8);
    EXPECT_DOUBLE_EQ(twice.phase.xMin, 9);
    EXPECT_DOUBLE_EQ(twice.phase.xMax, 73);
    EXPECT_DOUBLE_EQ(twice.impedance.xMin, 9);
    // Out again by 1 / 0.8.
    const ChartViews out = ZoomTime(once, drawn, ChartId::Impedance, 150, 1.25);
    EXPECT_DOUBLE_EQ(out.impedance.xMin, 0);
    EXPECT_DOUBLE_EQ(out.impedance.xMax, 100);
}

TEST(ChartNavigation, ShiftWheelZoomsOnlyThatChartsValueAxis) {
    const ChartMappings drawn = TwoCharts();
    // 250 px on the phase chart is -10 + (450 - 250) / 20 = 0 degrees.
    const ChartViews zoomed = ZoomValue(ChartViews(), drawn, ChartId::Phase, 250, 0.5);
    EXPECT_DOUBLE_EQ(zoomed.phase.yMin, -5);
    EXPECT_DOUBLE_EQ(zoomed.phase.yMax, 5);
    EXPECT_EQ(zoomed.phase.xMin, 0);
    EXPECT_EQ(zoomed.phase.xMax, 100);
    EXPECT_EQ(zoomed.impedance.yMin, 0);
    EXPECT_EQ(zoomed.impedance.yMax, 50);
}

TEST(ChartNavigation, DraggingMovesTheDataWithThePointer) {
    const ChartMappings drawn = TwoCharts();
    // 40 px right is 10 min earlier on both charts; 16 px down is 2 ohm higher on this one.
    const ChartViews panned = Pan(ChartViews(), drawn, ChartId::Impedance, 40, 16);
    EXPECT_DOUBLE_EQ(panned.impedance.xMin, -10);
    EXPECT_DOUBLE_EQ(panned.impedance.xMax, 90);
    EXPECT_DOUBLE_EQ(panned.phase.xMin, -10);
    EXPECT_DOUBLE_EQ(panned.phase.xMax, 90);
    EXPECT_DOUBLE_EQ(panned.impedance.yMin, 2);
    EXPECT_DOUBLE_EQ(panned.impedance.yMax, 52);
    EXPECT_EQ(panned.phase.yMin, -10);
    EXPECT_EQ(panned.phase.yMax, 10);
}

TEST(ChartNavigation, ZoomStopsAtItsLimitsAndNeedsADrawing) {
    const ChartMappings drawn = TwoCharts();
    const ChartViews deep = ZoomTime(ChartViews(), drawn, ChartId::Impedance, 150, 1e-9);
    const double width = deep.impedance.xMax - deep.impedance.xMin;
    EXPECT_GE(
        width,
        1e-4 * std::max(std::fabs(deep.impedance.xMin), std::fabs(deep.impedance.xMax)) * 0.999);
    EXPECT_LT(width, 1e-2);
    EXPECT_LE(deep.impedance.xMin, 25);
    EXPECT_GE(deep.impedance.xMax, 25);
    // No further in than that, and not out beyond any measured value.
    const ChartViews deeper = ZoomTime(deep, drawn, ChartId::Impedance, 150, 0.5);
    EXPECT_DOUBLE_EQ(deeper.impedance.xMax - deeper.impedance.xMin, width);
    const ChartViews far = ZoomTime(ChartViews(), drawn, ChartId::Impedance, 150, 1e200);
    EXPECT_FALSE(far.impedance.fixed);
    // Without a drawn chart under the pointer nothing changes.
    ChartMappings undrawn = drawn;
    undrawn.phase.drawn = false;
    EXPECT_FALSE(ZoomTime(ChartViews(), undrawn, ChartId::Impedance, 150, 0.8).impedance.fixed);
    EXPECT_FALSE(ZoomValue(ChartViews(), drawn, ChartId::None, 150, 0.8).impedance.fixed);
}

TEST(ChartNavigation, WheelNotchesZoomByFourFifths) {
    struct Case {
        int delta;
        double factor;
    } const cases[] = {{120, 0.8}, {-120, 1.25}, {240, 0.64}, {60, std::sqrt(0.8)}, {0, 1.0}};
    for (const Case& c : cases) EXPECT_NEAR(WheelZoomFactor(c.delta), c.factor, 1e-12) << c.delta;
}

TEST(ChartNavigation, LogarithmicAxisCarriesAFixedImpedanceRangeIntoItsUnits) {
    const Samples s{{0, 1, 2, 3}, {0, 10, 100, -3}, {0, 0, 0, 0}};
    ChartViews views;
    views.impedance = {true, 0, 10, 10, 1000};
    const ChartViews logged = WithLogImpedance(views, true, s.Series());
    EXPECT_TRUE(logged.logImpedance);
    EXPECT_DOUBLE_EQ(logged.impedance.yMin, 1);
    EXPECT_DOUBLE_EQ(logged.impedance.yMax, 3);
    EXPECT_EQ(logged.impedance.xMax, 10);
    const ChartViews back = WithLogImpedance(logged, false, s.Series());
    EXPECT_FALSE(back.logImpedance);
    EXPECT_NEAR(back.impedance.yMin, 10, 1e-9);
    EXPECT_NEAR(back.impedance.yMax, 1000, 1e-9);
    // From 0 ohm up there is no logarithm: the positive samples' extent, 10 to 100 ohm.
    views.impedance.yMin = 0;
    const ChartViews fromZero = WithLogImpedance(views, true, s.Series());
    EXPECT_DOUBLE_EQ(fromZero.impedance.yMin, 1);
    EXPECT_DOUBLE_EQ(fromZero.impedance.yMax, 2);
    // An automatic view only changes its axis.
    const ChartViews automatic = WithLogImpedance(ChartViews(), true, s.Series());
    EXPECT_TRUE(automatic.logImpedance);
    EXPECT_FALSE(automatic.impedance.fixed);
}

TEST(SampleReadout, NearestSampleByTime) {
    const std::vector<double> sorted = {0, 1, 2, 4, 8};
    const std::vector<double> unsorted = {5, 1, 9, 3};
    struct Case {
        const std::vector<double>* times;
        bool isSorted;
        double minutes;
        int index;
    } const cases[] = {
        {&sorted, true, -5, 0},   {&sorted, true, 0, 0},
        {&sorted, true, 0.5, 0},  // a tie: the earlier
        {&sorted, true, 0.6, 1},  {&sorted, true, 3, 2},
        {&sorted, true, 3.1, 3},  {&sorted, true, 8, 4},
        {&sorted, true, 1e9, 4},  {&unsorted, false, 2, 1},
        {&unsorted, false, 8, 2}, {&unsorted, false, 4.2, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NearestSampleByTime(c.times->data(), static_cast<int>(c.times->size()), c.minutes,
                                      c.isSorted),
                  c.index)
            << c.minutes;
    }
    EXPECT_EQ(NearestSampleByTime(nullptr, 0, 1.0, true), -1);
}

TEST(SampleReadout, AWeekBisectedFindsWhatAFullComparisonFinds) {
    std::vector<double> week(302400);
    for (std::size_t i = 0; i < week.size(); ++i)
        week[i] = static_cast<double>(i * 2) * 0.016666666666666666;
    for (double minutes : {-1.0, 0.0, 0.017, 1234.5678, 5040.0, 10079.9, 10080.0, 20000.0}) {
        EXPECT_EQ(NearestSampleByTime(week.data(), 302400, minutes, true),
                  NearestSampleByTime(week.data(), 302400, minutes, false))
            << minutes;
    }
}

TEST(SampleReadout, SaysTheTimeTwoWaysAndTheValue) {
    struct Case {
        ChartId chart;
        double minutes, value;
        const char* text;
    } const cases[] = {
        {ChartId::Impedance, 12.35, 25000, "Time 12.350 min (0:12:21), Impedance 25000 Ohm"},
        {ChartId::Phase, 0.5, 27.75, "Time 0.500 min (0:00:30), Phase 27.75"},
        {ChartId::Impedance, 10080, 1.234567e6,
         "Time 10080.000 min (168:00:00), Impedance 1.23457e+06 Ohm"},
        {ChartId::Phase, 2 * 0.016666666666666666, -40.25,
         "Time 0.033 min (0:00:02), Phase -40.25"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatSampleReadout(c.chart, c.minutes, c.value), c.text);
}
