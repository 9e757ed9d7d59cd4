#pragma once
// RasterCanvas: writes exact, unantialiased pixels straight into a 32-bit pixel buffer.
//
// Every operation clips to the buffer first (coordinates may be any int), so the cost is
// bounded by the visible pixels. The shapes: lines without their end pixel (RasterLine.h),
// rectangles and ellipses with exclusive right and bottom, a one-pixel outline and a filled
// inside.
//
// With shortcuts on (the default) the canvas skips writes that cannot change the result:
//  - per column it remembers one interval of rows known to hold one pixel value, and a
//    vertical run of that value skips the rows inside it (dense charts draw thousands of
//    overlapping steep lines in the same few columns);
//  - the single inside pixel of a 3 x 3 rectangle is held back, and dropped when the very
//    next line starts on it (a chart's marker is always followed by the line leaving it).
// The resulting buffer is pixel-identical to executing every call one by one; shortcuts off
// does exactly that, as a reference. Anyone else writing into the buffer must call
// PrepareForForeignWrites() first; the held-back pixel is in the buffer after Flush().

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
    void Rectangle(int left, int top, int right, int bottom, std::uint32_t pen, std::uint32_t brush);
    void Ellipse(int left, int top, int right, int bottom, std::uint32_t pen, std::uint32_t brush);
    // Fills [left, right) x [top, bottom) (corners in any order).
    void Fill(int left, int top, int right, int bottom, std::uint32_t pixel);
    void SetPixel(int x, int y, std::uint32_t pixel);

    // Writes any held-back pixel; the buffer is then complete.
    void Flush();
    // Flush, and forget what is known about the buffer: someone else is about to write to it.
    void PrepareForForeignWrites();

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

private:
    // Rows [top, bottom) of a column known to hold `pixel`; empty when top >= bottom.
    struct KnownRun {
        int top = 0;
        int bottom = 0;
        std::uint32_t pixel = 0;
    };

    std::uint32_t* Row(int y) const { return m_pBits + static_cast<std::int64_t>(y) * m_nStride; }
    void VerticalRun(int x, int top, int bottom, std::uint32_t pixel);
    void HorizontalRun(int y, int left, int right, std::uint32_t pixel);
    void HorizontalSpan(std::int64_t y, std::int64_t left, std::int64_t right, std::uint32_t pixel);
    void VerticalSpan(std::int64_t x, std::int64_t top, std::int64_t bottom, std::uint32_t pixel);
    void Block(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
               std::uint32_t pixel);
    void Note(int x, int top, int bottom, std::uint32_t pixel);
    void Forget();
    bool SmallRectangle(int left, int top, int right, int bottom, std::uint32_t pen,
                        std::uint32_t brush);

    std::uint32_t* m_pBits = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nStride = 0;
    bool m_bShortcuts = true;
    std::vector<KnownRun> m_known;  // one per column, used only with shortcuts

    bool m_bPending = false;  // a held-back pixel not yet in the buffer
    int m_nPendingX = 0;
    int m_nPendingY = 0;
    std::uint32_t m_pendingPixel = 0;
};
