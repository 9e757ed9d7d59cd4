// CImageDC shapes and drawing objects: exact pixels of rectangles, ellipses, pixels and
// region fills, selection and release of objects, and safety with any coordinates.

#include "platform/ImageDC.h"
#include "test_image_dc_support.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);

// Draws with a red pen and a green brush so outline and inside are told apart.
struct ColouredSurface {
    QImage image;
    ColouredSurface(int width, int height) : image(WhiteImage(width, height)) {}
    template <typename Draw>
    void Paint(Draw draw, bool shortcuts = true) {
        CImageDC dc(image);
        dc.setShortcutsEnabled(shortcuts);
        dc.SelectObject(dc.CreatePen(PS_SOLID, 1, kRed));
        dc.SelectObject(dc.CreateSolidBrush(kGreen));
        draw(dc);
    }
};

struct RectangleCase {
    const char* name;
    CRect box;       // as passed, corners in any order
    CRect expected;  // normalised, right and bottom exclusive
};

// Printed by name: the default print would show the struct's bytes, pointer included.
void PrintTo(const RectangleCase& c, std::ostream* os) { *os << c.name; }

class RectangleTest : public ::testing::TestWithParam<RectangleCase> {};

TEST_P(RectangleTest, OutlineInPenInsideInBrushRightAndBottomExclusive) {
    const RectangleCase& c = GetParam();
    for (const bool shortcuts : {true, false}) {
        ColouredSurface s(12, 10);
        s.Paint([&](CDC& dc) { dc.Rectangle(c.box.left, c.box.top, c.box.right, c.box.bottom); },
                shortcuts);
        const CRect& e = c.expected;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 12; ++x) {
                const bool inside = x >= e.left && x < e.right && y >= e.top && y < e.bottom;
                const bool edge =
                    x == e.left || x == e.right - 1 || y == e.top || y == e.bottom - 1;
                const COLORREF want = !inside ? kWhite : edge ? kRed : kGreen;
                ASSERT_EQ(PixelAt(s.image, x, y), want)
                    << c.name << " at " << x << "," << y << " shortcuts " << shortcuts << "\n"
                    << Picture(s.image);
            }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, RectangleTest,
    ::testing::Values(RectangleCase{"5x3", {2, 3, 7, 6}, {2, 3, 7, 6}},
                      RectangleCase{"marker 3x3", {4, 4, 7, 7}, {4, 4, 7, 7}},
                      RectangleCase{"reversed corners", {7, 6, 2, 3}, {2, 3, 7, 6}},
                      RectangleCase{"one pixel", {5, 5, 6, 6}, {5, 5, 6, 6}},
                      RectangleCase{"two by two, no inside", {1, 1, 3, 3}, {1, 1, 3, 3}},
                      RectangleCase{"empty width", {3, 3, 3, 8}, {0, 0, 0, 0}},
                      RectangleCase{"cut by the image", {-3, -2, 4, 3}, {-3, -2, 4, 3}},
                      RectangleCase{"marker on the edge", {10, 8, 13, 11}, {10, 8, 13, 11}}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST(ImageDCMarker, InsideOfASquareIsInTheImageAfterFlushAndAfterTheSurfaceEnds) {
    QImage image = WhiteImage(8, 8);
    {
        CImageDC dc(image);
        dc.SelectObject(dc.CreateSolidBrush(kGreen));
        dc.Rectangle(2, 2, 5, 5);
        dc.Flush();
        EXPECT_EQ(PixelAt(image, 3, 3), kGreen);
        dc.Rectangle(4, 4, 7, 7);
    }
    EXPECT_EQ(PixelAt(image, 5, 5), kGreen);
    EXPECT_EQ(PixelAt(image, 4, 4), kBlack);  // the second square's outline covers the first
}

TEST(ImageDCMarker, LineLeavingASquareCoversItsInsideOnlyWhenItHasLength) {
    QImage image = WhiteImage(10, 10);
    {
        CImageDC dc(image);
        dc.Rectangle(3, 3, 6, 6);
        dc.MoveTo(4, 4);
        dc.LineTo(4, 4);  // no length: paints nothing, the inside stays white
        dc.Rectangle(5, 5, 8, 8);
        dc.MoveTo(6, 6);
        dc.LineTo(6, 9);  // starts on the second square's inside: black
    }
    EXPECT_EQ(PixelAt(image, 4, 4), kWhite);
    EXPECT_EQ(PixelAt(image, 6, 6), kBlack);
    EXPECT_EQ(PixelAt(image, 6, 8), kBlack);
    EXPECT_EQ(PixelAt(image, 6, 9), kWhite);  // the end pixel
}

TEST(ImageDCEllipse, SymmetricInsideItsBoxTouchingEverySideAndFilled) {
    for (const CRect box :
         {CRect{1, 1, 12, 8}, CRect{2, 2, 7, 7}, CRect{0, 0, 14, 9}, CRect{3, 1, 6, 9}}) {
        ColouredSurface s(16, 12);
        s.Paint([&](CDC& dc) { dc.Ellipse(box.left, box.top, box.right, box.bottom); });
        EXPECT_EQ(InkBox(s.image), box) << Picture(s.image);
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x) {
                const int mx = box.left + box.right - 1 - x;
                const int my = box.top + box.bottom - 1 - y;
                ASSERT_EQ(PixelAt(s.image, x, y), PixelAt(s.image, mx, y)) << Picture(s.image);
                ASSERT_EQ(PixelAt(s.image, x, y), PixelAt(s.image, x, my)) << Picture(s.image);
            }
        if (box.Width() >= 5 && box.Height() >= 5) {
            EXPECT_EQ(PixelAt(s.image, (box.left + box.right) / 2, (box.top + box.bottom) / 2),
                      kGreen);
        }
    }
}

TEST(ImageDCEllipse, CircleMarkerFiveAcross) {
    ColouredSurface s(7, 7);
    s.Paint([](CDC& dc) { dc.Ellipse(1, 1, 6, 6); });
    EXPECT_EQ(Picture(s.image),
              ".......\n"
              "..ooo..\n"
              ".ooooo.\n"
              ".ooooo.\n"
              ".ooooo.\n"
              "..ooo..\n"
              ".......\n");
    EXPECT_EQ(PixelAt(s.image, 1, 2), kRed);
    EXPECT_EQ(PixelAt(s.image, 2, 2), kGreen);
    EXPECT_EQ(PixelAt(s.image, 4, 4), kGreen);
    EXPECT_EQ(PixelAt(s.image, 3, 5), kRed);
}

TEST(ImageDCPixels, SetPixelWritesOnePixelAndIgnoresPointsOffTheImage) {
    QImage image = WhiteImage(5, 4);
    {
        CImageDC dc(image);
        dc.SetPixel(2, 1, kRed);
        dc.SetPixel(-1, 0, kBlack);
        dc.SetPixel(5, 0, kBlack);
        dc.SetPixel(0, 4, kBlack);
        dc.SetPixel(INT_MIN, INT_MAX, kBlack);
    }
    EXPECT_EQ(PaintedPixels(image), (PixelSet{{2, 1}}));
    EXPECT_EQ(PixelAt(image, 2, 1), kRed);
}

TEST(ImageDCPixels, OtherThirtyTwoBitFormatsGetOpaquePixels) {
    for (const auto format : {QImage::Format_ARGB32_Premultiplied, QImage::Format_ARGB32}) {
        QImage image = WhiteImage(4, 4, format);
        {
            CImageDC dc(image);
            dc.SetPixel(1, 1, kRed);
        }
        EXPECT_EQ(image.pixel(1, 1), 0xFFFF0000u);
    }
}

TEST(ImageDCPixels, UnsupportedFormatDrawsNothingButStillMeasures) {
    QImage image(6, 6, QImage::Format_Grayscale8);
    image.fill(255);
    const QImage before = image;
    {
        CImageDC dc(image);
        dc.Rectangle(0, 0, 6, 6);
        dc.MoveTo(0, 0);
        dc.LineTo(5, 5);
        dc.TextOut(0, 0, "x", 1);
        EXPECT_GT(dc.GetTextExtentPoint("x", 1).cx, 0);
    }
    EXPECT_EQ(image, before);
}

TEST(ImageDCRegion, PaintRgnFillsTheRegionWithTheBrushClippedToTheImage) {
    ColouredSurface s(10, 8);
    BOOL painted = FALSE;
    s.Paint([&](CDC& dc) {
        const HRGN region = dc.CreateRectRgn(-3, 5, 4, 12);
        painted = dc.PaintRgn(region);
        EXPECT_EQ(dc.DeleteObject(region), TRUE);
        EXPECT_EQ(dc.PaintRgn(region), FALSE);  // released
    });
    EXPECT_EQ(painted, TRUE);
    PixelSet expected;
    for (int y = 5; y < 8; ++y)
        for (int x = 0; x < 4; ++x) expected.insert({x, y});
    EXPECT_EQ(PaintedPixels(s.image), expected);
    EXPECT_EQ(PixelAt(s.image, 0, 5), kGreen);
}

TEST(ImageDCObjects, SelectObjectReturnsThePreviousObjectOfThatKind) {
    QImage image = WhiteImage(4, 4);
    CImageDC dc(image);
    const HPEN red = dc.CreatePen(PS_SOLID, 1, kRed);
    const HPEN green = dc.CreatePen(PS_SOLID, 1, kGreen);
    const HPEN stockPen = dc.SelectObject(red);
    EXPECT_TRUE(stockPen);
    EXPECT_EQ(dc.SelectObject(green), red);
    EXPECT_EQ(dc.SelectObject(stockPen), green);

    const HBRUSH brush = dc.CreateSolidBrush(kGreen);
    const HBRUSH stockBrush = dc.SelectObject(brush);
    EXPECT_TRUE(stockBrush);
    EXPECT_EQ(dc.SelectObject(stockBrush), brush);

    LOGFONT request;
    request.lfHeight = 15;
    const HFONT font = dc.CreateFontIndirect(request);
    const HFONT stockFont = dc.SelectObject(font);
    EXPECT_TRUE(stockFont);
    EXPECT_EQ(dc.SelectObject(stockFont), font);
}

TEST(ImageDCObjects, SelectedStockAndUnknownObjectsAreNotReleased) {
    QImage image = WhiteImage(4, 4);
    CImageDC dc(image);
    const HPEN pen = dc.CreatePen(PS_SOLID, 1, kRed);
    const HPEN stock = dc.SelectObject(pen);
    EXPECT_EQ(dc.DeleteObject(pen), FALSE);  // still selected
    EXPECT_EQ(dc.SelectObject(stock), pen);
    EXPECT_EQ(dc.DeleteObject(pen), TRUE);
    EXPECT_EQ(dc.DeleteObject(pen), FALSE);    // already released
    EXPECT_EQ(dc.DeleteObject(stock), FALSE);  // stock
    EXPECT_EQ(dc.DeleteObject(HGDIOBJ{GdiKind::Brush, 999}), FALSE);
    // Selecting a released or unknown object fails and keeps the selection.
    EXPECT_FALSE(dc.SelectObject(pen));
    EXPECT_FALSE(dc.SelectObject(HBRUSH{77}));
    dc.Rectangle(0, 0, 3, 3);
    dc.Flush();
    EXPECT_EQ(PixelAt(image, 0, 0), kBlack);
    EXPECT_EQ(PixelAt(image, 1, 1), kWhite);
}

TEST(ImageDCObjects, FreshSurfaceStateAndPreviousValues) {
    QImage image = WhiteImage(4, 4);
    CImageDC dc(image);
    EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
    EXPECT_EQ(dc.SetBkMode(12345), 0);  // refused, mode kept
    EXPECT_EQ(dc.SetBkMode(OPAQUE), TRANSPARENT);
    EXPECT_EQ(dc.SetBkColor(kRed), kWhite);
    EXPECT_EQ(dc.SetBkColor(kWhite), kRed);
    EXPECT_EQ(dc.SetTextColor(kGreen), kBlack);
    EXPECT_EQ(dc.SetTextColor(kBlack), kGreen);
    dc.MoveTo(-7, 9);
    EXPECT_EQ(dc.GetCurrentPosition(), (CPoint{-7, 9}));
    dc.LineTo(2, 3);
    EXPECT_EQ(dc.GetCurrentPosition(), (CPoint{2, 3}));
}

// Shapes reaching billions of pixels off the image must cost only their visible part and
// draw exactly that part.
TEST(ImageDCHugeCoordinates, ShapesFarOffTheImageDrawOnlyTheirVisiblePart) {
    ColouredSurface s(40, 30);
    s.Paint([](CDC& dc) {
        dc.Rectangle(-2000000000, -2000000000, 2000000000, 2000000000);  // all inside: brush
        dc.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
        dc.Ellipse(-2000000000, -2000000000, 2000000000, 2000000000);
        dc.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
        const HRGN region = dc.CreateRectRgn(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
        dc.PaintRgn(region);
    });
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(PixelAt(s.image, x, y), kGreen) << x << "," << y;
}

TEST(ImageDCHugeCoordinates, RectangleEdgesCrossingTheImageAreDrawn) {
    ColouredSurface s(20, 20);
    s.Paint([](CDC& dc) { dc.Rectangle(-2000000000, 5, 10, 2000000000); });
    EXPECT_EQ(PixelAt(s.image, 0, 5), kRed);   // top edge
    EXPECT_EQ(PixelAt(s.image, 9, 12), kRed);  // right edge
    EXPECT_EQ(PixelAt(s.image, 8, 12), kGreen);
    EXPECT_EQ(PixelAt(s.image, 10, 12), kWhite);
    EXPECT_EQ(PixelAt(s.image, 5, 4), kWhite);
}

}  // namespace
