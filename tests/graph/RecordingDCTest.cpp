// The recording surface itself: the chart tests lean on it to see leaks and misuse, so it
// must actually report them.

#include <gtest/gtest.h>

#include "graph/RecordingDC.h"

namespace {

TEST(RecordingDC, LogsCallsWithTheirArguments) {
    RecordingDC dc;
    dc.MoveTo(1, 2);
    dc.LineTo(10, 20);
    dc.TextOut(3, 4, "10xx", 2);
    dc.DrawText("a\nb", -1, CRect{0, 0, 5, 6}, 0);
    EXPECT_EQ(dc.Log(),
              (std::vector<std::string>{"MoveTo(1,2)", "LineTo(10,20)", "TextOut(3,4,\"10\")",
                                        "DrawText(0,0,5,6,0,\"a\nb\")"}));
    EXPECT_EQ(dc.Log({"LineTo"}), (std::vector<std::string>{"LineTo(10,20)"}));
    EXPECT_EQ(dc.CurrentPosition(), (CPoint{10, 20}));
}

TEST(RecordingDC, MeasuresTextFromTheSelectedFontHeight) {
    RecordingDC dc;
    EXPECT_EQ(dc.GetTextExtentPoint("abc", 3), (CSize{7 * 3 * 16 / 12, 16}));
    LOGFONT desc;
    desc.lfHeight = -30;
    const HFONT font = dc.CreateFontIndirect(desc);
    const HFONT stock = dc.SelectObject(font);
    EXPECT_EQ(dc.GetTextExtentPoint("abcd", -1), (CSize{70, 30}));
    EXPECT_EQ(dc.DrawText("x\ny", -1, CRect{}, 0), 60);
    dc.SelectObject(stock);
    dc.DeleteObject(font);
    EXPECT_TRUE(dc.IsBalanced()) << dc.BalanceReport();
}

TEST(RecordingDC, SelectObjectReturnsThePreviousObjectOfThatKind) {
    RecordingDC dc;
    const HPEN a = dc.CreatePen(PS_SOLID, 1, 0);
    const HPEN b = dc.CreatePen(PS_SOLID, 1, 0);
    const HBRUSH brush = dc.CreateSolidBrush(0);
    EXPECT_EQ(dc.SelectObject(a), dc.StockPen());
    EXPECT_EQ(dc.SelectObject(brush), dc.StockBrush());
    EXPECT_EQ(dc.SelectObject(b), a);
    EXPECT_EQ(dc.SelectedPen(), b);
    EXPECT_EQ(dc.SelectedBrush(), brush);
}

TEST(RecordingDC, ReportsEveryImbalance) {
    struct Case {
        const char* what;
        void (*misuse)(RecordingDC&);
    };
    const Case cases[] = {
        {"object never deleted", [](RecordingDC& dc) { dc.CreatePen(PS_SOLID, 1, 0); }},
        {"object left selected", [](RecordingDC& dc) { dc.SelectObject(dc.CreateSolidBrush(0)); }},
        {"deleted while selected",
         [](RecordingDC& dc) {
             const HPEN pen = dc.CreatePen(PS_SOLID, 1, 0);
             const HPEN stock = dc.SelectObject(pen);
             EXPECT_FALSE(dc.DeleteObject(pen));
             dc.SelectObject(stock);
             dc.DeleteObject(pen);
         }},
        {"deleted twice",
         [](RecordingDC& dc) {
             const HRGN region = dc.CreateRectRgn(0, 0, 1, 1);
             dc.DeleteObject(region);
             EXPECT_FALSE(dc.DeleteObject(region));
         }},
        {"stock object deleted", [](RecordingDC& dc) { dc.DeleteObject(dc.StockFont()); }},
        {"null selected", [](RecordingDC& dc) { dc.SelectObject(HFONT{}); }},
        {"deleted object selected",
         [](RecordingDC& dc) {
             const HFONT font = dc.CreateFontIndirect(LOGFONT{});
             dc.DeleteObject(font);
             dc.SelectObject(font);
         }},
        {"unknown region painted", [](RecordingDC& dc) { dc.PaintRgn(HRGN{99}); }},
    };
    for (const Case& c : cases) {
        RecordingDC dc;
        c.misuse(dc);
        EXPECT_FALSE(dc.IsBalanced()) << c.what;
        EXPECT_FALSE(dc.BalanceReport().empty()) << c.what;
    }
}

TEST(RecordingDC, KeepsWhatObjectsWereCreatedWith) {
    RecordingDC dc;
    const HPEN pen = dc.CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    const HRGN region = dc.CreateRectRgn(1, 2, 3, 4);
    ASSERT_NE(dc.Object(pen.id), nullptr);
    EXPECT_EQ(dc.Object(pen.id)->colour, RGB(1, 2, 3));
    EXPECT_EQ(dc.Object(region.id)->rect, (CRect{1, 2, 3, 4}));
    EXPECT_EQ(dc.Object(dc.StockPen().id), nullptr);
    EXPECT_EQ(dc.LiveObjects().size(), 2u);
}

}  // namespace
