// ClipSegment on its own (ranges 0..10 both ways, MapX(x) = 100 + 10 x, MapY(y) = 200 -
// 10 y), and fixed-range plotting through it.

#include <gtest/gtest.h>

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
        Log moves;        // MoveTo calls ClipSegment made
        CPoint end;       // m_nCurPixX/Y on return
        BOOL bCurInside;
    };
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
    };
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
    for (const Case& c : {Case{15, 5, FALSE}, Case{5, 5, TRUE}, Case{10, 0, TRUE}, Case{-1e-9, 5, FALSE}}) {
        ClipFixture f;
        EXPECT_EQ(f.Clip(-50, -50, c.cx, c.cy, FALSE), c.bInside) << c.cx << "," << c.cy;
        EXPECT_EQ(f.chart.m_dPrevX, -50) << "the previous point stays";
        EXPECT_TRUE(f.dc.Calls().empty());
    }
}

TEST(ClipSegment, EdgeTestsWriteTheIntersectionEvenWhenTheyRefuse) {
    ClipFixture f;
    f.chart.m_dPrevX = -5;
    f.chart.m_dPrevY = 2;
    f.chart.m_dCurX = 15;
    f.chart.m_dCurY = 12;
    f.chart.m_dSlope = 0.5;
    EXPECT_FALSE(f.chart.IntersectSlopedHorz(0));  // x = -9 is outside the x range
    EXPECT_EQ(f.chart.m_dIsectX, -9);
    EXPECT_EQ(f.chart.m_dIsectY, 0);
    EXPECT_TRUE(f.chart.IntersectSlopedVert(10));
    EXPECT_EQ(f.chart.m_dIsectY, 9.5);
    f.chart.m_dIsectX = 42;
    EXPECT_FALSE(f.chart.IntersectNone(0));
    EXPECT_EQ(f.chart.m_dIsectX, 42) << "IntersectNone writes nothing";
    f.chart.m_dPrevY = 11;  // a horizontal segment above the box
    EXPECT_FALSE(f.chart.IntersectFlatVert(0));
    EXPECT_EQ(f.chart.m_dIsectY, 11);
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
