#include "RasterCanvas.h"

#include "RasterLine.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

using raster::i64;

RasterCanvas::RasterCanvas(std::uint32_t* bits, int width, int height, int stride)
    : m_pBits(bits),
      m_nWidth(bits ? std::max(width, 0) : 0),
      m_nHeight(bits ? std::max(height, 0) : 0),
      m_nStride(stride),
      m_known(static_cast<std::size_t>(m_nWidth)),
      m_held(static_cast<std::size_t>(m_nWidth)),
      m_nHeldWords(static_cast<std::size_t>(m_nHeight + 63) / 64 + 1),
      m_heldRows(m_nHeldWords * static_cast<std::size_t>(m_nWidth)) {
    m_uSmallLeftEnd = static_cast<unsigned>(std::max(m_nWidth - 2, 0));
    m_uSmallTopEnd = static_cast<unsigned>(std::max(m_nHeight - 2, 0));
    m_heldColumns.reserve(kMaxHeldColumns * 2);
}

void RasterCanvas::SetShortcutsEnabled(bool enabled) {
    Flush();
    Forget();
    m_bShortcuts = enabled;
}

void RasterCanvas::Flush() {
    CommitPending();
    while (m_nHeldHead < m_heldColumns.size()) WriteOldestHeldColumn();
    m_heldColumns.clear();
    m_nHeldHead = 0;
}

void RasterCanvas::WriteOldestHeldColumn() {
    const int x = m_heldColumns[m_nHeldHead++];
    WriteHeldRows(x);
    m_held[static_cast<std::size_t>(x)].state = 0;
}

void RasterCanvas::CommitPending() {
    if (!m_bPending) return;
    m_bPending = false;
    // Held-back rows that cover the pixel are earlier than it: they go first.
    if (IsHeld(m_nPendingX, m_nPendingY)) WriteHeldRows(m_nPendingX);
    Row(m_nPendingY)[m_nPendingX] = m_uPendingPixel;
    Note(m_nPendingX, m_nPendingY, m_nPendingY + 1, m_uPendingPixel);
}

void RasterCanvas::Hold(int x, int top, int bottom, std::uint32_t pixel) {
    if (PendingIn(x, top, bottom)) m_bPending = false;  // overwritten by this later write
    HeldColumn& held = m_held[static_cast<std::size_t>(x)];
    if (held.state == 0) {
        // A chart moves along its columns: those it has left behind are written out while it
        // goes on (their pixels' memory traffic overlapping the work on the next ones), not
        // all at once at the end.
        if (m_heldColumns.size() - m_nHeldHead >= kMaxHeldColumns) WriteOldestHeldColumn();
        if (m_nHeldHead == m_heldColumns.size() || m_nHeldHead >= 4096) {
            m_heldColumns.erase(m_heldColumns.begin(),
                                m_heldColumns.begin() + static_cast<std::ptrdiff_t>(m_nHeldHead));
            m_nHeldHead = 0;
        }
        m_heldColumns.push_back(x);
    } else if (held.state != (kListed | pixel)) {
        WriteHeldRows(x);  // the earlier rows go first
    }
    held.state = kListed | pixel;
    SetRows(x, held, top, bottom);
}

void RasterCanvas::SetRows(int x, HeldColumn& held, int top, int bottom) {
    std::uint64_t* words = HeldRows(x);
    const int first = top >> 6, last = (bottom - 1) >> 6;
    const std::uint64_t lastBits = ~std::uint64_t{0} >> (63 - ((bottom - 1) & 63));
    std::uint64_t bits = ~std::uint64_t{0} << (top & 63);
    for (int w = first; w < last; ++w) {
        words[w] |= bits;
        bits = ~std::uint64_t{0};
    }
    words[last] |= bits & lastBits;
    if (top <= held.solidBottom && bottom >= held.solidTop) {
        held.solidTop = std::min(held.solidTop, top);
        held.solidBottom = std::max(held.solidBottom, bottom);
    } else if (bottom - top > held.solidBottom - held.solidTop) {
        held.solidTop = top;
        held.solidBottom = bottom;
    }
}

void RasterCanvas::WriteHeldRows(int x) {
    HeldColumn& held = m_held[static_cast<std::size_t>(x)];
    held.solidTop = held.solidBottom = 0;
    const auto pixel = static_cast<std::uint32_t>(held.state);
    std::uint64_t* words = HeldRows(x);
    const int nWords = static_cast<int>(m_nHeldWords);
    int runTop = -1;  // the start of a run of set bits not yet written
    for (int w = 0; w < nWords; ++w) {
        const std::uint64_t bits = words[w];
        if (bits == 0 && runTop < 0) continue;
        words[w] = 0;
        const int base = w * 64;
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
            WriteVerticalRun(x, runTop, base + at, pixel);
            runTop = -1;
        }
    }
    if (runTop >= 0) WriteVerticalRun(x, runTop, m_nHeight, pixel);
}

void RasterCanvas::WriteVerticalRun(int x, int top, int bottom, std::uint32_t pixel) {
    const std::int64_t stride = m_nStride;  // a local: the pixel stores cannot change it
    auto write = [this, x, pixel, stride](int from, int to) {
        std::uint32_t* p = Row(from) + x;
        for (int y = from; y < to; ++y, p += stride) *p = pixel;
    };
    if (!m_bShortcuts) {
        write(top, bottom);
        return;
    }
    const KnownRun* runs = m_known[static_cast<std::size_t>(x)].runs;
    const KnownRun* same = nullptr;
    for (int i = 0; i < 2; ++i) {
        const KnownRun& k = runs[i];
        if (k.pixel != pixel) continue;
        if (top >= k.top && bottom <= k.bottom) return;  // nothing would change
        if (top < k.bottom && bottom > k.top) same = &k;
    }
    if (same) {
        if (top < same->top) write(top, same->top);
        if (bottom > same->bottom) write(same->bottom, bottom);
    } else {
        write(top, bottom);
    }
    Note(x, top, bottom, pixel);
}

// Records that rows [top, bottom) of column x now hold `pixel`: a known run of that value
// that touches it grows to include it, a known run of another value loses the rows (keeping
// its longer remaining piece), and a new run takes a free slot or replaces a shorter one.
void RasterCanvas::Note(int x, int top, int bottom, std::uint32_t pixel) {
    KnownRun* runs = m_known[static_cast<std::size_t>(x)].runs;
    bool merged = false;
    for (int i = 0; i < 2; ++i) {
        KnownRun& k = runs[i];
        if (k.Empty()) continue;
        if (k.pixel == pixel) {
            if (!merged && top <= k.bottom && bottom >= k.top) {
                k.top = std::min(k.top, top);
                k.bottom = std::max(k.bottom, bottom);
                merged = true;
            }
        } else if (top < k.bottom && bottom > k.top) {
            if (top - k.top >= k.bottom - bottom)
                k.bottom = top;
            else
                k.top = bottom;
        }
    }
    if (merged) return;
    KnownRun& shorter = runs[0].Length() <= runs[1].Length() ? runs[0] : runs[1];
    if (shorter.Empty() || bottom - top > shorter.Length()) shorter = {top, bottom, pixel};
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

// Columns [left, right) of row y, already clipped. Written now: a row is cheap to write.
// With shortcuts, held-back runs of another value under it go first, and a held-back
// inside pixel under it is overwritten.
void RasterCanvas::HorizontalRun(int y, int left, int right, std::uint32_t pixel) {
    if (m_bShortcuts) {
        if (m_bPending && m_nPendingY == y && m_nPendingX >= left && m_nPendingX < right)
            m_bPending = false;
        for (int x = left; x < right; ++x) {
            if (static_cast<std::uint32_t>(m_held[static_cast<std::size_t>(x)].state) != pixel &&
                IsHeld(x, y))
                WriteHeldRows(x);
        }
    }
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
        auto covers = [&](const KnownRun& k) {
            return k.pixel == pixel && k.top <= t && k.bottom >= b;
        };
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

void RasterCanvas::AnyLine(int x0, int y0, int x1, int y1, std::uint32_t pen) {
    if (x0 != x1 || x0 < 0 || x0 >= m_nWidth) {
        GeneralLine(x0, y0, x1, y1, pen);
        return;
    }
    // Vertical: rows from y0 towards y1, y1 itself excluded.
    std::int64_t top = y0 < y1 ? y0 : static_cast<std::int64_t>(y1) + 1;
    std::int64_t bottom = y0 < y1 ? y1 : static_cast<std::int64_t>(y0) + 1;
    top = std::max<std::int64_t>(top, 0);
    bottom = std::min<std::int64_t>(bottom, m_nHeight);
    if (top < bottom) VerticalRun(x0, static_cast<int>(top), static_cast<int>(bottom), pen);
}

void RasterCanvas::AnyRectangle(int left, int top, int right, int bottom, std::uint32_t pen,
                                std::uint32_t brush) {
    if (!SmallRectangle(left, top, right, bottom, pen, brush))
        GeneralRectangle(left, top, right, bottom, pen, brush);
}

// The 3 x 3 marker square fully inside the buffer, shortcuts on: its three columns are held
// back in the pen's value (the middle one's inside row too, which the held-back inside pixel
// then covers). Returns false when the rectangle is not such a square.
bool RasterCanvas::SmallRectangle(int left, int top, int right, int bottom, std::uint32_t pen,
                                  std::uint32_t brush) {
    if (!m_bShortcuts || static_cast<unsigned>(left) >= m_uSmallLeftEnd ||
        static_cast<unsigned>(top) >= m_uSmallTopEnd ||
        static_cast<unsigned>(right) - static_cast<unsigned>(left) != 3u ||
        static_cast<unsigned>(bottom) - static_cast<unsigned>(top) != 3u)
        return false;
    if (m_bPending) {
        // Only one inside pixel is held back: an earlier one outside this square goes in now.
        if (static_cast<unsigned>(m_nPendingX - left) < 3u &&
            static_cast<unsigned>(m_nPendingY - top) < 3u)
            m_bPending = false;
        else
            CommitPending();
    }
    Hold(left, top, bottom, pen);
    Hold(left + 1, top, bottom, pen);
    Hold(left + 2, top, bottom, pen);
    m_bPending = true;
    m_nPendingX = left + 1;
    m_nPendingY = top + 1;
    m_uPendingPixel = brush;
    return true;
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
    VerticalRun(x, y, y + 1, pixel);
}

void RasterCanvas::Clear(std::uint32_t pixel) {
    // Everything held back is overwritten.
    m_bPending = false;
    for (std::size_t k = m_nHeldHead; k < m_heldColumns.size(); ++k) {
        const int x = m_heldColumns[k];
        std::fill_n(HeldRows(x), m_nHeldWords, std::uint64_t{0});
        m_held[static_cast<std::size_t>(x)] = HeldColumn{};
    }
    m_heldColumns.clear();
    m_nHeldHead = 0;
    const bool bytewise = (pixel & 0xFF) * 0x01010101u == pixel;  // white, black: memset
    if (bytewise && m_nStride == m_nWidth)
        std::memset(m_pBits, static_cast<int>(pixel & 0xFF),
                    static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight) * 4);
    else
        for (int y = 0; y < m_nHeight; ++y) std::fill_n(Row(y), m_nWidth, pixel);
    if (m_bShortcuts)
        for (KnownColumn& column : m_known) column = {{{0, m_nHeight, pixel}, {}}};
}
