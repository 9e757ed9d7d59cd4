#pragma once
// RasterCanvas: writes exact, unantialiased pixels straight into a 32-bit pixel buffer.
//
// Every operation clips to the buffer first (coordinates may be any int), so the cost is
// bounded by the visible pixels. The shapes: lines without their end pixel (RasterLine.h),
// rectangles and ellipses with exclusive right and bottom, a one-pixel outline and a filled
// inside.
//
// With shortcuts on (the default) the canvas holds writes back where doing so cannot
// change the result, and skips writes that cannot change a pixel:
//  - vertical runs (steep lines, marker columns, single pixels) are held back per column as
//    a set of rows of one pixel value: a run of that value joins the set, a run of another
//    value writes the set out first. A dense chart's thousands of overlapping steep lines
//    and marker columns in a few columns so become a few writes per column. At most 16
//    columns hold rows; holding in another writes out the one that started holding first
//    (a chart moving along its columns has left it behind).
//  - the inside pixel of a 3 x 3 rectangle is held back, and dropped when something later
//    covers it (a chart's marker is always followed by the line leaving it).
//  - per column it remembers two intervals of rows known to hold one pixel value each
//    (typically the background and the ink): held-back rows already known to hold their
//    value are not written again, and a fill skips a block it knows to be its colour.
// What is held back is always later than what lies under it in the buffer, and a held-back
// inside pixel is later than any held-back run that covers it; so writing the runs, then
// the pixel, gives the buffer of executing every call one by one. Shortcuts off does
// exactly that, as a reference. Anyone else writing into the buffer must call
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
    void Rectangle(int left, int top, int right, int bottom, std::uint32_t pen,
                   std::uint32_t brush);
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
    // Rows of a column that are to hold one pixel value, not yet written: the set bits of the
    // column's words in m_heldRows. state: 0 while the column is not listed in m_heldColumns
    // (and holds nothing), else kListed | the pixel value. Rows [solidTop, solidBottom) are all
    // held: a dense chart's runs mostly fall inside them, which is checked first.
    static constexpr std::uint64_t kListed = std::uint64_t{1} << 32;
    struct HeldColumn {
        std::uint64_t state = 0;
        int solidTop = 0;
        int solidBottom = 0;
        bool Covers(int top, int bottom) const { return top >= solidTop && bottom <= solidBottom; }
    };

    std::uint32_t* Row(int y) const { return m_pBits + static_cast<std::int64_t>(y) * m_nStride; }
    // Rows [top, bottom) of column x, already clipped: held back with shortcuts, else written.
    void VerticalRun(int x, int top, int bottom, std::uint32_t pixel) {
        if (m_bShortcuts)
            Hold(x, top, bottom, pixel);
        else
            WriteVerticalRun(x, top, bottom, pixel);
    }
    // Holds rows [top, bottom) of column x back in `pixel` (shortcuts on), writing out first
    // what the column holds in another value.
    void Hold(int x, int top, int bottom, std::uint32_t pixel);
    // The same when the column already holds rows in `pixel` (the common case in a chart),
    // inline and short; false, having done nothing, otherwise.
    bool HoldMore(int x, int top, int bottom, std::uint32_t pixel);
    // Sets the bits of rows [top, bottom) of column x (held is its entry), and grows its
    // solid rows when they meet.
    void SetRows(int x, HeldColumn& held, int top, int bottom);
    std::uint64_t* HeldRows(int x) {
        return m_heldRows.data() + static_cast<std::size_t>(x) * m_nHeldWords;
    }
    bool IsHeld(int x, int y) {
        return m_held[static_cast<std::size_t>(x)].state != 0 &&
               ((HeldRows(x)[y >> 6] >> (y & 63)) & 1);
    }
    // Writes rows [top, bottom) of column x now (skipping rows known to hold the value).
    void WriteVerticalRun(int x, int top, int bottom, std::uint32_t pixel);
    // Writes the rows held back in column x as runs of rows; the column stays listed.
    void WriteHeldRows(int x);
    // Writes the oldest listed column's rows and takes it off the list.
    void WriteOldestHeldColumn();
    void HorizontalRun(int y, int left, int right, std::uint32_t pixel);
    void HorizontalSpan(std::int64_t y, std::int64_t left, std::int64_t right, std::uint32_t pixel);
    void VerticalSpan(std::int64_t x, std::int64_t top, std::int64_t bottom, std::uint32_t pixel);
    // Nothing may be held back in its columns when it is called.
    void Block(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
               std::uint32_t pixel);
    void Note(int x, int top, int bottom, std::uint32_t pixel);
    // The held-back inside pixel is covered by a later write to rows [top, bottom) of x.
    bool PendingIn(int x, int top, int bottom) const {
        return m_bPending && m_nPendingX == x && m_nPendingY >= top && m_nPendingY < bottom;
    }
    void CommitPending();
    void Forget();
    // The paths the inline Line and Rectangle do not take themselves.
    void AnyLine(int x0, int y0, int x1, int y1, std::uint32_t pen);
    void AnyRectangle(int left, int top, int right, int bottom, std::uint32_t pen,
                      std::uint32_t brush);
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
    std::vector<KnownColumn> m_known;       // one per column, used only with shortcuts
    std::vector<HeldColumn> m_held;         // one per column, used only with shortcuts
    std::size_t m_nHeldWords = 0;           // words per column in m_heldRows, one spare at the end
    std::vector<std::uint64_t> m_heldRows;  // bit r of a column's words: row r is held
    // The columns that hold rows, oldest first from m_nHeldHead on; at most
    // kMaxHeldColumns of them.
    static constexpr std::size_t kMaxHeldColumns = 16;
    std::vector<int> m_heldColumns;
    std::size_t m_nHeldHead = 0;

    bool m_bPending = false;  // a held-back inside pixel not yet in the buffer
    int m_nPendingX = 0;
    int m_nPendingY = 0;
    std::uint32_t m_uPendingPixel = 0;
};

// The per-call hot paths, inline so the surface's calls compile into the pixel code.
#include "platform/RasterCanvasInline.h"
