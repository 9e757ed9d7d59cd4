#pragma once
// RasterCanvas: writes exact, unantialiased pixels straight into a 32-bit pixel buffer.
//
// Every operation clips to the buffer first (coordinates may be any int), so the cost is
// bounded by the visible pixels. The shapes: lines without their end pixel (RasterLine.h),
// rectangles and ellipses with exclusive right and bottom, a one-pixel outline and a filled
// inside.
//
// With shortcuts on (the default) the canvas skips writes that cannot change the result:
//  - per column it remembers two intervals of rows known to hold one pixel value each
//    (typically the background and the ink), a vertical run skips the rows already known
//    to hold its value (dense charts draw thousands of overlapping steep lines in the same
//    few columns), and a fill skips a block it knows to be its colour;
//  - the single inside pixel of a 3 x 3 rectangle is held back, and dropped when the very
//    next line starts on it (a chart's marker is always followed by the line leaving it);
//  - the right-hand column of 3 x 3 rectangles is collected as a set of rows (for the last
//    two such columns) and written once, when something of another colour could touch
//    that column, or later. Writes of the same colour commute with it, so by then the
//    chart's lines have usually inked the column and the known runs skip most rows.
// The resulting buffer is pixel-identical to executing every call one by one; shortcuts off
// does exactly that, as a reference. Anyone else writing into the buffer must call
// PrepareForForeignWrites() first; the held-back pixel is in the buffer after Flush().

#include <algorithm>
#include <cstdint>
#include <vector>

class RasterCanvas {
public:
    // bits: first pixel of row 0; stride: pixels from one row to the next. Not owned.
    RasterCanvas(std::uint32_t* bits, int width, int height, int stride);

    void SetShortcutsEnabled(bool enabled);
    bool ShortcutsEnabled() const { return m_bShortcuts; }

    // The line from (x0, y0) to (x1, y1), end pixel excluded.
    void Line(int x0, int y0, int x1, int y1, std::uint32_t pen);
    void Rectangle(int left, int top, int right, int bottom, std::uint32_t pen, std::uint32_t brush) {
        if (!SmallRectangle(left, top, right, bottom, pen, brush))
            GeneralRectangle(left, top, right, bottom, pen, brush);
    }
    void Ellipse(int left, int top, int right, int bottom, std::uint32_t pen, std::uint32_t brush);
    // Fills [left, right) x [top, bottom) (corners in any order).
    void Fill(int left, int top, int right, int bottom, std::uint32_t pixel);
    void SetPixel(int x, int y, std::uint32_t pixel);
    // Every pixel of the buffer, written without looking first.
    void Clear(std::uint32_t pixel);

    // Writes any held-back pixels; the buffer is then complete.
    void Flush();
    // Flush, and forget what is known about the buffer: someone else is about to write to it.
    void PrepareForForeignWrites();
    // As above, when the foreign writes stay inside [left, right) x [top, bottom).
    void PrepareForForeignWrites(int left, int top, int right, int bottom);

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

private:
    // Rows [top, bottom) of a column known to hold `pixel`; empty when top >= bottom.
    struct KnownRun {
        int top = 0;
        int bottom = 0;
        std::uint32_t pixel = 0;
        bool Empty() const { return top >= bottom; }
        int Length() const { return bottom - top; }
    };
    struct KnownColumn {
        KnownRun runs[2];
    };

    std::uint32_t* Row(int y) const { return m_pBits + static_cast<std::int64_t>(y) * m_nStride; }
    void VerticalRun(int x, int top, int bottom, std::uint32_t pixel);
    void HorizontalRun(int y, int left, int right, std::uint32_t pixel);
    void HorizontalSpan(std::int64_t y, std::int64_t left, std::int64_t right, std::uint32_t pixel);
    void VerticalSpan(std::int64_t x, std::int64_t top, std::int64_t bottom, std::uint32_t pixel);
    void Block(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
               std::uint32_t pixel);
    void Note(int x, int top, int bottom, std::uint32_t pixel);
    void CommitPending();
    struct SideColumn;
    void FlushSideColumns();
    void FlushSideColumn(SideColumn& side);
    // Whether a held-back column holds a value other than `pixel` (usually none does).
    bool SideHoldsOther(std::uint32_t pixel) const {
        return (m_side[0].active && m_side[0].pixel != pixel) ||
               (m_side[1].active && m_side[1].pixel != pixel);
    }
    // Flushes held-back columns that a write of `pixel` to column x would not commute with.
    void BeforeWrite(int x, std::uint32_t pixel) {
        if (!SideHoldsOther(pixel)) return;
        for (SideColumn& side : m_side)
            if (side.active && side.x == x && side.pixel != pixel) FlushSideColumn(side);
    }
    void AddToSideColumn(int x, int top, std::uint32_t pixel);
    bool Known(int x, int top, int bottom, std::uint32_t pixel) const;
    void Forget();
    bool SmallRectangle(int left, int top, int right, int bottom, std::uint32_t pen,
                        std::uint32_t brush);
    void GeneralRectangle(int left, int top, int right, int bottom, std::uint32_t pen,
                          std::uint32_t brush);
    void GeneralLine(int x0, int y0, int x1, int y1, std::uint32_t pen);

    std::uint32_t* m_pBits = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nStride = 0;
    bool m_bShortcuts = true;
    // A 3 x 3 square fits when left < m_uSmallLeftEnd and top < m_uSmallTopEnd.
    unsigned m_uSmallLeftEnd = 0;
    unsigned m_uSmallTopEnd = 0;
    std::vector<KnownColumn> m_known;  // one per column, used only with shortcuts

    bool m_bPending = false;  // a held-back pixel not yet in the buffer
    int m_nPendingX = 0;
    int m_nPendingY = 0;
    std::uint32_t m_pendingPixel = 0;

    // Held-back pixels of one column, all of one value: bit r of rows is row r.
    struct SideColumn {
        bool active = false;
        int x = 0;
        int top = 0;  // rows [top, bottom) hold every set bit
        int bottom = 0;
        std::uint32_t pixel = 0;
        std::vector<std::uint64_t> rows;
    };
    SideColumn m_side[2];
    int m_nOlderSide = 0;  // the slot to reuse when both are taken
};

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
