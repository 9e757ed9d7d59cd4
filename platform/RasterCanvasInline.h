#pragma once
// Inline members of RasterCanvas: the paths every chart point takes (known runs, vertical
// lines, marker squares, held-back columns). Included by RasterCanvas.h only.

#include "platform/RasterCanvas.h"

// Records that rows [top, bottom) of column x now hold `pixel`: a known run of that value
// that touches it grows to include it, a known run of another value loses the rows (keeping
// its longer remaining piece), and a new run takes a free slot or replaces a shorter one.
inline void RasterCanvas::Note(int x, int top, int bottom, std::uint32_t pixel) {
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

// Whether rows [top, bottom) of column x are known to hold `pixel` already.
inline bool RasterCanvas::Known(int x, int top, int bottom, std::uint32_t pixel) const {
    const KnownRun* runs = m_known[static_cast<std::size_t>(x)].runs;
    return (runs[0].pixel == pixel && runs[0].top <= top && runs[0].bottom >= bottom) ||
           (runs[1].pixel == pixel && runs[1].top <= top && runs[1].bottom >= bottom);
}

// Rows [top, bottom) of column x, already clipped.
inline void RasterCanvas::VerticalRun(int x, int top, int bottom, std::uint32_t pixel) {
    auto write = [this, x, pixel](int from, int to) {
        std::uint32_t* p = Row(from) + x;
        for (int y = from; y < to; ++y, p += m_nStride) *p = pixel;
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

inline void RasterCanvas::Line(int x0, int y0, int x1, int y1, std::uint32_t pen) {
    if (m_bPending) {
        // The line's first pixel is its start point: it overwrites a pixel held back there.
        if (m_nPendingX == x0 && m_nPendingY == y0 && (x0 != x1 || y0 != y1))
            m_bPending = false;
        else
            CommitPending();
    }
    if (x0 != x1 || x0 < 0 || x0 >= m_nWidth) {
        if (SideHoldsOther(pen))
            for (SideColumn& side : m_side)
                if (side.active && side.pixel != pen) FlushSideColumn(side);
        GeneralLine(x0, y0, x1, y1, pen);
        return;
    }
    BeforeWrite(x0, pen);
    // Vertical: rows from y0 towards y1, y1 itself excluded.
    std::int64_t top = y0 < y1 ? y0 : static_cast<std::int64_t>(y1) + 1;
    std::int64_t bottom = y0 < y1 ? y1 : static_cast<std::int64_t>(y0) + 1;
    top = std::max<std::int64_t>(top, 0);
    bottom = std::min<std::int64_t>(bottom, m_nHeight);
    if (top < bottom) VerticalRun(x0, static_cast<int>(top), static_cast<int>(bottom), pen);
}

// The 3 x 3 marker square fully inside the buffer, written directly; its inside pixel and
// its right-hand column are held back (see above). Returns false when the rectangle is not
// such a square.
inline bool RasterCanvas::SmallRectangle(int left, int top, int right, int bottom,
                                         std::uint32_t pen, std::uint32_t brush) {
    // Unsigned: negative corners fail the first tests, and the differences cannot overflow.
    if (!m_bShortcuts || static_cast<unsigned>(left) >= m_uSmallLeftEnd ||
        static_cast<unsigned>(top) >= m_uSmallTopEnd ||
        static_cast<unsigned>(right) - static_cast<unsigned>(left) != 3u ||
        static_cast<unsigned>(bottom) - static_cast<unsigned>(top) != 3u)
        return false;
    if (m_bPending) {
        const bool covered = m_nPendingX >= left && m_nPendingX < right && m_nPendingY >= top &&
                             m_nPendingY < bottom;
        if (covered)
            m_bPending = false;
        else
            CommitPending();
    }
    if (SideHoldsOther(pen))
        for (SideColumn& side : m_side)
            if (side.active && side.pixel != pen && (side.x == left || side.x == left + 1))
                FlushSideColumn(side);
    m_bPending = true;
    m_nPendingX = left + 1;
    m_nPendingY = top + 1;
    m_pendingPixel = brush;
    // Over a dense chart most of the outline lands where the ink already is: a column is
    // written only when it is not known to hold the pen's colour.
    std::uint32_t* p = Row(top) + left;
    const int stride = m_nStride;
    if (!Known(left, top, bottom, pen)) {
        p[0] = pen;
        p[stride] = pen;
        p[2 * stride] = pen;
        Note(left, top, bottom, pen);
    }
    if (!Known(left + 1, top, bottom, pen)) {
        p[1] = pen;
        p[2 * stride + 1] = pen;
        Note(left + 1, top, top + 1, pen);
        Note(left + 1, top + 2, bottom, pen);
    }
    AddToSideColumn(left + 2, top, pen);
    return true;
}

// Rows top .. top + 2 of column x are to hold `pixel`; until the column is flushed, only
// writes of that same value may touch it.
inline void RasterCanvas::AddToSideColumn(int x, int top, std::uint32_t pixel) {
    SideColumn* side = &m_side[1 - m_nOlderSide];  // the newer one: markers move on slowly
    if (!(side->active && side->x == x && side->pixel == pixel)) {
        side = nullptr;
        for (SideColumn& candidate : m_side)
            if (candidate.active && candidate.x == x) {
                if (candidate.pixel != pixel)
                    FlushSideColumn(candidate);
                else
                    side = &candidate;
            }
    }
    if (!side) {
        int slot = m_side[0].active ? (m_side[1].active ? m_nOlderSide : 1) : 0;
        side = &m_side[slot];
        FlushSideColumn(*side);
        m_nOlderSide = 1 - slot;
        *side = SideColumn{true, x, top, top + 3, pixel, std::move(side->rows)};
    } else {
        side->top = std::min(side->top, top);
        side->bottom = std::max(side->bottom, top + 3);
    }
    const unsigned shift = static_cast<unsigned>(top) & 63u;
    std::uint64_t* word = &side->rows[static_cast<std::size_t>(top) >> 6];
    word[0] |= std::uint64_t{7} << shift;
    if (shift > 61) word[1] |= std::uint64_t{7} >> (64 - shift);
}
