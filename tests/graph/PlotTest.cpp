// Plot: scale, auto-range, the order of surface calls, series styles, and that the
// surface gets its own pen, brush and font back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GraphTestSupport.h"

namespace {

using Log = std::vector<std::string>;

// Two points (0, 0) and (10, 10) on kChartRect: they land on (30, 195) and (390, 5).
const double kX[] = {0, 10};
const double kY[] = {0, 10};

Log PlotTwoPoints(int nStyle, RecordingDC& dc) {
    CGraph chart(&dc, kChartRect);
    chart.AddSeries(2, kX, kY, nStyle, 1, 1, 1, 1, nullptr, nullptr);
    EXPECT_TRUE(chart.Plot());
    return SeriesLog(dc);
}

TEST(Plot, WithoutSeriesDrawsNothingAndFails) {
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    chart.m_dScale = 2.5;
    EXPECT_FALSE(chart.Plot());
    EXPECT_TRUE(dc.Calls().empty());
    EXPECT_EQ(chart.m_dScale, 2.5);
    EXPECT_FALSE(chart.m_bPlotted);
}

TEST(Plot, LineReachesEachPointBeforeItsSquare) {
    RecordingDC dc;
    EXPECT_EQ(PlotTwoPoints(10, dc),
              (Log{"MoveTo(30,195)", "LineTo(30,195)", "Rectangle(29,194,32,197)", "MoveTo(30,195)",
                   "LineTo(390,5)", "Rectangle(389,4,392,7)", "MoveTo(390,5)"}));
}

TEST(Plot, StyleChoosesMarkerLinesAndMoves) {
    struct Case {
        int nStyle;
        Log expected;
    };
    const Case cases[] = {
        {0, {"MoveTo(30,195)", "SetPixel(30,195,0)", "SetPixel(390,5,0)"}},
        {8,
         {"MoveTo(30,195)", "LineTo(30,195)", "SetPixel(30,195,0)", "MoveTo(30,195)",
          "LineTo(390,5)", "SetPixel(390,5,0)", "MoveTo(390,5)"}},
        {-1,
         {"MoveTo(30,195)", "SetPixel(30,195,0)", "MoveTo(30,195)", "SetPixel(390,5,0)",
          "MoveTo(390,5)"}},
        {6,
         {"MoveTo(30,195)", "SetPixel(30,195,0)", "MoveTo(30,195)", "SetPixel(390,5,0)",
          "MoveTo(390,5)"}},
        {1,
         {"MoveTo(30,195)", "Ellipse(28,193,33,198)", "MoveTo(30,195)", "Ellipse(388,3,393,8)",
          "MoveTo(390,5)"}},
        {12,
         {"MoveTo(30,195)", "LineTo(30,195)", "MoveTo(28,193)", "LineTo(33,198)", "MoveTo(28,197)",
          "LineTo(33,192)", "MoveTo(30,195)", "LineTo(390,5)", "MoveTo(388,3)", "LineTo(393,8)",
          "MoveTo(388,7)", "LineTo(393,2)", "MoveTo(390,5)"}},
    };
    for (const Case& c : cases) {
        RecordingDC dc;
        EXPECT_EQ(PlotTwoPoints(c.nStyle, dc), c.expected) << "style " << c.nStyle;
    }
}

TEST(Plot, FramesTheAxesWithItsOwnPenBrushAndBackground) {
    RecordingDC dc;
    CGraph chart(&dc, CRect{10, 20, 410, 232});
    chart.m_crForeground = RGB(10, 20, 30);
    chart.m_crBackground = RGB(1, 2, 3);
    chart.m_crFill = RGB(9, 9, 9);
    chart.AddSeries(2, kX, kY, 10, 1, 1, 1, 1, nullptr, nullptr);
    ASSERT_TRUE(chart.Plot());
    EXPECT_EQ(chart.m_crFill, RGB(1, 2, 3)) << "the fill follows the background";

    const Log log = dc.Log();
    ASSERT_GE(log.size(), 9u);
    const std::string pen = std::to_string(dc.Calls()[0].args[0]);
    const std::string brush = std::to_string(dc.Calls()[1].args[0]);
    const std::string region = std::to_string(dc.Calls()[6].args[0]);
    const std::string fg = std::to_string(RGB(10, 20, 30));
    const std::string bg = std::to_string(RGB(1, 2, 3));
    EXPECT_EQ(
        Log(log.begin(), log.begin() + 9),
        (Log{"CreatePen(" + pen + ",0,1," + fg + ")", "CreateSolidBrush(" + brush + "," + bg + ")",
             "SetBkColor(" + bg + ")", "SetTextColor(" + fg + ")", "SelectObject(" + pen + ",1)",
             "SelectObject(" + brush + ",2)", "CreateRectRgn(" + region + ",7,17,414,237)",
             "PaintRgn(" + region + ")", "SetBkMode(1)"}));
    EXPECT_EQ(Log(log.end() - 5, log.end()),
              (Log{"SelectObject(2," + brush + ")", "SelectObject(1," + pen + ")",
                   "DeleteObject(" + pen + ")", "DeleteObject(" + brush + ")",
                   "DeleteObject(" + region + ")"}));
    EXPECT_TRUE(dc.IsBalanced()) << dc.BalanceReport();
    EXPECT_EQ(dc.TextColor(), RGB(10, 20, 30));
    EXPECT_EQ(dc.BkColor(), RGB(1, 2, 3));
    EXPECT_EQ(dc.BkMode(), TRANSPARENT);
    EXPECT_EQ(dc.CurrentPosition(), (CPoint{400, 25})) << "left on the last point";
    EXPECT_TRUE(chart.m_bPlotted);
}

TEST(Plot, ChartTooSmallPaintsOnlyTheBackgroundAndCleansUp) {
    RecordingDC dc;
    CGraph chart(&dc, CRect{0, 0, 30, 30});
    chart.SetTitles("x", "y");
    chart.AddSeries(2, kX, kY, 10, 1, 1, 1, 1, nullptr, nullptr);
    EXPECT_FALSE(chart.Plot());
    EXPECT_FALSE(chart.m_bPlotted);
    EXPECT_EQ(CountCalls(dc, "PaintRgn"), 1);
    for (const char* op : {"Rectangle", "LineTo", "TextOut", "DrawText", "SetPixel", "Ellipse"}) {
        EXPECT_EQ(CountCalls(dc, op), 0) << op;
    }
    EXPECT_TRUE(dc.IsBalanced()) << dc.BalanceReport();
}

TEST(Plot, ScaleFollowsTheRectangleWidth) {
    struct Case {
        int nWidth;
        int nScale, nLabelFont, nSquare;
    };
    for (const Case& c : {Case{999, 1, 12, 3}, Case{1000, 4, 48, 9}}) {
        RecordingDC dc;
        CGraph chart(&dc, CRect{0, 0, c.nWidth, 800});
        const double one[] = {1};
        chart.AddSeries(1, one, one, 2, 1, 1, 1, 1, nullptr, nullptr);
        ASSERT_TRUE(chart.Plot());
        EXPECT_EQ(chart.m_dScale, c.nScale);
        EXPECT_EQ(g_nMarkerSize, c.nScale);
        const auto& calls = dc.Calls();
        int nFont = 0;
        for (const RecordedCall& call : calls) {
            if (call.op == "CreateFontIndirect") {
                nFont = static_cast<int>(call.args[1]);
                break;
            }
        }
        EXPECT_EQ(nFont, c.nLabelFont);
        const RecordedCall* square = nullptr;
        for (const RecordedCall& call : calls) {
            if (call.op == "Rectangle") square = &call;  // the last one is the marker
        }
        ASSERT_NE(square, nullptr);
        EXPECT_EQ(square->args[2] - square->args[0], c.nSquare) << c.nWidth;
        EXPECT_EQ(square->args[3] - square->args[1], c.nSquare) << c.nWidth;
    }
}

TEST(Plot, OnePointWidensBothRangesAndStillGetsItsMarker) {
    RecordingDC dc;
    CGraph chart(&dc, CRect{0, 0, 400, 300});
    const double x[] = {5};
    const double y[] = {0};
    chart.AddSeries(1, x, y, 10, 1, 1, 1, 1, nullptr, nullptr);
    ASSERT_TRUE(chart.Plot());
    EXPECT_EQ(chart.m_dXMin, -1);
    EXPECT_EQ(chart.m_dXMax, 11);
    EXPECT_EQ(chart.m_dYMin, -1);
    EXPECT_EQ(chart.m_dYMax, 1);
    const Log series = SeriesLog(dc);
    ASSERT_EQ(series.size(), 4u);
    EXPECT_EQ(series[0].substr(0, 7), "MoveTo(");
    EXPECT_EQ(series[1], "Line" + series[0].substr(4)) << "a line of no length";
    EXPECT_EQ(series[2].substr(0, 10), "Rectangle(");
}

// Data spanning 3e-12 around 1 can still be stepped (a step of 1e-12 moves every value by
// thousands of doubles): the axis shows their own span, not a widened -1..3.
TEST(Plot, NarrowDataKeepTheirOwnRange) {
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    const double x[] = {0, 5, 10};
    const double y[] = {1, 1 + 1e-12, 1 + 3e-12};
    chart.AddSeries(3, x, y, 10, 1, 1, 1, 1, nullptr, nullptr);
    ASSERT_TRUE(chart.Plot());
    EXPECT_NEAR(chart.m_dYMin, 1, 1e-15);
    EXPECT_NEAR(chart.m_dYMax, 1 + 3e-12, 1e-15);
}

TEST(Plot, RangesSpanEverySeriesAndAllTenAreDrawn) {
    RecordingDC dc;
    CGraph chart(&dc, CRect{0, 0, 600, 400});
    double x[10], y[10];
    for (int k = 0; k < 10; ++k) {
        x[k] = k == 7 ? -3 : k;  // the smallest x is in a later series
        y[k] = k * k;
        chart.AddSeries(1, &x[k], &y[k], 2, 1, 1, 1, 1, nullptr, nullptr);
    }
    ASSERT_TRUE(chart.Plot());
    // The end ticks (-2 and 8 every 2, 0 and 80 every 20) lie within 10/19 of a step of
    // the data's ends, so the ranges are exactly the data's.
    EXPECT_EQ(chart.m_dXMin, -3);
    EXPECT_EQ(chart.m_dXMax, 9);
    EXPECT_EQ(chart.m_dYMin, 0);
    EXPECT_EQ(chart.m_dYMax, 81);
    EXPECT_EQ(CountCalls(dc, "Rectangle"), 1 + 10) << "frame and one square per series";
}

TEST(Plot, SeriesAreDrawnInTheOrderAdded) {
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    const double x0[] = {0}, y0[] = {0}, x1[] = {10}, y1[] = {10};
    chart.AddSeries(1, x1, y1, 1, 1, 1, 1, 1, nullptr, nullptr);
    chart.AddSeries(1, x0, y0, 0, 1, 1, 1, 1, nullptr, nullptr);
    ASSERT_TRUE(chart.Plot());
    EXPECT_EQ(SeriesLog(dc), (Log{"MoveTo(390,5)", "Ellipse(388,3,393,8)", "MoveTo(390,5)",
                                  "MoveTo(30,195)", "SetPixel(30,195,0)"}));
}

TEST(Plot, RepeatedPlotRecomputesTheSameChart) {
    RecordingDC first, second;
    CGraph chart(&first, kChartRect);
    chart.AddSeries(2, kX, kY, 10, 1, 1, 1, 1, nullptr, nullptr);
    ASSERT_TRUE(chart.Plot());
    chart.m_pDC = &second;
    ASSERT_TRUE(chart.Plot());
    EXPECT_EQ(SeriesLog(first), SeriesLog(second));
    EXPECT_EQ(first.Log().size(), second.Log().size());
}

TEST(Plot, TypedDataWithStridesIsReadThroughTheAccessors) {
    // x as shorts every other element, y as unsigned chars every third: points (0, 0) and
    // (10, 10) again.
    const short xs[] = {0, 99, 10, 99};
    const unsigned char ys[] = {0, 7, 7, 10, 7, 7};
    RecordingDC typed, plain;
    CGraph a(&typed, kChartRect);
    a.AddSeries(2, xs, ys, 10, 5, 4, 2, 3, nullptr, nullptr);
    ASSERT_TRUE(a.Plot());
    EXPECT_EQ(SeriesLog(typed), PlotTwoPoints(10, plain));
}

}  // namespace
