// The surface's shortcuts (skipping pixels known to hold their colour already, holding back a
// marker's inside pixel) must leave the image exactly as drawing every call one by one does.
// Checked three ways: shortcuts on against off, both against a plain per-pixel model written
// here, for random call sequences; and on against off for the window's paint through the
// view's own painter, with automatic and with zoomed (fixed, clipped) ranges.

#include "ChartSamples.h"
#include "measure/MeasurementState.h"
#include "platform/ImageDC.h"
#include "test_image_dc_support.h"
#include "view/MeasurementPainter.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

namespace {

__extension__ typedef __int128 Wide;

// A plain model of the surface's shapes: every pixel set one at a time, no clipping tricks
// (usable only for coordinates near the image), straight from each shape's definition.
class PlainModel {
public:
    PlainModel(int width, int height) : m_image(WhiteImage(width, height)) {}
    QImage& Image() { return m_image; }

    void Set(std::int64_t x, std::int64_t y, COLORREF c) {
        if (x >= 0 && y >= 0 && x < m_image.width() && y < m_image.height())
            m_image.setPixel(static_cast<int>(x), static_cast<int>(y),
                             qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
    }
    void Line(int x0, int y0, int x1, int y1, COLORREF pen) {
        const std::int64_t dx = std::int64_t{x1} - x0, dy = std::int64_t{y1} - y0;
        const std::int64_t n = std::max(std::llabs(dx), std::llabs(dy));
        const bool steep = std::llabs(dy) > std::llabs(dx);
        const std::int64_t a = steep ? std::llabs(dx) : std::llabs(dy);
        for (std::int64_t i = 0; i < n; ++i) {
            const std::int64_t k = static_cast<std::int64_t>((Wide{2} * i * a + n) / (Wide{2} * n));
            const std::int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
            if (steep)
                Set(x0 + sx * k, y0 + sy * i, pen);
            else
                Set(x0 + sx * i, y0 + sy * k, pen);
        }
    }
    void Rectangle(int left, int top, int right, int bottom, COLORREF pen, COLORREF brush) {
        const int l = std::min(left, right), r = std::max(left, right);
        const int t = std::min(top, bottom), b = std::max(top, bottom);
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                Set(x, y, (x == l || x == r - 1 || y == t || y == b - 1) ? pen : brush);
    }
    // A pixel belongs to the ellipse when its centre is inside or on it; it is outline when
    // one of its four neighbours does not belong.
    void Ellipse(int left, int top, int right, int bottom, COLORREF pen, COLORREF brush) {
        const std::int64_t l = std::min(left, right), r = std::max(left, right);
        const std::int64_t t = std::min(top, bottom), b = std::max(top, bottom);
        const std::int64_t w = r - l, h = b - t;
        auto in = [&](std::int64_t u, std::int64_t v) {
            if (u < 0 || v < 0 || u >= w || v >= h) return false;
            const std::int64_t du = 2 * u + 1 - w, dv = 2 * v + 1 - h;
            return du * du * h * h + dv * dv * w * w <= w * w * h * h;
        };
        for (std::int64_t v = 0; v < h; ++v)
            for (std::int64_t u = 0; u < w; ++u)
                if (in(u, v)) {
                    const bool inner = in(u - 1, v) && in(u + 1, v) && in(u, v - 1) && in(u, v + 1);
                    Set(l + u, t + v, inner ? brush : pen);
                }
    }
    void Fill(int left, int top, int right, int bottom, COLORREF brush) {
        for (int y = std::min(top, bottom); y < std::max(top, bottom); ++y)
            for (int x = std::min(left, right); x < std::max(left, right); ++x) Set(x, y, brush);
    }

private:
    QImage m_image;
};

// One random call sequence, replayable on a surface and (when it stays near the image)
// on the plain model.
struct CallSequence {
    struct Call {
        enum Kind { Move, Line, Rect, Marker, Ellipse, Pixel, Pen, Brush, Region } kind;
        int a, b, c, d;
    };
    std::vector<Call> calls;
    std::vector<COLORREF> colours{RGB(0, 0, 0), RGB(255, 255, 255), RGB(200, 30, 30),
                                  RGB(20, 90, 220)};

    void Replay(CDC& dc) const {
        std::vector<HPEN> pens;
        std::vector<HBRUSH> brushes;
        for (const COLORREF c : colours) {
            pens.push_back(dc.CreatePen(PS_SOLID, 1, c));
            brushes.push_back(dc.CreateSolidBrush(c));
        }
        const HPEN oldPen = dc.SelectObject(pens[0]);
        const HBRUSH oldBrush = dc.SelectObject(brushes[1]);
        for (const Call& k : calls) {
            switch (k.kind) {
                case Call::Move: dc.MoveTo(k.a, k.b); break;
                case Call::Line: dc.LineTo(k.a, k.b); break;
                case Call::Rect: dc.Rectangle(k.a, k.b, k.c, k.d); break;
                case Call::Marker:
                    dc.Rectangle(k.a - 1, k.b - 1, k.a + 2, k.b + 2);
                    dc.MoveTo(k.a, k.b);
                    break;
                case Call::Ellipse: dc.Ellipse(k.a, k.b, k.c, k.d); break;
                case Call::Pixel: dc.SetPixel(k.a, k.b, colours[static_cast<size_t>(k.c)]); break;
                case Call::Pen: dc.SelectObject(pens[static_cast<size_t>(k.a)]); break;
                case Call::Brush: dc.SelectObject(brushes[static_cast<size_t>(k.a)]); break;
                case Call::Region: {
                    const HRGN region = dc.CreateRectRgn(k.a, k.b, k.c, k.d);
                    dc.PaintRgn(region);
                    dc.DeleteObject(region);
                    break;
                }
            }
        }
        dc.SelectObject(oldPen);
        dc.SelectObject(oldBrush);
        for (size_t i = 0; i < colours.size(); ++i) {
            dc.DeleteObject(pens[i]);
            dc.DeleteObject(brushes[i]);
        }
    }

    void Replay(PlainModel& model) const {
        COLORREF pen = colours[0], brush = colours[1];
        CPoint at;
        for (const Call& k : calls) {
            switch (k.kind) {
                case Call::Move: at = {k.a, k.b}; break;
                case Call::Line:
                    model.Line(at.x, at.y, k.a, k.b, pen);
                    at = {k.a, k.b};
                    break;
                case Call::Rect: model.Rectangle(k.a, k.b, k.c, k.d, pen, brush); break;
                case Call::Marker:
                    model.Rectangle(k.a - 1, k.b - 1, k.a + 2, k.b + 2, pen, brush);
                    at = {k.a, k.b};
                    break;
                case Call::Ellipse: model.Ellipse(k.a, k.b, k.c, k.d, pen, brush); break;
                case Call::Pixel: model.Set(k.a, k.b, colours[static_cast<size_t>(k.c)]); break;
                case Call::Pen: pen = colours[static_cast<size_t>(k.a)]; break;
                case Call::Brush: brush = colours[static_cast<size_t>(k.a)]; break;
                case Call::Region: model.Fill(k.a, k.b, k.c, k.d, brush); break;
            }
        }
    }
};

// Calls clustered like a chart's (markers joined by lines, mostly steep, in a few columns)
// mixed with everything else; `huge` adds coordinates anywhere in the int range.
CallSequence RandomSequence(std::mt19937& random, int width, int height, bool huge) {
    CallSequence s;
    auto uniform = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    auto coordinate = [&](int size) {
        if (huge && uniform(0, 9) == 0)
            return uniform(0, 1) ? uniform(INT_MIN, INT_MAX) : uniform(-2, 2) * 1000000000;
        return uniform(-6, size + 5);
    };
    int x = width / 2, y = height / 2;
    const int calls = uniform(20, 400);
    for (int i = 0; i < calls; ++i) {
        using C = CallSequence::Call;
        switch (uniform(0, 19)) {
            case 0:
            case 1:
            case 2:
            case 3:
            case 4:
            case 5: {  // chart point: line + marker
                if (uniform(0, 5) == 0) x = std::clamp(x + uniform(-2, 2), -3, width + 2);
                y = std::clamp(y + uniform(-9, 9), -3, height + 2);
                s.calls.push_back({C::Line, x, y, 0, 0});
                s.calls.push_back({C::Marker, x, y, 0, 0});
                break;
            }
            case 6:
                s.calls.push_back({C::Line, coordinate(width), coordinate(height), 0, 0});
                break;
            case 7:
                s.calls.push_back({C::Move, coordinate(width), coordinate(height), 0, 0});
                break;
            case 8:
                s.calls.push_back({C::Move, x, y, 0, 0});
                s.calls.push_back({C::Line, x, y, 0, 0});
                break;
            case 9:
            case 10:
                s.calls.push_back({C::Rect, coordinate(width), coordinate(height),
                                   coordinate(width), coordinate(height)});
                break;
            case 11: {
                const int l = coordinate(width), t = coordinate(height);
                s.calls.push_back({C::Rect, l, t, l + 3, t + 3});
                break;
            }
            case 12: {
                const int l = uniform(-8, width + 4), t = uniform(-8, height + 4);
                s.calls.push_back({C::Ellipse, l, t, l + uniform(0, 17), t + uniform(0, 13)});
                break;
            }
            case 13:
                s.calls.push_back(
                    {C::Pixel, coordinate(width), coordinate(height), uniform(0, 3), 0});
                break;
            case 14: s.calls.push_back({C::Pixel, x, y, uniform(0, 3), 0}); break;
            case 15: s.calls.push_back({C::Pen, uniform(0, 3), 0, 0, 0}); break;
            case 16: s.calls.push_back({C::Brush, uniform(0, 3), 0, 0, 0}); break;
            case 17:
                s.calls.push_back({C::Region, coordinate(width), coordinate(height),
                                   coordinate(width), coordinate(height)});
                break;
            default: s.calls.push_back({C::Marker, x, y, 0, 0}); break;
        }
    }
    return s;
}

QImage OnSurface(const CallSequence& s, int width, int height, bool shortcuts) {
    QImage image = WhiteImage(width, height);
    {
        CImageDC dc(image);
        dc.setShortcutsEnabled(shortcuts);
        s.Replay(dc);
    }
    return image;
}

TEST(ImageDCIdentity, RandomCallsGiveThePlainModelsPixelsWithAndWithoutShortcuts) {
    std::mt19937 random(20261211);
    for (int round = 0; round < 400; ++round) {
        // Taller images put markers across the 64-row words of the held-back columns.
        const int width = 48, height = round % 2 ? 36 : 150;
        const CallSequence s = RandomSequence(random, width, height, false);
        PlainModel model(width, height);
        s.Replay(model);
        const QImage fast = OnSurface(s, width, height, true);
        ASSERT_EQ(fast, model.Image()) << "round " << round << "\nsurface:\n"
                                       << Picture(fast) << "model:\n"
                                       << Picture(model.Image());
        ASSERT_EQ(OnSurface(s, width, height, false), model.Image()) << "round " << round;
    }
}

TEST(ImageDCIdentity, RandomCallsWithHugeCoordinatesGiveTheSameImageWithAndWithoutShortcuts) {
    std::mt19937 random(31);
    for (int round = 0; round < 400; ++round) {
        const int width = 40, height = round % 2 ? 30 : 130;
        const CallSequence s = RandomSequence(random, width, height, true);
        const QImage fast = OnSurface(s, width, height, true);
        const QImage reference = OnSurface(s, width, height, false);
        ASSERT_EQ(fast, reference) << "round " << round << "\nfast:\n"
                                   << Picture(fast) << "reference:\n"
                                   << Picture(reference);
    }
}

// Text drawn through the painter in between must not leave the raster side believing stale
// pixels: a label over ink, then lines over the label.
TEST(ImageDCIdentity, TextBetweenShapesKeepsShortcutsExact) {
    auto paint = [](bool shortcuts) {
        QImage image = WhiteImage(80, 60);
        {
            CImageDC dc(image);
            dc.setShortcutsEnabled(shortcuts);
            for (int y = 0; y < 60; y += 2) {
                dc.MoveTo(10, 0);
                dc.LineTo(10, 60);
                dc.Rectangle(9, y, 12, y + 3);
                dc.MoveTo(10, y + 1);
                if (y == 20) {
                    dc.SetBkMode(y % 4 ? TRANSPARENT : OPAQUE);
                    dc.SetBkColor(RGB(255, 255, 255));
                    dc.TextOut(4, 15, "WMW", 3);
                }
            }
            dc.DrawText("Time\nx", -1, CRect{0, 40, 80, 60}, 0);
            dc.MoveTo(10, 59);
            dc.LineTo(10, 0);
        }
        return image;
    };
    EXPECT_EQ(paint(true), paint(false));
}

TEST(ImageDCIdentity, WindowPaintIsTheSameWithAndWithoutShortcuts) {
    Readings readings;
    readings.elapsedSeconds = 12;
    readings.impedance = 25000;
    for (const int n : {1, 2, 100, 1000, 65536}) {
        const ChartSamples samples = MakeChartSamples(n);
        const std::pair<const char*, ChartViews> views[] = {{"automatic", ChartViews{}},
                                                            {"zoomed", MiddleTenthViews(samples)}};
        for (const auto& [viewName, view] : views) {
            for (const auto& [width, height] :
                 {std::pair{1920, 1080}, std::pair{801, 500}, std::pair{2010, 300}}) {
                auto paint = [&](bool shortcuts) {
                    QImage image(width, height, QImage::Format_RGB32);
                    image.fill(0xFF123456u);  // erased through the surface, not by the caller
                    {
                        CImageDC dc(image);
                        dc.setShortcutsEnabled(shortcuts);
                        dc.EraseBackground(RGB(255, 255, 255));
                        PaintMeasurement(&dc, CRect{0, 0, width, height}, readings,
                                         AsSeries(samples), view);
                    }
                    return image;
                };
                const QImage fast = paint(true);
                const QImage reference = paint(false);
                EXPECT_EQ(fast, reference)
                    << "N=" << n << " " << viewName << " " << width << "x" << height;
                // The charts were drawn: black ink well beyond the status text.
                EXPECT_FALSE(PaintedPixels(fast.copy(0, 60, width, height - 60)).empty());
            }
        }
    }
}

}  // namespace
