#include "RasterCanvas.h"

#include "RasterLine.h"

#include <algorithm>
#include <cmath>
#include <bit>
#include <cstring>

using raster::i64;

RasterCanvas::RasterCanvas(std::uint32_t* bits, int width, int height, int stride)
    : m_pBits(bits),
      m_nWidth(bits ? std::max(width, 0) : 0),
      m_nHeight(bits ? std::max(height, 0) : 0),
      m_nStride(stride),
      m_known(static_cast<std::size_t>(m_nWidth)),
      m_side{} {
    m_uSmallLeftEnd = static_cast<unsigned>(std::max(m_nWidth - 2, 0));
    m_uSmallTopEnd = static_cast<unsigned>(std::max(m_nHeight - 2, 0));
    for (SideColumn& side : m_side) side.rows.assign(static_cast<std::size_t>(m_nHeight) / 64 + 2, 0);
}

void RasterCanvas::SetShortcutsEnabled(bool enabled) {
    Flush();
    Forget();
    m_bShortcuts = enabled;
}

void RasterCanvas::Flush() {
    CommitPending();
    FlushSideColumns();
}

void RasterCanvas::CommitPending() {
    if (!m_bPending) return;
    m_bPending = false;
    BeforeWrite(m_nPendingX, m_pendingPixel);
    Row(m_nPendingY)[m_nPendingX] = m_pendingPixel;
    Note(m_nPendingX, m_nPendingY, m_nPendingY + 1, m_pendingPixel);
}

void RasterCanvas::FlushSideColumns() {
    // Oldest first, though the two never share a column.
    FlushSideColumn(m_side[m_nOlderSide]);
    FlushSideColumn(m_side[1 - m_nOlderSide]);
}

// Writes a held-back column as vertical runs of consecutive rows, then clears it.
void RasterCanvas::FlushSideColumn(SideColumn& side) {
    if (!side.active) return;
    side.active = false;
    const std::size_t first = static_cast<std::size_t>(side.top) >> 6;
    const std::size_t last = static_cast<std::size_t>(side.bottom - 1) >> 6;
    int runTop = -1;
    for (std::size_t i = first; i <= last; ++i) {
        std::uint64_t bits = side.rows[i];
        side.rows[i] = 0;
        const int base = static_cast<int>(i * 64);
        int at = 0;  // bits below `at` are done
        while (at < 64) {
            if (runTop < 0) {
                const std::uint64_t rest = bits >> at;
                if (rest == 0) break;
                at += std::countr_zero(rest);
                runTop = base + at;
            }
            const std::uint64_t rest = ~bits >> at;
            if (rest == 0) break;  // the run goes on into the next word
            at += std::countr_zero(rest);
            VerticalRun(side.x, runTop, base + at, side.pixel);
            runTop = -1;
        }
    }
    if (runTop >= 0) VerticalRun(side.x, runTop, static_cast<int>((last + 1) * 64), side.pixel);
}

void RasterCanvas::PrepareForForeignWrites() {
    Flush();
    Forget();
}

void RasterCanvas::PrepareForForeignWrites(int left, int top, int right, int bottom) {
    Flush();
    if (!m_bShortcuts) return;
    left = std::max(left, 0);
    right = std::min(right, m_nWidth);
    for (int x = left; x < right; ++x)
        for (KnownRun& k : m_known[static_cast<std::size_t>(x)].runs) {
            if (bottom <= k.top || top >= k.bottom) continue;
            if (top - k.top >= k.bottom - bottom)
                k.bottom = top;
            else
                k.top = bottom;
        }
}

void RasterCanvas::Forget() {
    for (KnownColumn& column : m_known)
        for (KnownRun& run : column.runs) run.bottom = run.top;
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

namespace {

// Whether all n pixels from p already hold `pixel`. No early exit: the loop vectorises.
bool AllPixelsAre(const std::uint32_t* p, i64 n, std::uint32_t pixel) {
    std::uint32_t differ = 0;
    for (i64 i = 0; i < n; ++i) differ |= p[i] ^ pixel;
    return differ == 0;
}

}  // namespace

void RasterCanvas::Block(i64 left, i64 top, i64 right, i64 bottom, std::uint32_t pixel) {
    left = std::max<i64>(left, 0);
    top = std::max<i64>(top, 0);
    right = std::min<i64>(right, m_nWidth);
    bottom = std::min<i64>(bottom, m_nHeight);
    if (left >= right || top >= bottom) return;
    const int t = static_cast<int>(top), b = static_cast<int>(bottom);
    if (!m_bShortcuts) {
        for (int y = t; y < b; ++y) std::fill_n(Row(y) + left, right - left, pixel);
        return;
    }
    bool known = true;
    for (i64 x = left; x < right && known; ++x) {
        const KnownRun* runs = m_known[static_cast<std::size_t>(x)].runs;
        auto covers = [&](const KnownRun& k) { return k.pixel == pixel && k.top <= t && k.bottom >= b; };
        known = covers(runs[0]) || covers(runs[1]);
    }
    if (known) return;
    // Reading a row is cheaper than writing it; a background painted over an erased
    // background is already that colour.
    for (int y = t; y < b; ++y) {
        std::uint32_t* row = Row(y) + left;
        if (!AllPixelsAre(row, right - left, pixel)) std::fill_n(row, right - left, pixel);
    }
    for (i64 x = left; x < right; ++x) Note(static_cast<int>(x), t, b, pixel);
}

void RasterCanvas::GeneralLine(int x0, int y0, int x1, int y1, std::uint32_t pen) {
    raster::ForEachLineRun(x0, y0, x1, y1, m_nWidth, m_nHeight,
                           [&](bool vertical, int across, int from, int to) {
                               if (vertical)
                                   VerticalRun(across, from, to, pen);
                               else
                                   HorizontalRun(across, from, to, pen);
                           });
}

void RasterCanvas::GeneralRectangle(int left, int top, int right, int bottom, std::uint32_t pen,
                                    std::uint32_t brush) {
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
    if (m_bPending && m_nPendingX == x && m_nPendingY == y) m_bPending = false;
    Flush();
    Row(y)[x] = pixel;
    if (m_bShortcuts) Note(x, y, y + 1, pixel);
}

void RasterCanvas::Clear(std::uint32_t pixel) {
    m_bPending = false;
    for (SideColumn& side : m_side) {
        side.active = false;
        std::fill(side.rows.begin(), side.rows.end(), std::uint64_t{0});
    }
    const bool bytewise = (pixel & 0xFF) * 0x01010101u == pixel;  // white, black: memset
    if (bytewise && m_nStride == m_nWidth)
        std::memset(m_pBits, static_cast<int>(pixel & 0xFF),
                    static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight) * 4);
    else
        for (int y = 0; y < m_nHeight; ++y) std::fill_n(Row(y), m_nWidth, pixel);
    if (m_bShortcuts)
        for (KnownColumn& column : m_known) column = {{{0, m_nHeight, pixel}, {}}};
}
