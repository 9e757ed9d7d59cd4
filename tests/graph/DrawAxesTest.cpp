// DrawAxes: the layout of frame, ticks, labels and titles, the mapping it leaves, and the
// size test. The recording surface measures a text of n characters in a font of height h
// as 7 * n * h / 12 by h, so every pixel below follows from the layout rules.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "GraphTestSupport.h"

namespace {

// A chart with both ranges 0..10 (ticks 0, 2, .. 10; the widest label "10" is 14 px at
// scale 1) over rect, titles as given.
struct AxesFixture {
    RecordingDC dc;
    CGraph chart;
    BOOL bResult;

    explicit AxesFixture(const CRect& rect, std::string strX = "", std::string strY = "",
                         double dScale = 1.0)
        : chart(&dc, rect) {
        chart.SetTitles(strX, strY);
        chart.m_dScale = dScale;
        chart.m_dXMax = 10;
        chart.m_dYMax = 10;
        bResult = chart.DrawAxes();
    }
    std::vector<std::string> Drawn() const {
        return dc.Log({"Rectangle", "MoveTo", "LineTo", "TextOut", "DrawText"});
    }
};

TEST(DrawAxes, LaysOutFrameTicksAndLabelsWithoutTitles) {
    AxesFixture f(kChartRect);
    ASSERT_TRUE(f.bResult);
    // Label column 14 + 6 wide; the frame's bottom is 212 less the label height 12.
    EXPECT_EQ(f.chart.m_rectPlot, (CRect{20, 0, 400, 200}));
    EXPECT_EQ(f.chart.m_nOriginX, 30);
    EXPECT_EQ(f.chart.m_nOriginY, 195);
    EXPECT_DOUBLE_EQ(f.chart.m_dXFactor, 36.0);
    EXPECT_DOUBLE_EQ(f.chart.m_dYFactor, 19.0);

    const std::vector<std::string> drawn = f.Drawn();
    ASSERT_EQ(drawn.size(), 1u + 6 * 5 + 6 * 5);
    EXPECT_EQ(drawn[0], "Rectangle(20,0,401,201)");
    // First x tick: 4 px long (400 / 100) from both edges; label centred, 12 / 6 below.
    EXPECT_EQ(std::vector<std::string>(drawn.begin() + 1, drawn.begin() + 6),
              (std::vector<std::string>{"MoveTo(30,0)", "LineTo(30,4)", "MoveTo(30,200)",
                                        "LineTo(30,196)", "TextOut(27,202,\"0\")"}));
    EXPECT_EQ(drawn[26], "MoveTo(390,0)");
    EXPECT_EQ(drawn[30], "TextOut(383,202,\"10\")");
    // First y tick at y = 0, label centred in the 20 px column and on the tick.
    EXPECT_EQ(std::vector<std::string>(drawn.begin() + 31, drawn.begin() + 36),
              (std::vector<std::string>{"MoveTo(20,195)", "LineTo(24,195)", "MoveTo(400,195)",
                                        "LineTo(396,195)", "TextOut(6,189,\"0\")"}));
    EXPECT_EQ(drawn[36], "MoveTo(20,157)");  // 195 - 2 * 19
    EXPECT_EQ(drawn[60], "TextOut(3,-1,\"10\")");
}

TEST(DrawAxes, TitlesTakeTheirStripsAndAreDrawnLast) {
    AxesFixture f(kChartRect, "Time [min]", "Phase");
    ASSERT_TRUE(f.bResult);
    // Title strips 15 px: A = (15, 0, 400, 197).
    EXPECT_EQ(f.chart.m_rectPlot, (CRect{35, 0, 400, 185}));
    const std::vector<std::string> drawn = f.Drawn();
    ASSERT_GE(drawn.size(), 2u);
    EXPECT_EQ(drawn[drawn.size() - 2], "DrawText(35,197,400,212,37,\"Time [min]\")");
    // "Phase" in the 15 px title font is 7 * 5 * 15 / 12 = 43 wide: (0 + 197 + 43) / 2.
    EXPECT_EQ(drawn.back(), "TextOut(0,120,\"Phase\")");

    const std::vector<std::string> fonts = f.dc.Log({"CreateFontIndirect"});
    ASSERT_EQ(fonts.size(), 3u);
    EXPECT_EQ(fonts[1],
              "CreateFontIndirect(" + std::to_string(f.dc.Calls()[0].args[0] + 1) + ",15,0)");
    const RecordedObject* yTitle = f.dc.Object(static_cast<int>(f.dc.Calls()[0].args[0]) + 2);
    ASSERT_NE(yTitle, nullptr);
    EXPECT_EQ(yTitle->font.lfEscapement, 900);
    EXPECT_STREQ(yTitle->font.lfFaceName, "Swiss");
    EXPECT_EQ(yTitle->font.lfPitchAndFamily, 0x20);
    EXPECT_EQ(yTitle->font.lfOutPrecision, 3);
    EXPECT_EQ(yTitle->font.lfClipPrecision, 2);
    EXPECT_EQ(yTitle->font.lfQuality, 1);
    EXPECT_EQ(yTitle->font.lfWeight, 400);
    EXPECT_TRUE(f.dc.IsBalanced()) << f.dc.BalanceReport();
}

TEST(DrawAxes, ScaleSetsFontHeightsAndTitleRoom) {
    // Frame left: title strip + widest y label "10" (14 px at 12, 56 at 48) + 6. Frame
    // bottom: 900 less the title strip and the label height.
    struct Case {
        double dScale;
        int nLabel, nTitle;
        int nFrameLeft, nFrameBottom;
    };
    for (const Case& c : {Case{1.0, 12, 15, 15 + 14 + 6, 900 - 15 - 12},
                          Case{4.0, 48, 60, 60 + 56 + 6, 900 - 60 - 48}}) {
        AxesFixture f(CRect{0, 0, 1200, 900}, "x", "y", c.dScale);
        ASSERT_TRUE(f.bResult);
        const std::vector<std::string> fonts = f.dc.Log({"CreateFontIndirect"});
        ASSERT_EQ(fonts.size(), 3u) << "labels, x title, y title";
        const RecordedObject* label = f.dc.Object(static_cast<int>(f.dc.Calls()[0].args[0]));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->font.lfHeight, c.nLabel) << c.dScale;
        for (int k = 1; k <= 2; ++k) {
            const RecordedObject* title =
                f.dc.Object(static_cast<int>(f.dc.Calls()[0].args[0]) + k);
            ASSERT_NE(title, nullptr);
            EXPECT_EQ(title->font.lfHeight, c.nTitle) << c.dScale;
        }
        EXPECT_EQ(f.chart.m_rectPlot.left, c.nFrameLeft) << c.dScale;
        EXPECT_EQ(f.chart.m_rectPlot.bottom, c.nFrameBottom) << c.dScale;
    }
}

TEST(DrawAxes, TickLengthIsAHundredthOfTheWidthButAtLeastThree) {
    // The first x tick hangs from the frame's top at x = 20 (label column) + width / 40.
    struct Case {
        int nWidth;
        const char* firstTick;
    };
    for (const Case& c : {Case{250, "LineTo(26,3)"}, Case{299, "LineTo(27,3)"},
                          Case{400, "LineTo(30,4)"}, Case{1000, "LineTo(45,10)"}}) {
        AxesFixture f(CRect{0, 0, c.nWidth, 300});
        ASSERT_TRUE(f.bResult);
        EXPECT_EQ(f.dc.Log({"LineTo"}).front(), c.firstTick) << c.nWidth;
    }
}

TEST(DrawAxes, DataAreaOfTenPixelsIsDrawnNineRefused) {
    // Height h: y0 = h / 40, y1 = h - 12 - h / 40, so 22 gives 10 and 21 gives 9.
    // Width w (< 320): the last label "10" pulls the right end in by 8 - w / 40, leaving
    // w - 28 - w / 40: 38 gives 10 and 37 gives 9.
    // Drawn: the data area's width and height (pixels for the range of 10).
    struct Case {
        CRect rect;
        BOOL bDrawn;
        int nWidth, nHeight;
    };
    const Case cases[] = {
        {{0, 0, 400, 22}, TRUE, 360, 10},  {{0, 0, 400, 21}, FALSE, 0, 0},
        {{0, 0, 38, 300}, TRUE, 10, 274},  {{0, 0, 37, 300}, FALSE, 0, 0},
        {{100, 100, 50, 50}, FALSE, 0, 0},  // reversed rectangle
    };
    for (const Case& c : cases) {
        AxesFixture f(c.rect);
        SCOPED_TRACE(std::to_string(c.rect.right) + "x" + std::to_string(c.rect.bottom));
        EXPECT_EQ(f.bResult, c.bDrawn);
        EXPECT_TRUE(f.dc.IsBalanced()) << f.dc.BalanceReport();
        if (c.bDrawn) {
            EXPECT_DOUBLE_EQ(f.chart.m_dXFactor, c.nWidth / 10.0);
            EXPECT_DOUBLE_EQ(f.chart.m_dYFactor, c.nHeight / 10.0);
        } else {
            EXPECT_TRUE(f.Drawn().empty()) << "a refused chart draws nothing";
            EXPECT_EQ(f.chart.m_dXFactor, 0.0) << "the mapping stays as it was";
        }
    }
}

TEST(DrawAxes, LastLabelPassingTheRightEdgePullsTheDataAreaIn) {
    // x 0..100000: last label "100000" is 42 px; with the right margin 10 it would pass
    // the edge by 42 / 2 + 1 - 10 = 12 px.
    RecordingDC dc;
    CGraph chart(&dc, CRect{0, 0, 400, 212});
    chart.m_dXMax = 100000;
    chart.m_dYMax = 10;
    ASSERT_TRUE(chart.DrawAxes());
    EXPECT_EQ(chart.m_rectPlot.right, 400) << "the frame keeps its right edge";
    EXPECT_EQ(chart.m_nOriginX + static_cast<int>(std::lround(chart.m_dXFactor * 100000)),
              400 - 10 - 12);
    const std::vector<std::string> lines = dc.Log({"MoveTo"});
    EXPECT_NE(std::find(lines.begin(), lines.end(), "MoveTo(400,195)"), lines.end())
        << "the right-hand y ticks stay on the frame";
}

TEST(DrawAxes, EmptyRangesAreWidenedBeforeTicks) {
    RecordingDC dc;
    CGraph chart(&dc, CRect{0, 0, 400, 300});
    chart.m_dXMin = chart.m_dXMax = 5;
    chart.m_dYMin = chart.m_dYMax = 0;
    ASSERT_TRUE(chart.DrawAxes());
    EXPECT_EQ(chart.m_dXMin, -1);
    EXPECT_EQ(chart.m_dXMax, 11);
    EXPECT_EQ(chart.m_dYMin, -1);
    EXPECT_EQ(chart.m_dYMax, 1);
    std::vector<std::string> labels;
    for (const RecordedCall& call : dc.Calls()) {
        if (call.op == "TextOut") labels.push_back(call.text);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"0", "2", "4", "6", "8", "10", "-1", "-0.5", "0",
                                                "0.5", "1"}));
}

TEST(DrawAxes, FailureSelectsTheFontBackAndDeletesIt) {
    AxesFixture f(CRect{0, 0, 20, 20}, "x", "y");
    EXPECT_FALSE(f.bResult);
    EXPECT_EQ(f.dc.Log({"CreateFontIndirect"}).size(), 1u) << "no title font on failure";
    EXPECT_TRUE(f.dc.IsBalanced()) << f.dc.BalanceReport();
}

}  // namespace
