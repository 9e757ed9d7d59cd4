#pragma once
// Inline members of RasterCanvas: the paths every point of a dense chart takes (a steep
// line within one column, a 3 x 3 marker), kept short so the surface's calls compile into
// a few instructions; everything else goes to the out-of-line paths.

#include "platform/RasterCanvas.h"

inline bool RasterCanvas::HoldMore(int x, int top, int bottom, std::uint32_t pixel) {
    HeldColumn& held = m_held[static_cast<std::size_t>(x)];
    if (held.state != (kListed | pixel)) return false;
    if (PendingIn(x, top, bottom)) m_bPending = false;  // overwritten by this later write
    if (!held.Covers(top, bottom)) SetRows(x, held, top, bottom);
    return true;
}

inline void RasterCanvas::Line(int x0, int y0, int x1, int y1, std::uint32_t pen) {
    if (x0 == x1) {
        if (y0 == y1) return;  // no length: nothing painted
        // A vertical line inside the buffer: rows from y0 towards y1, y1 itself excluded,
        // whichever way it goes (min and max, not a branch on the direction).
        if (m_bShortcuts && static_cast<unsigned>(x0) < static_cast<unsigned>(m_nWidth) &&
            static_cast<unsigned>(y0) < static_cast<unsigned>(m_nHeight) &&
            static_cast<unsigned>(y1) < static_cast<unsigned>(m_nHeight) &&
            HoldMore(x0, std::min(y0, y1 + 1), std::max(y1, y0 + 1), pen))
            return;
    }
    AnyLine(x0, y0, x1, y1, pen);
}

// A 3 x 3 marker square inside the buffer, all three columns already holding rows in the
// pen's value, no other inside pixel held back: its columns are held (the middle one's
// inside row too, which the held-back inside pixel then covers).
inline void RasterCanvas::Rectangle(int left, int top, int right, int bottom, std::uint32_t pen,
                                    std::uint32_t brush) {
    // Unsigned: negative corners fail the first tests, and the differences cannot overflow.
    if (m_bShortcuts && static_cast<unsigned>(left) < m_uSmallLeftEnd &&
        static_cast<unsigned>(top) < m_uSmallTopEnd &&
        static_cast<unsigned>(right) - static_cast<unsigned>(left) == 3u &&
        static_cast<unsigned>(bottom) - static_cast<unsigned>(top) == 3u &&
        (!m_bPending || (static_cast<unsigned>(m_nPendingX - left) < 3u &&
                         static_cast<unsigned>(m_nPendingY - top) < 3u))) {
        const HeldColumn* held = &m_held[static_cast<std::size_t>(left)];
        const std::uint64_t state = kListed | pen;
        if (held[0].state == state && held[1].state == state && held[2].state == state) {
            // Three rows from `top`: their bits in the word of `top` and, past its end, in the
            // next (each column has a spare word at its end for that).
            const std::size_t nWords = m_nHeldWords;
            std::uint64_t* const words = HeldRows(left) + (top >> 6);
            const int shift = top & 63;
            const std::uint64_t bits = std::uint64_t{7} << shift;
            const std::uint64_t spill = std::uint64_t{3} >> (63 - shift);
            words[0] |= bits;
            words[1] |= spill;
            words[nWords] |= bits;
            words[nWords + 1] |= spill;
            words[2 * nWords] |= bits;
            words[2 * nWords + 1] |= spill;
            m_bPending = true;
            m_nPendingX = left + 1;
            m_nPendingY = top + 1;
            m_uPendingPixel = brush;
            return;
        }
    }
    AnyRectangle(left, top, right, bottom, pen, brush);
}
