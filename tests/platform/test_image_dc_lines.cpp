// CImageDC lines: exact pixels, the end pixel left out, and clipping of lines whose ends lie
// anywhere in the int range, checked against a direct evaluation of the line's definition.

#include "platform/ImageDC.h"
#include "test_image_dc_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <random>

namespace {

__extension__ typedef __int128 Wide;

// The line's pixels by definition, visited only over the image's rows or columns: step i of
// n = max(|dx|, |dy|) lies at start + i along the major axis and start + sign *
// floor((2 i a + n) / (2 n)) across it.
PixelSet ExpectedLine(int x0, int y0, int x1, int y1, int width, int height) {
    PixelSet pixels;
    const std::int64_t dx = std::int64_t{x1} - x0, dy = std::int64_t{y1} - y0;
    const std::int64_t adx = std::llabs(dx), ady = std::llabs(dy);
    const bool steep = ady > adx;
    const std::int64_t n = steep ? ady : adx, a = steep ? adx : ady;
    if (n == 0) return pixels;
    const int majorSign = (steep ? dy : dx) < 0 ? -1 : 1;
    const int minorSign = (steep ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t majorStart = steep ? y0 : x0, minorStart = steep ? x0 : y0;
    const int majorLimit = steep ? height : width, minorLimit = steep ? width : height;
    for (int major = 0; major < majorLimit; ++major) {
        const std::int64_t i = (major - majorStart) * majorSign;
        if (i < 0 || i >= n) continue;
        const Wide num = Wide{2} * i * a + n, den = Wide{2} * n;
        const std::int64_t minor = minorStart + minorSign * static_cast<std::int64_t>(num / den);
        if (minor < 0 || minor >= minorLimit) continue;
        pixels.insert(steep ? std::pair<int, int>{static_cast<int>(minor), major}
                            : std::pair<int, int>{major, static_cast<int>(minor)});
    }
    return pixels;
}

PixelSet DrawnLine(int x0, int y0, int x1, int y1, int width, int height, bool shortcuts) {
    QImage image = WhiteImage(width, height);
    {
        CImageDC dc(image);
        dc.setShortcutsEnabled(shortcuts);
        dc.MoveTo(x0, y0);
        dc.LineTo(x1, y1);
    }
    return PaintedPixels(image);
}

struct LineCase {
    const char* name;
    CPoint from, to;
    PixelSet pixels;
};

TEST(ImageDCLine, KnownLinesPaintEverythingButTheirEndPixel) {
    const LineCase cases[] = {
        {"horizontal", {1, 1}, {5, 1}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
        {"horizontal leftwards", {5, 2}, {1, 2}, {{5, 2}, {4, 2}, {3, 2}, {2, 2}}},
        {"vertical", {2, 1}, {2, 5}, {{2, 1}, {2, 2}, {2, 3}, {2, 4}}},
        {"vertical upwards", {3, 5}, {3, 1}, {{3, 5}, {3, 4}, {3, 3}, {3, 2}}},
        {"diagonal", {0, 0}, {4, 4}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {"anti-diagonal", {4, 0}, {0, 4}, {{4, 0}, {3, 1}, {2, 2}, {1, 3}}},
        {"steep", {0, 0}, {2, 5}, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}}},
        {"shallow", {0, 0}, {5, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
        {"one step", {3, 3}, {4, 3}, {{3, 3}}},
        {"no length", {3, 3}, {3, 3}, {}},
    };
    for (const LineCase& c : cases)
        for (const bool shortcuts : {true, false})
            EXPECT_EQ(DrawnLine(c.from.x, c.from.y, c.to.x, c.to.y, 8, 8, shortcuts), c.pixels)
                << c.name << " shortcuts " << shortcuts;
}

// Inside the image a line is 8-connected, one pixel per step of its major axis, and never
// more than half a pixel from the ideal line.
TEST(ImageDCLine, LinesAreConnectedAndCloseToTheIdealLine) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(0, 63);
    for (int round = 0; round < 300; ++round) {
        const int x0 = coordinate(random), y0 = coordinate(random);
        const int x1 = coordinate(random), y1 = coordinate(random);
        const PixelSet pixels = DrawnLine(x0, y0, x1, y1, 64, 64, true);
        const int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        ASSERT_EQ(static_cast<int>(pixels.size()), n);
        if (n == 0) continue;
        EXPECT_TRUE(pixels.count({x0, y0}));
        EXPECT_FALSE(pixels.count({x1, y1}));
        const double length = std::hypot(x1 - x0, y1 - y0);
        for (const auto& [x, y] : pixels) {
            // Distance along the minor axis from the ideal line stays within half a pixel.
            const double cross = std::abs((x - x0) * double(y1 - y0) - (y - y0) * double(x1 - x0));
            const double major = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
            EXPECT_LE(cross / major, 0.5 + 1e-9) << x0 << "," << y0 << "->" << x1 << "," << y1;
            EXPECT_LE(cross / length, 0.5 + 1e-9);
        }
    }
}

// Ends anywhere: from near the image to the far corners of the int range. The visible part
// must be exactly the definition's, and the work bounded by it (a walk of 4e9 pixels would
// not finish in a test run).
TEST(ImageDCLine, ClippedLinesMatchTheDefinitionForAnyEnds) {
    std::mt19937 random(11);
    const int width = 50, height = 40;
    auto pick = [&](int which) -> int {
        switch (which % 4) {
            case 0: return std::uniform_int_distribution<int>(-20, 70)(random);
            case 1: return std::uniform_int_distribution<int>(-100000, 100000)(random);
            case 2: return std::uniform_int_distribution<int>(INT_MIN, INT_MAX)(random);
            default: return std::uniform_int_distribution<int>(0, 1)(random) ? INT_MIN : INT_MAX;
        }
    };
    for (int round = 0; round < 600; ++round) {
        const int kind = round % 16;
        const int x0 = pick(kind), y0 = pick(kind / 4), x1 = pick(kind + 1),
                  y1 = pick(kind / 4 + 2);
        const PixelSet expected = ExpectedLine(x0, y0, x1, y1, width, height);
        for (const bool shortcuts : {true, false})
            ASSERT_EQ(DrawnLine(x0, y0, x1, y1, width, height, shortcuts), expected)
                << x0 << "," << y0 << " -> " << x1 << "," << y1 << " shortcuts " << shortcuts;
    }
}

TEST(ImageDCLine, DiagonalAcrossTheWholeIntRangeIsTheImageDiagonal) {
    PixelSet diagonal;
    for (int k = 0; k < 30; ++k) diagonal.insert({k, k});
    EXPECT_EQ(DrawnLine(-2000000000, -2000000000, 2000000000, 2000000000, 30, 30, true), diagonal);
    EXPECT_EQ(ExpectedLine(-2000000000, -2000000000, 2000000000, 2000000000, 30, 30), diagonal);
}

}  // namespace
