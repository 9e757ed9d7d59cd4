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
// PrepareForForeignWrites() first; held-back pixels are in the buffer after Flush().

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

// The per-call hot paths, inline so the surface's calls compile into the pixel code.
#include "platform/RasterCanvasInline.h"
