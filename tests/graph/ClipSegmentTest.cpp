// ClipSegment on its own (ranges 0..10 both ways, MapX(x) = 100 + 10 x, MapY(y) = 200 -
// 10 y), and fixed-range plotting through it.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "GraphTestSupport.h"

namespace {

using Log = std::vector<std::string>;

struct ClipFixture {
    RecordingDC dc;
    CGraph chart{&dc, kChartRect};

    ClipFixture() {
        chart.m_dXMin = 0;
        chart.m_dXMax = 10;
        chart.m_dYMin = 0;
        chart.m_dYMax = 10;
        chart.m_dXFactor = 10;
        chart.m_dYFactor = 10;
        chart.m_nOriginX = 100;
        chart.m_nOriginY = 200;
    }
    // Seeds the previous point as Plot does and sets the current point with its pixels.
    BOOL Clip(double px, double py, double cx, double cy, BOOL bLines = TRUE) {
        chart.m_dPrevX = px;
        chart.m_dPrevY = py;
        chart.m_bPrevInside = chart.IsInside(px, py);
        chart.m_dCurX = cx;
        chart.m_dCurY = cy;
        chart.m_nCurPixX = chart.MapX(cx);
        chart.m_nCurPixY = chart.MapY(cy);
        return chart.ClipSegment(bLines);
    }
};

TEST(ClipSegment, CutsSegmentsAtTheRangeBox) {
    struct Case {
        const char* what;
        double px, py, cx, cy;
        BOOL bResult;
        Log moves;   // MoveTo calls ClipSegment made
        CPoint end;  // m_nCurPixX/Y on return
        BOOL bCurInside;
    };
    // clang-format off: one case a line reads as a table
    const Case cases[] = {
        {"both inside", 2, 3, 4, 5, TRUE, {}, {140, 150}, TRUE},
        {"leaving to the right", 5, 5, 15, 5, TRUE, {}, {200, 150}, FALSE},
        {"entering from the right", 15, 5, 5, 5, TRUE, {"MoveTo(200,150)"}, {150, 150}, TRUE},
        {"sloped through the box", -5, 2, 15, 12, TRUE, {"MoveTo(100,155)"}, {200, 105}, FALSE},
        {"touching the corner", -5, 5, 5, 15, TRUE, {"MoveTo(100,100)"}, {100, 100}, FALSE},
        {"missing the box", -5, 20, 20, 30, FALSE, {}, {300, -100}, FALSE},
        {"leaving from the edge", 10, 5, 15, 5, TRUE, {}, {200, 150}, FALSE},
        {"vertical beside the box", 12, -5, 12, 15, FALSE, {}, {220, 50}, FALSE},
        {"vertical through the box", 5, -5, 5, 15, TRUE, {"MoveTo(150,200)"}, {150, 100}, FALSE},
        {"entering from below", 5, -5, 5, 5, TRUE, {"MoveTo(150,200)"}, {150, 150}, TRUE},
        // An inside end on an edge: the visible piece runs to the far edge, not back to it.
        {"leaving from the left edge", 0, 5, 15, 5, TRUE, {}, {200, 150}, FALSE},
        {"leaving upwards from the bottom edge", 1, 0, 2, 15, TRUE, {}, {116, 100}, FALSE},
        {"entering to the left edge", 15, 5, 0, 5, TRUE, {"MoveTo(200,150)"}, {100, 150}, TRUE},
        {"entering to the top right corner",
         15,
         15,
         10,
         10,
         TRUE,
         {"MoveTo(200,100)"},
         {200, 100},
         TRUE},
        {"leaving through the top right corner", 0.1, 0.1, 19.1, 19.1, TRUE, {}, {200, 100}, FALSE},
        // Nearly flat and nearly upright sloped segments leave through the edge ahead of them.
        {"nearly flat, leaving right",
         5,
         5,
         105,
         std::nextafter(5.0, 6.0),
         TRUE,
         {},
         {200, 150},
         FALSE},
        {"nearly flat, leaving left",
         5,
         5,
         -95,
         std::nextafter(5.0, 4.0),
         TRUE,
         {},
         {100, 150},
         FALSE},
        {"nearly upright, leaving up",
         5,
         5,
         std::nextafter(5.0, 6.0),
         105,
         TRUE,
         {},
         {150, 100},
         FALSE},
        {"nearly upright, leaving down",
         5,
         5,
         std::nextafter(5.0, 4.0),
         -95,
         TRUE,
         {},
         {150, 200},
         FALSE},
        {"nearly flat, entering from the right",
         105,
         std::nextafter(5.0, 6.0),
         5,
         5,
         TRUE,
         {"MoveTo(200,150)"},
         {150, 150},
         TRUE},
        {"nearly flat, across the box leftwards",
         105,
         std::nextafter(5.0, 6.0),
         -95,
         5,
         TRUE,
         {"MoveTo(200,150)"},
         {100, 150},
         FALSE},
        // Outside to outside: drawn in the direction of travel, from where it enters.
        {"sloped through the box backwards",
         15,
         12,
         -5,
         2,
         TRUE,
         {"MoveTo(200,105)"},
         {100, 155},
         FALSE},
    };
    // clang-format on
    for (const Case& c : cases) {
        ClipFixture f;
        SCOPED_TRACE(c.what);
        EXPECT_EQ(f.Clip(c.px, c.py, c.cx, c.cy), c.bResult);
        EXPECT_EQ(f.dc.Log(), c.moves);
        EXPECT_EQ((CPoint{f.chart.m_nCurPixX, f.chart.m_nCurPixY}), c.end);
        EXPECT_EQ(f.chart.m_bCurInside, c.bCurInside);
        EXPECT_EQ(f.chart.m_dPrevX, c.cx) << "the current point becomes the previous one";
        EXPECT_EQ(f.chart.m_dPrevY, c.cy);
        EXPECT_EQ(f.chart.m_bPrevInside, c.bCurInside);
    }
}

TEST(ClipSegment, SegmentOfNoLengthChangesNothing) {
    ClipFixture f;
    f.chart.m_bCurInside = 7;  // a marker that must survive
    EXPECT_FALSE(f.Clip(3, 4, 3, 4 + 1e-201));
    EXPECT_TRUE(f.dc.Calls().empty());
    EXPECT_EQ(f.chart.m_dPrevX, 3);
    EXPECT_EQ(f.chart.m_dPrevY, 4);
    EXPECT_TRUE(f.chart.m_bPrevInside);
    EXPECT_EQ(f.chart.m_bCurInside, 7);
    EXPECT_EQ((CPoint{f.chart.m_nCurPixX, f.chart.m_nCurPixY}), (CPoint{130, 160}));
}

TEST(ClipSegment, WithoutLinesReportsWhetherThePointIsInside) {
    struct Case {
        double cx, cy;
        BOOL bInside;
    };
    for (const Case& c :
         {Case{15, 5, FALSE}, Case{5, 5, TRUE}, Case{10, 0, TRUE}, Case{-1e-9, 5, FALSE}}) {
        ClipFixture f;
        EXPECT_EQ(f.Clip(-50, -50, c.cx, c.cy, FALSE), c.bInside) << c.cx << "," << c.cy;
        EXPECT_EQ(f.chart.m_dPrevX, -50) << "the previous point stays";
        EXPECT_TRUE(f.dc.Calls().empty());
    }
}

// The last edge point ClipSegment computed lies on the box: exactly on its edge, and the
// other coordinate within the ranges even where rounding would put it a hair beyond.
TEST(ClipSegment, EdgePointsLieOnTheBox) {
    struct Case {
        const char* what;
        double px, py, cx, cy;
        double dIsectX, dIsectY;
    };
    const Case cases[] = {
        {"sloped through the box: its end", -5, 2, 15, 12, 10, 9.5},
        {"nearly upright, leaving up", 5, 5, std::nextafter(5.0, 6.0), 105, 5, 10},
        // 0.1 + (9.9 / 19) * 19 comes out 10.000000000000002.
        {"leaving through the corner", 0.1, 0.1, 19.1, 19.1, 10, 10},
        {"entering through the corner", 19.1, 19.1, 5, 5, 10, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClipFixture f;
        ASSERT_TRUE(f.Clip(c.px, c.py, c.cx, c.cy));
        EXPECT_EQ(f.chart.m_dIsectX, c.dIsectX);
        EXPECT_EQ(f.chart.m_dIsectY, c.dIsectY);
    }
}

// Fixed-range plotting: the caller's ranges, points outside without markers, segments cut.
TEST(ClipSegment, FixedRangePlotCutsAtTheCallersRanges) {
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    const double x[] = {5, 15, 5};
    const double y[] = {5, 5, 5};
    chart.AddSeries(3, x, y, 10, 1, 1, 1, 1, nullptr, nullptr);
    chart.m_dXMin = 0;
    chart.m_dXMax = 10;
    chart.m_dYMin = 0;
    chart.m_dYMax = 10;
    chart.m_bFixedRange = TRUE;
    ASSERT_TRUE(chart.Plot());
    EXPECT_EQ(chart.m_dXMax, 10) << "the ranges stay the caller's";
    // (5, 5) is (210, 100); the edge x = 10 is (390, 100).
    EXPECT_EQ(SeriesLog(dc),
              (Log{"MoveTo(210,100)", "Rectangle(209,99,212,102)", "MoveTo(210,100)",
                   "LineTo(390,100)", "MoveTo(390,100)", "MoveTo(390,100)", "LineTo(210,100)",
                   "Rectangle(209,99,212,102)", "MoveTo(210,100)"}));
    EXPECT_TRUE(dc.IsBalanced()) << dc.BalanceReport();
}

// Through Plot: two points, ranges 0..10 set by the caller (on kChartRect, MapX(x) = 30 +
// 36 x, MapY(y) = 195 - 19 y). An inside point keeps its marker, the line runs to where
// the segment leaves the box or from where it enters it.
TEST(ClipSegment, FixedRangePlotDrawsTheVisiblePieceOfEachSegment) {
    struct Case {
        const char* what;
        double x0, y0, x1, y1;
        Log expected;
    };
    const Case cases[] = {
        {"from the left edge out to the right",
         0,
         5,
         15,
         5,
         {"MoveTo(30,100)", "Rectangle(29,99,32,102)", "MoveTo(30,100)", "LineTo(390,100)",
          "MoveTo(390,100)"}},
        {"from the right onto the left edge",
         15,
         5,
         0,
         5,
         {"MoveTo(570,100)", "MoveTo(390,100)", "LineTo(30,100)", "Rectangle(29,99,32,102)",
          "MoveTo(30,100)"}},
        {"from the bottom edge out through the top",
         2,
         0,
         4,
         20,
         {"MoveTo(102,195)", "Rectangle(101,194,104,197)", "MoveTo(102,195)", "LineTo(138,5)",
          "MoveTo(138,5)"}},
        {"nearly flat, out to the right",
         5,
         5,
         105,
         std::nextafter(5.0, 6.0),
         {"MoveTo(210,100)", "Rectangle(209,99,212,102)", "MoveTo(210,100)", "LineTo(390,100)",
          "MoveTo(390,100)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingDC dc;
        CGraph chart(&dc, kChartRect);
        const double x[] = {c.x0, c.x1};
        const double y[] = {c.y0, c.y1};
        chart.AddSeries(2, x, y, 10, 1, 1, 1, 1, nullptr, nullptr);
        chart.m_dXMax = 10;
        chart.m_dYMax = 10;
        chart.m_bFixedRange = TRUE;
        ASSERT_TRUE(chart.Plot());
        ASSERT_EQ(chart.m_dXMax, 10) << "no widening: the ticks lie on the ends";
        EXPECT_EQ(SeriesLog(dc), c.expected);
    }
}

TEST(ClipSegment, FixedRangeWithoutLinesSkipsOutsidePoints) {
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    const double x[] = {5, 15, -1, 10};
    const double y[] = {5, 5, 5, 10};
    chart.AddSeries(4, x, y, 2, 1, 1, 1, 1, nullptr, nullptr);
    chart.m_dXMax = 10;
    chart.m_dYMax = 10;
    chart.m_bFixedRange = TRUE;
    ASSERT_TRUE(chart.Plot());
    EXPECT_EQ(CountCalls(dc, "Rectangle"), 1 + 2) << "frame, (5, 5) and (10, 10)";
}

}  // namespace
