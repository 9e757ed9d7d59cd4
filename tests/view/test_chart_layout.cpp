// Where the view's painter puts its two charts, pinned by pixel values worked out by hand:
// 45 pixels down, split at the middle of the client area (integer division, toward zero)
// with a 10-pixel gap. Seen through the recording surface: each chart paints its background
// from (left - 3, top - 3) to (right + 4, bottom + 5) of its rectangle, and chooses its label
// font from its width (12 pixels below 1000 pixels, 48 from 1000 on).

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "graph/RecordingDC.h"
#include "measure/MeasurementState.h"
#include "view/MeasurementPainter.h"

// Rectangles in test messages as (left, top, right, bottom).
static void PrintTo(const CRect& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

struct PaintedCharts {
    std::vector<CRect> backgrounds;  // the regions the charts filled, in paint order
    std::vector<int> labelFonts;     // the first font each chart created, its height
};

// Paints one sample on client through the view's painter and reads back what the charts did.
PaintedCharts Paint(const CRect& client, const ChartViews& views = {}) {
    const double time[] = {1.0};
    const double impedance[] = {100.0};
    const double phase[] = {-30.0};
    RecordingDC dc;
    PaintMeasurement(&dc, client, Readings{}, SampleSeries{time, impedance, phase, 1}, views);
    PaintedCharts charts;
    bool bChartStarted = false;
    for (const RecordedCall& call : dc.Calls()) {
        if (call.op == "CreateRectRgn") {
            const auto& a = call.args;  // handle, left, top, right, bottom
            charts.backgrounds.push_back(CRect{static_cast<int>(a[1]), static_cast<int>(a[2]),
                                               static_cast<int>(a[3]), static_cast<int>(a[4])});
            bChartStarted = true;
        } else if (call.op == "CreateFontIndirect" && bChartStarted) {
            charts.labelFonts.push_back(static_cast<int>(call.args[1]));
            bChartStarted = false;
        }
    }
    return charts;
}

TEST(ChartLayout, ChartsSplitTheClientAreaBelowTheText) {
    struct Case {
        const char* what;
        CRect client;
        CRect impedance, phase;  // chart rectangles
        int nImpedanceFont, nPhaseFont;
    };
    const Case cases[] = {
        {"801 wide: the middle is 400",
         {0, 0, 801, 600},
         {0, 45, 395, 600},
         {405, 45, 801, 600},
         12,
         12},
        {"800 wide", {0, 0, 800, 600}, {0, 45, 395, 600}, {405, 45, 800, 600}, 12, 12},
        {"2009 wide: 999 and 1000 wide, two scales",
         {0, 0, 2009, 900},
         {0, 45, 999, 900},
         {1009, 45, 2009, 900},
         12,
         48},
        {"2010 wide: both at the larger scale",
         {0, 0, 2010, 900},
         {0, 45, 1000, 900},
         {1010, 45, 2010, 900},
         48,
         48},
        {"offset client area", {10, 20, 811, 620}, {10, 65, 405, 620}, {415, 65, 811, 620}, 12, 12},
        {"middle of -101..100 is 0, not -1",
         {-101, 0, 100, 300},
         {-101, 45, -5, 300},
         {5, 45, 100, 300},
         12,
         12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PaintedCharts charts = Paint(c.client);
        const CRect& a = c.impedance;
        const CRect& b = c.phase;
        EXPECT_EQ(charts.backgrounds,
                  (std::vector<CRect>{{a.left - 3, a.top - 3, a.right + 4, a.bottom + 5},
                                      {b.left - 3, b.top - 3, b.right + 4, b.bottom + 5}}));
        EXPECT_EQ(charts.labelFonts, (std::vector<int>{c.nImpedanceFont, c.nPhaseFont}));
    }
}

// Rectangles too small to hold a chart are passed on as they are; the charts then paint
// their background only.
TEST(ChartLayout, TinyClientAreasAreLaidOutUnchecked) {
    const PaintedCharts charts = Paint(CRect{0, 0, 8, 30});
    // middle 4: (0, 45, -1, 30) and (9, 45, 8, 30).
    EXPECT_EQ(charts.backgrounds, (std::vector<CRect>{{-3, 42, 3, 35}, {6, 42, 12, 35}}));
}

TEST(ChartLayout, WithoutSamplesNoChartIsDrawn) {
    RecordingDC dc;
    PaintMeasurement(&dc, CRect{0, 0, 801, 600}, Readings{}, SampleSeries{});
    EXPECT_EQ(dc.Log({"CreateRectRgn", "Rectangle"}), std::vector<std::string>{});
    EXPECT_EQ(dc.Log({"DrawText"}).size(), 1u) << "the status text only";
}

}  // namespace
