// Input the measurement view never produces but a caller can: non-finite data and ranges,
// reversed and hopelessly narrow ranges, series without points, huge strides. Plot must
// end, leave the surface as it found it, and keep drawing what can be drawn.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "GraphTestSupport.h"

namespace {

using Log = std::vector<std::string>;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

// Every coordinate the surface received lies within the pixel clamp.
void ExpectCoordinatesBounded(const RecordingDC& dc) {
    for (const RecordedCall& call : dc.Calls()) {
        if (call.op != "MoveTo" && call.op != "LineTo" && call.op != "Rectangle" &&
            call.op != "SetPixel" && call.op != "TextOut") {
            continue;
        }
        for (std::size_t i = 0; i < call.args.size() && i < 4; ++i) {
            if (call.op == "SetPixel" && i == 2) break;
            EXPECT_LE(std::llabs(call.args[i]), 1000000010LL) << call.ToString();
        }
    }
}

TEST(Robustness, HostileDataAndRangesEndBalanced) {
    struct Case {
        const char* what;
        std::vector<double> x, y;
        std::function<void(CGraph&)> setup;  // after AddSeries
        BOOL bExpected;
    };
    const auto fixed = [](double x0, double x1, double y0, double y1) {
        return [=](CGraph& chart) {
            chart.m_dXMin = x0;
            chart.m_dXMax = x1;
            chart.m_dYMin = y0;
            chart.m_dYMax = y1;
            chart.m_bFixedRange = TRUE;
        };
    };
    const auto none = [](CGraph&) {};
    const std::vector<Case> cases = {
        {"NaN and infinities among finite points",
         {0, kNaN, 2, kInf, 4},
         {0, 1, -kInf, 3, 4},
         none,
         TRUE},
        {"nothing finite", {kNaN, kInf}, {1, 2}, none, TRUE},
        {"values near the double limit", {-1.7e308, 1.7e308}, {1.7e308, -1.7e308}, none, TRUE},
        {"narrow against magnitude", {1e16, 1e16 + 2, 1e16 + 4}, {1, 2, 3}, none, TRUE},
        {"subnormal spread", {0, 1e-320}, {0, 4e-320}, none, TRUE},
        {"fixed NaN ranges", {1, 2}, {1, 2}, fixed(kNaN, kNaN, kNaN, 1), TRUE},
        {"fixed infinite ranges", {1, 2}, {1, 2}, fixed(-kInf, kInf, 0, kInf), TRUE},
        {"fixed reversed ranges", {1, 2, 3}, {1, 2, 3}, fixed(10, 0, 5, -5), TRUE},
        {"fixed empty ranges", {1, 2}, {1, 2}, fixed(3, 3, 0, 0), TRUE},
        {"fixed range, huge data",
         {-1e308, 1e308, 5},
         {1e308, -1e308, 5},
         fixed(0, 10, 0, 10),
         TRUE},
        {"fixed range, data far beyond pixels",
         {0, 1e200},
         {0, 1e-200},
         fixed(0, 1e-100, 0, 1),
         TRUE},
        {"huge margin divisor",
         {1, 2},
         {1, 2},
         [](CGraph& c) {
             c.m_nXMarginDiv = 0;
             c.m_nYMarginDiv = -1;
         },
         TRUE},
        {"rectangle beyond any surface",
         {1, 2},
         {1, 2},
         [](CGraph& c) {
             c.m_rect =
                 CRect{std::numeric_limits<int>::min(), 0, std::numeric_limits<int>::max(), 500};
         },
         FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int nStyle : {0, 10, 12}) {
            RecordingDC dc;
            CGraph chart(&dc, CRect{0, 0, 500, 400});
            chart.AddSeries(static_cast<int>(c.x.size()), c.x.data(), c.y.data(), nStyle, 1, 1, 1,
                            1, nullptr, nullptr);
            c.setup(chart);
            EXPECT_EQ(chart.Plot(), c.bExpected) << "style " << nStyle;
            EXPECT_TRUE(dc.IsBalanced()) << dc.BalanceReport();
            EXPECT_LT(dc.Calls().size(), 400u) << "the walks stay short";
            EXPECT_TRUE(std::isfinite(chart.m_dXMin) && std::isfinite(chart.m_dXMax));
            EXPECT_TRUE(std::isfinite(chart.m_dYMin) && std::isfinite(chart.m_dYMax));
            if (c.bExpected) {
                EXPECT_LT(chart.m_dXMin, chart.m_dXMax);
                EXPECT_LT(chart.m_dYMin, chart.m_dYMax);
            }
            ExpectCoordinatesBounded(dc);
        }
    }
}

TEST(Robustness, DrawAxesWithAnyScaleAndMarginDivisorEndsBalanced) {
    const double scales[] = {1e300, -1e300, kNaN, 0.0};
    const int divisors[] = {0, -1, std::numeric_limits<int>::min(), 1};
    for (double dScale : scales) {
        for (int nDivisor : divisors) {
            RecordingDC dc;
            CGraph chart(&dc, CRect{-(1 << 28), -(1 << 28), 1 << 28, 1 << 28});
            chart.SetTitles("x", "y");
            chart.m_dScale = dScale;
            chart.m_nXMarginDiv = nDivisor;
            chart.m_nYMarginDiv = nDivisor;
            chart.DrawAxes();
            EXPECT_TRUE(dc.IsBalanced()) << dScale << " " << nDivisor << ": " << dc.BalanceReport();
        }
    }
}

TEST(Robustness, OnePointNearTheDoubleLimitKeepsItsAxisAroundIt) {
    const double x[] = {1.7e308};
    const double y[] = {-1.7e308};
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    chart.AddSeries(1, x, y, 10, 1, 1, 1, 1, nullptr, nullptr);
    ASSERT_TRUE(chart.Plot());
    // Bounds are clamped to +-1e300 and then widened like an empty range.
    EXPECT_GE(chart.m_dXMax, 1e300);
    EXPECT_LE(chart.m_dXMin, 0);
    EXPECT_LE(chart.m_dYMin, -1e300);
    EXPECT_GE(chart.m_dYMax, 0);
    EXPECT_TRUE(dc.IsBalanced()) << dc.BalanceReport();
}

TEST(Robustness, NonFinitePointsAreSkippedAndTheLineRestartsAfterThem) {
    // Finite points (0, 0), (5, 5), (10, 10) with a NaN between the first two: ranges come
    // from the finite points only, the NaN point gets nothing, and the line to (5, 5)
    // starts afresh there instead of joining (0, 0).
    const double x[] = {0, kNaN, 5, 10};
    const double y[] = {0, 3, 5, 10};
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    chart.AddSeries(4, x, y, 10, 1, 1, 1, 1, nullptr, nullptr);
    ASSERT_TRUE(chart.Plot());
    EXPECT_EQ(chart.m_dXMin, 0);
    EXPECT_EQ(chart.m_dXMax, 10);
    EXPECT_EQ(SeriesLog(dc),
              (Log{"MoveTo(30,195)", "LineTo(30,195)", "Rectangle(29,194,32,197)", "MoveTo(30,195)",
                   "MoveTo(210,100)", "LineTo(210,100)", "Rectangle(209,99,212,102)",
                   "MoveTo(210,100)", "LineTo(390,5)", "Rectangle(389,4,392,7)", "MoveTo(390,5)"}));
}

TEST(Robustness, NonFinitePointsInFixedRangeRestartTheClipping) {
    const double x[] = {5, kInf, 5};
    const double y[] = {5, 5, 0};
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    chart.AddSeries(3, x, y, 10, 1, 1, 1, 1, nullptr, nullptr);
    chart.m_dXMax = 10;
    chart.m_dYMax = 10;
    chart.m_bFixedRange = TRUE;
    ASSERT_TRUE(chart.Plot());
    // (5, 5) is (210, 100) and (5, 0) is (210, 195): both get markers, no line joins them.
    EXPECT_EQ(SeriesLog(dc),
              (Log{"MoveTo(210,100)", "Rectangle(209,99,212,102)", "MoveTo(210,100)",
                   "MoveTo(210,195)", "Rectangle(209,194,212,197)", "MoveTo(210,195)"}));
}

TEST(Robustness, EmptySeriesArePassedOverAndRangesComeFromTheFirstPoint) {
    const double x[] = {0, 10};
    const double y[] = {0, 10};
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    chart.AddSeries(0, nullptr, nullptr, 10, 1, 1, 1, 1, nullptr, nullptr);  // never read
    chart.AddSeries(-3, nullptr, nullptr, 10, 1, 1, 1, 1, nullptr, nullptr);
    chart.AddSeries(2, x, y, 10, 1, 1, 1, 1, nullptr, nullptr);
    ASSERT_TRUE(chart.Plot());
    EXPECT_EQ(chart.m_dXMin, 0);
    EXPECT_EQ(chart.m_dXMax, 10);
    EXPECT_EQ(SeriesLog(dc).size(), 7u) << "only the third series draws";
    EXPECT_TRUE(dc.IsBalanced()) << dc.BalanceReport();
}

TEST(Robustness, WithoutAnyPointTheAxesShowZeroToOne) {
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    chart.AddSeries(0, nullptr, nullptr, 10, 1, 1, 1, 1, nullptr, nullptr);
    EXPECT_TRUE(chart.Plot());
    EXPECT_EQ(chart.m_dXMin, 0);
    EXPECT_EQ(chart.m_dXMax, 1);
    EXPECT_EQ(chart.m_dYMin, 0);
    EXPECT_EQ(chart.m_dYMax, 1);
    EXPECT_EQ(CountCalls(dc, "Rectangle"), 1) << "the frame only";
    EXPECT_TRUE(SeriesLog(dc).empty());
    EXPECT_TRUE(dc.IsBalanced()) << dc.BalanceReport();
}

TEST(Robustness, LargeCountTimesStrideDoesNotOverflow) {
    // Index codes read no data, so a count and stride whose product passes 2^31 are legal.
    // The index is a 32-bit int: point 2's x index 2^31 wraps to -2^31, so the x values are
    // 0, 2^30 and -2^31, the y values 0, 1, 2.
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    chart.AddSeries(3, nullptr, nullptr, 0, 11, 11, 1 << 30, 1, nullptr, nullptr);
    EXPECT_TRUE(chart.Plot());
    EXPECT_TRUE(dc.IsBalanced()) << dc.BalanceReport();
    // No end tick lies beyond the data (ticks every 1e9 and 0.5), so the ranges are theirs.
    EXPECT_EQ(chart.m_dXMin, -2147483648.0);
    EXPECT_EQ(chart.m_dXMax, 1073741824.0);
    EXPECT_EQ(chart.m_dYMin, 0);
    EXPECT_EQ(chart.m_dYMax, 2);
    // Labels "0.5" (21 px) and "-2e+09" (12 px high) put the data area at x 37..390, y
    // 5..195: 353 pixels for 3 * 2^30, 95 per unit of y.
    EXPECT_EQ(dc.Log({"SetPixel"}).front(), "SetPixel(272,195,0)") << "x 0: 37 + 353 * 2/3";
    EXPECT_EQ(dc.Log({"SetPixel"}).back(), "SetPixel(37,5,0)") << "x -2^31: the left end";
    const std::vector<RecordedCall>& calls = dc.Calls();
    const auto second = std::find_if(calls.begin(), calls.end(), [](const RecordedCall& call) {
        return call.op == "SetPixel" && call.args[1] == 100;
    });
    ASSERT_NE(second, calls.end()) << "y 1 is pixel 100";
    // x 2^30 is the right end, 390, unless 353 / (3 * 2^30) * (3 * 2^30) rounds under 353.
    EXPECT_GE(second->args[0], 389);
    EXPECT_LE(second->args[0], 390);
    EXPECT_EQ(CountCalls(dc, "SetPixel"), 3);
}

TEST(Robustness, SurfaceThatCannotCreateThePenFailsBeforeDrawing) {
    struct NoPenDC : RecordingDC {
        HPEN CreatePen(int, int, COLORREF) override { return HPEN{}; }
    };
    NoPenDC dc;
    CGraph chart(&dc, kChartRect);
    const double x[] = {1};
    chart.AddSeries(1, x, x, 10, 1, 1, 1, 1, nullptr, nullptr);
    EXPECT_FALSE(chart.Plot());
    EXPECT_EQ(CountCalls(dc, "PaintRgn"), 0);
    EXPECT_TRUE(dc.IsBalanced()) << dc.BalanceReport();
}

}  // namespace
