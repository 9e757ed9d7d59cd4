// CImageDC text: fonts from LOGFONT, extents, TextOut, DrawText layouts, background modes
// and upward text.

#include "platform/ImageDC.h"
#include "test_image_dc_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);

LOGFONT ChartFont(int height, int escapement = 0) {
    LOGFONT f;
    f.lfHeight = height;
    f.lfEscapement = escapement;
    f.lfOutPrecision = 3;
    f.lfClipPrecision = 2;
    f.lfQuality = 1;
    f.lfPitchAndFamily = FF_SWISS;
    std::snprintf(f.lfFaceName, sizeof f.lfFaceName, "Swiss");
    return f;
}

// Runs `draw` on a fresh white image with the given font selected (none: the default).
template <typename Draw>
QImage Drawn(int width, int height, const LOGFONT* font, Draw draw) {
    QImage image = WhiteImage(width, height);
    {
        CImageDC dc(image);
        if (font) dc.SelectObject(dc.CreateFontIndirect(*font));
        draw(dc);
    }
    return image;
}

// A positive height asks for the cell height: the chart's label and title fonts at scale 1
// and 4 (12, 15, 48, 60) measure exactly that tall, and the glyphs stay inside the cell.
TEST(ImageDCFont, CellHeightIsTheRequestedHeight) {
    for (const int height : {12, 15, 48, 60, 9, 13}) {
        SCOPED_TRACE(height);
        const LOGFONT font = ChartFont(height);
        CSize extent;
        const QImage drawn = Drawn(400, 100, &font, [&](CDC& dc) {
            extent = dc.GetTextExtentPoint("Time [min] |gjq", 15);
            dc.SetBkMode(TRANSPARENT);
            dc.TextOut(5, 20, "Time [min] |gjq", 15);
        });
        EXPECT_EQ(extent.cy, height);
        const CRect ink = InkBox(drawn);
        EXPECT_GE(ink.top, 20);
        EXPECT_LE(ink.bottom, 20 + height);
        EXPECT_GE(ink.Height(), height * 2 / 3) << "the glyphs fill most of the cell";
    }
    // The default font, a request of height 0, has a 12-pixel cell.
    QImage image = WhiteImage(4, 4);
    CImageDC dc(image);
    EXPECT_EQ(dc.GetTextExtentPoint("0", 1).cy, 12);
}

TEST(ImageDCFont, ExtentIsTheAdvanceAlongTheBaselineWhateverTheEscapement) {
    QImage image = WhiteImage(4, 4);
    CImageDC dc(image);
    const HFONT flat = dc.CreateFontIndirect(ChartFont(15));
    const HFONT upward = dc.CreateFontIndirect(ChartFont(15, 900));
    dc.SelectObject(flat);
    const CSize a = dc.GetTextExtentPoint("Impedance", 9);
    const CSize shorter = dc.GetTextExtentPoint("Impedance", 4);
    dc.SelectObject(upward);
    EXPECT_EQ(dc.GetTextExtentPoint("Impedance", 9), a);
    EXPECT_GT(a.cx, shorter.cx);
    EXPECT_EQ(a.cy, shorter.cy);
    EXPECT_EQ(dc.GetTextExtentPoint("Impedance", 0), (CSize{0, a.cy}));
    EXPECT_EQ(dc.GetTextExtentPoint(nullptr, 3), (CSize{0, a.cy}));
}

TEST(ImageDCText, TextOutDrawsInsideItsBoxFromTheTopLeftCorner) {
    const LOGFONT font = ChartFont(12);
    CSize extent;
    const QImage image = Drawn(80, 40, &font, [&](CDC& dc) {
        extent = dc.GetTextExtentPoint("1000", 4);
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(10, 7, "1000", 4);
    });
    const CRect ink = InkBox(image);
    EXPECT_GE(ink.left, 10);
    EXPECT_GE(ink.top, 7);
    EXPECT_LE(ink.right, 10 + extent.cx + 1);
    EXPECT_LE(ink.bottom, 7 + extent.cy);
    EXPECT_GT(ink.Width(), extent.cx / 2);
}

// DT_CENTER | DT_VCENTER | DT_SINGLELINE: the text box (filled in opaque mode, so its
// pixels show) sits in the middle of the rectangle, the odd pixel of an uneven margin going
// right and below; the glyphs themselves are centred too.
TEST(ImageDCText, SingleLineCentredFormatCentresTheTextBoxInTheRectangle) {
    const LOGFONT font = ChartFont(15);
    for (const CRect rect :
         {CRect{20, 30, 220, 60}, CRect{21, 31, 220, 60}, CRect{20, 30, 221, 45}}) {
        SCOPED_TRACE(std::to_string(rect.Width()) + " x " + std::to_string(rect.Height()));
        CSize extent;
        int returned = 0;
        const QImage boxed = Drawn(240, 80, &font, [&](CDC& dc) {
            dc.SetBkMode(OPAQUE);
            dc.SetBkColor(kBlue);
            extent = dc.GetTextExtentPoint("Time [min]", 10);
            returned = dc.DrawText("Time [min]", 10, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        });
        EXPECT_EQ(returned, extent.cy);
        const CRect box = InkBox(boxed);
        EXPECT_EQ(box.Width(), extent.cx);
        EXPECT_EQ(box.Height(), extent.cy);
        const int left = box.left - rect.left, right = rect.right - box.right;
        const int top = box.top - rect.top, bottom = rect.bottom - box.bottom;
        EXPECT_TRUE(right == left || right == left + 1) << left << " left, " << right << " right";
        EXPECT_TRUE(bottom == top || bottom == top + 1) << top << " above, " << bottom << " below";

        const QImage glyphs = Drawn(240, 80, &font, [&](CDC& dc) {
            dc.SetBkMode(TRANSPARENT);
            dc.DrawText("Time [min]", 10, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        });
        const CRect ink = InkBox(glyphs);
        EXPECT_NEAR((ink.left + ink.right) / 2.0, (rect.left + rect.right) / 2.0, 3.0);
        EXPECT_NEAR((ink.top + ink.bottom) / 2.0, (rect.top + rect.bottom) / 2.0, 4.0);
    }
}

TEST(ImageDCText, FormatZeroStartsANewLineAtEachNewlineAndReturnsTheHeight) {
    int lineHeight = 0;
    int returned = 0;
    const QImage drawn = Drawn(300, 60, nullptr, [&](CDC& dc) {
        lineHeight = dc.GetTextExtentPoint("A", 1).cy;
        returned = dc.DrawText("Varkel driver\nTime= 0.000 s", -1, CRect{5, 4, 300, 60}, 0);
    });
    EXPECT_EQ(lineHeight, 12) << "the default font's cell";
    EXPECT_EQ(returned, 24);
    const QImage expected = Drawn(300, 60, nullptr, [&](CDC& dc) {
        dc.TextOut(5, 4, "Varkel driver", 13);
        dc.TextOut(5, 4 + lineHeight, "Time= 0.000 s", 13);
    });
    EXPECT_EQ(drawn, expected);
}

TEST(ImageDCText, FormatZeroIsClippedToItsRectangle) {
    const CRect rect{10, 10, 40, 20};
    const QImage drawn = Drawn(120, 60, nullptr, [&](CDC& dc) {
        dc.DrawText("a long first line\nand a second", -1, rect, 0);
    });
    const CRect ink = InkBox(drawn);
    EXPECT_FALSE(PaintedPixels(drawn).empty());
    EXPECT_GE(ink.left, rect.left);
    EXPECT_GE(ink.top, rect.top);
    EXPECT_LE(ink.right, rect.right);
    EXPECT_LE(ink.bottom, rect.bottom);
}

TEST(ImageDCText, OpaqueModeFillsTheTextBoxTransparentLeavesItAlone) {
    const LOGFONT font = ChartFont(15);
    CSize extent;
    auto draw = [&](int mode) {
        return Drawn(100, 40, &font, [&](CDC& dc) {
            dc.SetBkColor(kBlue);
            dc.SetBkMode(mode);
            extent = dc.GetTextExtentPoint("ll", 2);
            dc.TextOut(10, 10, "ll", 2);
        });
    };
    const QImage opaque = draw(OPAQUE);
    const QImage transparent = draw(TRANSPARENT);
    int blue = 0;
    for (int y = 10; y < 10 + extent.cy; ++y)
        for (int x = 10; x < 10 + extent.cx; ++x) {
            EXPECT_NE(PixelAt(opaque, x, y), kWhite) << x << "," << y;
            EXPECT_NE(PixelAt(transparent, x, y), kBlue) << x << "," << y;
            blue += PixelAt(opaque, x, y) == kBlue;
        }
    EXPECT_GT(blue, 0);
    EXPECT_EQ(PixelAt(opaque, 9, 10), kWhite);  // only the box is filled
    EXPECT_FALSE(PaintedPixels(transparent).empty());
    EXPECT_NE(PaintedPixels(transparent).size(), static_cast<size_t>(extent.cx * extent.cy));
}

// Escapement 900: the box turns counter-clockwise about its top-left corner, so the text
// lies above the anchor, reads upwards, and the glyph tops face left.
TEST(ImageDCText, UpwardTextLiesAboveItsAnchorAndReadsUpwards) {
    const LOGFONT font = ChartFont(15, 900);
    const int x = 20, y = 120;
    CSize extent;
    auto draw = [&](const char* text) {
        return Drawn(60, 140, &font, [&](CDC& dc) {
            dc.SetBkMode(TRANSPARENT);
            extent = dc.GetTextExtentPoint(text, static_cast<int>(std::strlen(text)));
            dc.TextOut(x, y, text, static_cast<int>(std::strlen(text)));
        });
    };
    const QImage phase = draw("Phase");
    const CRect ink = InkBox(phase);
    EXPECT_LE(ink.bottom, y + 1);
    EXPECT_GE(ink.top, y - extent.cx - 1);
    EXPECT_GE(ink.left, x);
    EXPECT_LE(ink.right, x + extent.cy + 1);
    EXPECT_GT(ink.Height(), ink.Width());

    // The first character is at the bottom: "I....." has its ink low, ".....I" high.
    const CRect first = InkBox(draw("I     "));
    const CRect last = InkBox(draw("     I"));
    EXPECT_GT(first.top, last.bottom);
    // Tops face left: an underscore (below the baseline) lands right of an apostrophe.
    const CRect underscore = InkBox(draw("_"));
    const CRect apostrophe = InkBox(draw("'"));
    EXPECT_GT(underscore.left, apostrophe.right - 1);
}

TEST(ImageDCText, TextFarOffTheImageOrWithBadLengthsIsHarmless) {
    const QImage drawn = Drawn(30, 30, nullptr, [](CDC& dc) {
        dc.TextOut(2000000000, -2000000000, "far", 3);
        dc.TextOut(5, 5, "neg", -4);
        dc.TextOut(5, 5, nullptr, 3);
        EXPECT_EQ(dc.DrawText(nullptr, -1, CRect{0, 0, 30, 30}, 0), 0);
        dc.DrawText("x", -1, CRect{2000000000, 0, -2000000000, 30}, 0);
    });
    EXPECT_TRUE(PaintedPixels(drawn).empty());
}

// Text and raster shapes interleave in call order on the one image.
TEST(ImageDCText, ShapesDrawnAfterTextCoverIt) {
    const QImage drawn = Drawn(60, 30, nullptr, [](CDC& dc) {
        dc.TextOut(2, 2, "WWWW", 4);
        const HBRUSH old = dc.SelectObject(dc.CreateSolidBrush(kBlue));
        dc.Rectangle(0, 0, 60, 30);
        dc.SelectObject(old);
    });
    for (int y = 1; y < 29; ++y)
        for (int x = 1; x < 59; ++x) ASSERT_EQ(PixelAt(drawn, x, y), kBlue);
}

}  // namespace
