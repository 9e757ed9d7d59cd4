// CalcAxisTicks: the 1-2-5 step, the end ticks, the widened range and the label room; and
// that every walk ends for input that cannot be stepped as it stands.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "GraphTestSupport.h"
#include "graph/AxisTicks.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

struct TickResult {
    double dMin, dMax, dFirst, dLast, dStep;
    int nRoom;
};

// Runs CalcAxisTicks with the recording surface's stock font (16 px: a label of n
// characters measures 7 * n * 16 / 12 by 16).
TickResult Ticks(double dMin, double dMax, int chAxis = 'y', RecordingDC* pDC = nullptr) {
    RecordingDC local;
    CGraph chart(pDC ? pDC : &local, kChartRect);
    TickResult r{dMin, dMax, 0, 0, 0, 0};
    r.nRoom = chart.CalcAxisTicks(chAxis, 3, r.dMin, r.dMax, r.dFirst, r.dLast, r.dStep);
    return r;
}

// The labels CalcAxisTicks measured, in order.
std::vector<std::string> MeasuredLabels(const RecordingDC& dc) {
    std::vector<std::string> labels;
    for (const RecordedCall& call : dc.Calls()) {
        if (call.op == "GetTextExtentPoint") labels.push_back(call.text);
    }
    return labels;
}

TEST(AxisTicks, StepEndsAndRangeFollowTheTable) {
    struct Case {
        double dMin, dMax;
        double dStep, dFirst, dLast;
        double dNewMin, dNewMax;
    };
    const Case cases[] = {
        {0, 10, 2, 0, 10, 0, 10},
        {0, 15, 2, 0, 14, 0, 15},  // 15 is not above 15 decades
        {0, 15.01, 5, 0, 15, 0, 15.01},
        {-180, 180, 100, -200, 200, -200, 200},
        {0, 45.3, 10, 0, 50, 0, 50},
        {1000, 100000, 20000, 0, 100000, 0, 100000},
        {-0.05, 0.95, 0.2, 0, 1, -0.05, 1},  // 0 lies within 10/19 of a step of -0.05
        {0, 1000000, 200000, 0, 1000000, 0, 1000000},
        {0, 11.05, 2, 0, 10, 0, 11.05},  // 1.05 from the end is within 10/19 of 2
        {0, 11.06, 2, 0, 12, 0, 12},     // 1.06 is not
        {-1.05, 10, 2, 0, 10, -1.05, 10},
        {-1.06, 10, 2, -2, 10, -2, 10},
    };
    for (const Case& c : cases) {
        const TickResult r = Ticks(c.dMin, c.dMax);
        SCOPED_TRACE(std::to_string(c.dMin) + " to " + std::to_string(c.dMax));
        EXPECT_DOUBLE_EQ(r.dStep, c.dStep);
        EXPECT_NEAR(r.dFirst, c.dFirst, c.dStep * 1e-9);
        EXPECT_NEAR(r.dLast, c.dLast, c.dStep * 1e-9);
        EXPECT_NEAR(r.dMin, c.dNewMin, c.dStep * 1e-9);
        EXPECT_NEAR(r.dMax, c.dNewMax, c.dStep * 1e-9);
    }
}

TEST(AxisTicks, EndsInsideTheRangeLeaveItUnchanged) {
    const TickResult r = Ticks(0.13, 0.87);
    EXPECT_DOUBLE_EQ(r.dStep, 0.2);
    EXPECT_NEAR(r.dFirst, 0.2, 1e-12);
    EXPECT_NEAR(r.dLast, 0.8, 1e-12);
    EXPECT_EQ(r.dMin, 0.13);
    EXPECT_EQ(r.dMax, 0.87);
}

TEST(AxisTicks, RoundedZeroTickIsLabelledZero) {
    RecordingDC dc;
    const TickResult r = Ticks(-0.3, 0.1, 'y', &dc);
    EXPECT_DOUBLE_EQ(r.dStep, 0.1);
    const std::vector<std::string> labels = MeasuredLabels(dc);
    ASSERT_EQ(labels.size(), 5u);
    EXPECT_EQ(labels[0], "-0.3");
    EXPECT_EQ(labels[3], "0") << "the tick carries rounding near -2.8e-17";
    EXPECT_EQ(labels[4], "0.1");
}

TEST(AxisTicks, LargeLabelsUsePrintfExponentForm) {
    RecordingDC dc;
    Ticks(0, 1000000, 'y', &dc);
    const std::vector<std::string> labels = MeasuredLabels(dc);
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels.front(), "0");
    EXPECT_EQ(labels.back(), "1e+06");
}

TEST(AxisTicks, LabelRoomIsTallestForXAndWidestOtherwise) {
    // Stock font 16 px: "-200" is 4 * 7 * 16 / 12 = 37 wide; every label is 16 high.
    struct Case {
        int chAxis;
        int nRoom;
    };
    const Case cases[] = {{'x', 16 + 6}, {'y', 37 + 6}, {'z', 37 + 6}, {0, 37 + 6}};
    for (const Case& c : cases) {
        EXPECT_EQ(Ticks(-180, 180, c.chAxis).nRoom, c.nRoom) << "axis " << c.chAxis;
    }
}

TEST(AxisTicks, StepIsOneTwoOrFiveDecades) {
    struct Case {
        double dRange;
        double dStep;
    };
    const Case cases[] = {{3, 1},     {6, 1},     {6.0001, 2},  {15, 2},       {15.0001, 5},
                          {29.99, 5}, {0.3, 0.1}, {3e-5, 1e-5}, {7.5e20, 2e20}};
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(AxisStep(c.dRange, 3), c.dStep) << c.dRange;
}

// Input the walks could not step as it stands (not finite, reversed, empty, or so narrow
// against its magnitude that adding the step leaves a value unchanged): the walks end in a
// bounded number of steps and the range is made one, the way the comments give. Every
// narrow range whose step still moves each value is drawn over its own span.
TEST(AxisTicks, RangesThatCannotBeSteppedAreMadeSteppableOthersKeepTheirSpan) {
    const double u = std::nextafter(1.0, 2.0) - 1.0;  // the spacing of doubles at 1
    struct Case {
        const char* what;
        double dMin, dMax;
        double dNewMin, dNewMax, dStep, dFirst, dLast;
    };
    const Case cases[] = {
        // Not finite: 0..1, ticks every 0.2.
        {"NaN bound", kNaN, 1, 0, 1, 0.2, 0, 1},
        {"both NaN", kNaN, kNaN, 0, 1, 0.2, 0, 1},
        {"infinite top", 0, kInf, 0, 1, 0.2, 0, 1},
        {"infinite both", -kInf, kInf, 0, 1, 0.2, 0, 1},
        {"reversed", 10, 0, 0, 10, 2, 0, 10},
        // Widened like an empty range: max + |max| + 1, min - |min| - 1.
        {"empty", 5, 5, -1, 11, 2, 0, 10},
        // A step of 0.5 against doubles 2 apart at 1e16.
        {"narrow against magnitude", 1e16, 1e16 + 2, -1, 2e16 + 4, 5e15, 0, 2e16},
        {"one double wide", 1.0, 1.0 + u, -1, 3 + 2 * u, 1, -1, 3},
        // A step of 1e-16 is under half the spacing 2.2e-16 of doubles at 1.
        {"two doubles wide", 1.0, 1.0 + 2 * u, -1, 3 + 4 * u, 1, -1, 3},
        // Bounds beyond +-1e300 are brought back to it.
        {"huge", -1.7e308, 1.7e308, -1e300, 1e300, 5e299, -1e300, 1e300},
        {"huge and empty", 1.7e308, 1.7e308, -1, 2e300, 5e299, 0, 2e300},
        // Too narrow for a finite pixels-per-unit factor.
        {"subnormal", 0, 1e-320, -1, 1, 0.5, -1, 1},
        {"tiny", 1e-300, 3e-300, -1, 1, 0.5, -1, 1},
        // Narrow, but each step moves every value the walks reach: kept as they are.
        {"3e-12 wide at 1", 1, 1 + 3e-12, 1, 1 + 3e-12, 1e-12, 1, 1 + 3e-12},
        {"1e-6 wide at 1e6", 1e6, 1e6 + 1e-6, 1e6, 1e6 + 1e-6, 2e-7, 1e6, 1e6 + 1e-6},
        {"4e-290 wide", 1e-290, 5e-290, 1e-290, 5e-290, 1e-290, 1e-290, 5e-290},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingDC dc;
        const TickResult r = Ticks(c.dMin, c.dMax, 'y', &dc);
        // Ticks made by repeated addition carry a few roundings of their magnitude.
        const double dTolerance = c.dStep * 1e-3;
        EXPECT_NEAR(r.dMin, c.dNewMin, dTolerance);
        EXPECT_NEAR(r.dMax, c.dNewMax, dTolerance);
        EXPECT_DOUBLE_EQ(r.dStep, c.dStep);
        EXPECT_NEAR(r.dFirst, c.dFirst, dTolerance);
        EXPECT_NEAR(r.dLast, c.dLast, dTolerance);
        EXPECT_LE(r.dMin, r.dFirst);
        EXPECT_GE(r.dMax, r.dLast);
        const std::size_t nLabels =
            static_cast<std::size_t>(std::lround((c.dLast - c.dFirst) / c.dStep)) + 1;
        EXPECT_EQ(MeasuredLabels(dc).size(), nLabels);
    }
}

TEST(AxisTicks, AnyLeastIntervalCountIsBounded) {
    for (int n :
         {std::numeric_limits<int>::min(), -1, 0, 1, 1000, std::numeric_limits<int>::max()}) {
        RecordingDC dc;
        CGraph chart(&dc, kChartRect);
        double dMin = 0, dMax = 10, dFirst, dLast, dStep;
        chart.CalcAxisTicks('y', n, dMin, dMax, dFirst, dLast, dStep);
        EXPECT_GT(dStep, 0) << n;
        EXPECT_LE(static_cast<int>(MeasuredLabels(dc).size()), kMaxTicks) << n;
    }
}

TEST(AxisTicks, OrdinaryRangesAreSteppableAsTheyStand) {
    const double ranges[][2] = {{0, 10},           {-0.05, 0.95},   {1000.0001, 1000.0002},
                                {-1e200, 1e200},   {1e-5, 2e-5},    {1, 1 + 3e-12},
                                {1e6, 1e6 + 1e-6}, {1e-290, 5e-290}};
    for (const auto& range : ranges) {
        double dMin = range[0], dMax = range[1];
        MakeSteppableRange(dMin, dMax, 3);
        EXPECT_EQ(dMin, range[0]);
        EXPECT_EQ(dMax, range[1]);
    }
}

}  // namespace
