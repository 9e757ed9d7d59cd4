#include "RasterCanvas.h"

#include "RasterLine.h"

#include <algorithm>
#include <cmath>

using raster::i64;

RasterCanvas::RasterCanvas(std::uint32_t* bits, int width, int height, int stride)
    : m_pBits(bits),
      m_nWidth(bits ? std::max(width, 0) : 0),
      m_nHeight(bits ? std::max(height, 0) : 0),
      m_nStride(stride),
      m_known(static_cast<std::size_t>(m_nWidth)) {}

void RasterCanvas::SetShortcutsEnabled(bool enabled) {
    Flush();
    Forget();
    m_bShortcuts = enabled;
}

void RasterCanvas::Flush() {
    if (!m_bPending) return;
    m_bPending = false;
    Row(m_nPendingY)[m_nPendingX] = m_pendingPixel;
    if (m_bShortcuts) Note(m_nPendingX, m_nPendingY, m_nPendingY + 1, m_pendingPixel);
}

void RasterCanvas::PrepareForForeignWrites() {
    Flush();
    Forget();
}

void RasterCanvas::Forget() {
    for (KnownRun& run : m_known) run.bottom = run.top;
}

// Records that rows [top, bottom) of column x now hold `pixel`, keeping one interval per
// column: the union when it can, otherwise the longer of what is still true.
void RasterCanvas::Note(int x, int top, int bottom, std::uint32_t pixel) {
    KnownRun& k = m_known[static_cast<std::size_t>(x)];
    if (k.top >= k.bottom) {
        k = {top, bottom, pixel};
        return;
    }
    if (pixel == k.pixel) {
        if (top <= k.bottom && bottom >= k.top) {
            k.top = std::min(k.top, top);
            k.bottom = std::max(k.bottom, bottom);
        } else if (bottom - top > k.bottom - k.top) {
            k.top = top;
            k.bottom = bottom;
        }
        return;
    }
    if (bottom <= k.top || top >= k.bottom) return;
    const int above = top - k.top;
    const int below = k.bottom - bottom;
    const int fresh = bottom - top;
    if (fresh >= above && fresh >= below)
        k = {top, bottom, pixel};
    else if (above >= below)
        k.bottom = top;
    else
        k.top = bottom;
}

// Rows [top, bottom) of column x, already clipped.
void RasterCanvas::VerticalRun(int x, int top, int bottom, std::uint32_t pixel) {
    auto write = [&](int from, int to) {
        std::uint32_t* p = Row(from) + x;
        for (int y = from; y < to; ++y, p += m_nStride) *p = pixel;
    };
    if (!m_bShortcuts) {
        write(top, bottom);
        return;
    }
    KnownRun& k = m_known[static_cast<std::size_t>(x)];
    if (k.pixel == pixel && top <= k.bottom && bottom >= k.top && k.top < k.bottom) {
        if (top < k.top) write(top, k.top);
        if (bottom > k.bottom) write(k.bottom, bottom);
        k.top = std::min(k.top, top);
        k.bottom = std::max(k.bottom, bottom);
        return;
    }
    write(top, bottom);
    Note(x, top, bottom, pixel);
}

// Columns [left, right) of row y, already clipped.
void RasterCanvas::HorizontalRun(int y, int left, int right, std::uint32_t pixel) {
    std::fill_n(Row(y) + left, right - left, pixel);
    if (m_bShortcuts)
        for (int x = left; x < right; ++x) Note(x, y, y + 1, pixel);
}

void RasterCanvas::HorizontalSpan(i64 y, i64 left, i64 right, std::uint32_t pixel) {
    if (y < 0 || y >= m_nHeight) return;
    left = std::max<i64>(left, 0);
    right = std::min<i64>(right, m_nWidth);
    if (left < right)
        HorizontalRun(static_cast<int>(y), static_cast<int>(left), static_cast<int>(right), pixel);
}

void RasterCanvas::VerticalSpan(i64 x, i64 top, i64 bottom, std::uint32_t pixel) {
    if (x < 0 || x >= m_nWidth) return;
    top = std::max<i64>(top, 0);
    bottom = std::min<i64>(bottom, m_nHeight);
    if (top < bottom)
        VerticalRun(static_cast<int>(x), static_cast<int>(top), static_cast<int>(bottom), pixel);
}

void RasterCanvas::Block(i64 left, i64 top, i64 right, i64 bottom, std::uint32_t pixel) {
    left = std::max<i64>(left, 0);
    top = std::max<i64>(top, 0);
    right = std::min<i64>(right, m_nWidth);
    bottom = std::min<i64>(bottom, m_nHeight);
    if (left >= right || top >= bottom) return;
    for (i64 y = top; y < bottom; ++y)
        std::fill_n(Row(static_cast<int>(y)) + left, right - left, pixel);
    if (m_bShortcuts)
        for (i64 x = left; x < right; ++x)
            Note(static_cast<int>(x), static_cast<int>(top), static_cast<int>(bottom), pixel);
}

void RasterCanvas::Line(int x0, int y0, int x1, int y1, std::uint32_t pen) {
    if (m_bPending) {
        // The line's first pixel is its start point: it overwrites a pixel held back there.
        if (m_nPendingX == x0 && m_nPendingY == y0 && (x0 != x1 || y0 != y1))
            m_bPending = false;
        else
            Flush();
    }
    if (x0 == x1) {
        if (y0 < y1)
            VerticalSpan(x0, y0, y1, pen);
        else if (y0 > y1)
            VerticalSpan(x0, static_cast<i64>(y1) + 1, static_cast<i64>(y0) + 1, pen);
        return;
    }
    raster::ForEachLineRun(x0, y0, x1, y1, m_nWidth, m_nHeight,
                           [&](bool vertical, int across, int from, int to) {
                               if (vertical)
                                   VerticalRun(across, from, to, pen);
                               else
                                   HorizontalRun(across, from, to, pen);
                           });
}

// The 3 x 3 marker square fully inside the buffer, written directly; its inside pixel is
// held back (see the header). Returns false when the rectangle is not such a square.
bool RasterCanvas::SmallRectangle(int left, int top, int right, int bottom, std::uint32_t pen,
                                  std::uint32_t brush) {
    if (!m_bShortcuts || left < 0 || top < 0 || right > m_nWidth || bottom > m_nHeight) return false;
    if (static_cast<i64>(right) - left != 3 || static_cast<i64>(bottom) - top != 3) return false;
    if (m_bPending) {
        const bool covered = m_nPendingX >= left && m_nPendingX < right && m_nPendingY >= top &&
                             m_nPendingY < bottom;
        if (covered)
            m_bPending = false;
        else
            Flush();
    }
    std::uint32_t* p = Row(top) + left;
    p[0] = pen;
    p[1] = pen;
    p[2] = pen;
    p += m_nStride;
    p[0] = pen;
    p[2] = pen;
    p += m_nStride;
    p[0] = pen;
    p[1] = pen;
    p[2] = pen;
    Note(left, top, bottom, pen);
    Note(left + 1, top, top + 1, pen);
    Note(left + 1, top + 2, bottom, pen);
    Note(left + 2, top, bottom, pen);
    m_bPending = true;
    m_nPendingX = left + 1;
    m_nPendingY = top + 1;
    m_pendingPixel = brush;
    return true;
}

void RasterCanvas::Rectangle(int left, int top, int right, int bottom, std::uint32_t pen,
                             std::uint32_t brush) {
    if (SmallRectangle(left, top, right, bottom, pen, brush)) return;
    Flush();
    const i64 l = std::min(left, right), r = std::max(left, right);
    const i64 t = std::min(top, bottom), b = std::max(top, bottom);
    if (r - l <= 0 || b - t <= 0) return;
    HorizontalSpan(t, l, r, pen);
    if (b - 1 > t) HorizontalSpan(b - 1, l, r, pen);
    if (b - t > 2) {
        VerticalSpan(l, t + 1, b - 1, pen);
        if (r - 1 > l) VerticalSpan(r - 1, t + 1, b - 1, pen);
        if (r - l > 2) Block(l + 1, t + 1, r - 1, b - 1, brush);
    }
}

namespace {

// Half-width (in doubled pixel units, i.e. |2u + 1 - W| of the outermost pixel) of row v of
// the ellipse inscribed in a W x H box, or -1 when the row holds no pixel. A pixel belongs
// to the ellipse when its centre lies inside or on it; the test depends on v only through
// its distance from the middle, so the shape is symmetric both ways.
i64 EllipseHalfWidth(i64 width, i64 height, i64 v) {
    if (v < 0 || v >= height) return -1;
    const i64 dv = 2 * v + 1 - height;
    i64 du;
    if (width <= 32768 && height <= 32768) {
        // Exact: the largest du with du^2 H^2 <= W^2 (H^2 - dv^2).
        const i64 rhs = width * width * (height * height - dv * dv);
        const i64 h2 = height * height;
        du = static_cast<i64>(std::sqrt(static_cast<double>(rhs) / static_cast<double>(h2)));
        while (du > 0 && du * du * h2 > rhs) --du;
        while ((du + 1) * (du + 1) * h2 <= rhs) ++du;
    } else {
        const double ratio = static_cast<double>(dv) / static_cast<double>(height);
        du = static_cast<i64>(
            std::floor(static_cast<double>(width) * std::sqrt(std::max(0.0, 1.0 - ratio * ratio))));
    }
    if (((du - (width - 1)) & 1) != 0) --du;  // outermost pixel centres share W-1's parity
    return du;
}

}  // namespace

void RasterCanvas::Ellipse(int left, int top, int right, int bottom, std::uint32_t pen,
                           std::uint32_t brush) {
    Flush();
    const i64 l = std::min(left, right), r = std::max(left, right);
    const i64 t = std::min(top, bottom), b = std::max(top, bottom);
    const i64 w = r - l, h = b - t;
    if (w <= 0 || h <= 0) return;
    const i64 yFrom = std::max<i64>(t, 0), yTo = std::min<i64>(b, m_nHeight);
    for (i64 y = yFrom; y < yTo; ++y) {
        const i64 v = y - t;
        const i64 du = EllipseHalfWidth(w, h, v);
        if (du < 0) continue;
        const i64 xl = l + (w - 1 - du) / 2, xr = l + (w - 1 + du) / 2;  // inclusive
        // Inside pixels: not at the row's ends and with both vertical neighbours in the shape.
        const i64 inner =
            std::min({du - 2, EllipseHalfWidth(w, h, v - 1), EllipseHalfWidth(w, h, v + 1)});
        if (inner < 0) {
            HorizontalSpan(y, xl, xr + 1, pen);
            continue;
        }
        const i64 il = l + (w - 1 - inner) / 2, ir = l + (w - 1 + inner) / 2;
        HorizontalSpan(y, xl, il, pen);
        HorizontalSpan(y, il, ir + 1, brush);
        HorizontalSpan(y, ir + 1, xr + 1, pen);
    }
}

void RasterCanvas::Fill(int left, int top, int right, int bottom, std::uint32_t pixel) {
    Flush();
    Block(std::min(left, right), std::min(top, bottom), std::max(left, right),
          std::max(top, bottom), pixel);
}

void RasterCanvas::SetPixel(int x, int y, std::uint32_t pixel) {
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return;
    if (m_bPending) {
        if (m_nPendingX == x && m_nPendingY == y)
            m_bPending = false;
        else
            Flush();
    }
    Row(y)[x] = pixel;
    if (m_bShortcuts) Note(x, y, y + 1, pixel);
}
