// The five marker shapes at scale 1 and 4.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graph/GraphMarkers.h"
#include "graph/RecordingDC.h"

namespace {

TEST(Markers, ShapesFollowTheSizeUnit) {
    struct Case {
        int nStyle;
        int nSize;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {0, 1, {"SetPixel(10,20,0)"}},
        {5, 4, {"SetPixel(10,20,0)"}},
        {1, 1, {"Ellipse(8,18,13,23)"}},
        {1, 4, {"Ellipse(2,12,19,29)"}},
        {2, 1, {"Rectangle(9,19,12,22)"}},
        {2, 4, {"Rectangle(6,16,15,25)"}},
        {3,
         1,
         {"MoveTo(8,20)", "LineTo(10,18)", "LineTo(12,20)", "LineTo(10,22)", "LineTo(8,20)",
          "MoveTo(10,20)"}},
        {4, 1, {"MoveTo(8,18)", "LineTo(13,23)", "MoveTo(8,22)", "LineTo(13,17)"}},
        {4, 4, {"MoveTo(2,12)", "LineTo(19,29)", "MoveTo(2,28)", "LineTo(19,11)"}},
        {-1, 1, {"SetPixel(10,20,0)"}},
        {10, 1, {"Rectangle(9,19,12,22)"}},
    };
    for (const Case& c : cases) {
        RecordingDC dc;
        g_nMarkerSize = c.nSize;
        MarkerForStyle(c.nStyle)(&dc, 10, 20);
        EXPECT_EQ(dc.Log(), c.calls) << "style " << c.nStyle << " size " << c.nSize;
    }
}

TEST(Markers, PixelIsBlackAndPositionIsLeftWhereDescribed) {
    RecordingDC dc;
    g_nMarkerSize = 1;
    DrawPixelMarker(&dc, 3, 4);
    EXPECT_EQ(dc.Calls().back().args[2], RGB(0, 0, 0));
    DrawDiamondMarker(&dc, 50, 60);
    EXPECT_EQ(dc.CurrentPosition(), (CPoint{50, 60}));
    DrawCrossMarker(&dc, 50, 60);
    EXPECT_EQ(dc.CurrentPosition(), (CPoint{53, 57})) << "end of the second stroke";
}

}  // namespace
