#pragma once
// The exact pixels of a one-pixel line, produced as runs along its major axis.
//
// A line from (x0, y0) to (x1, y1) with n = max(|dx|, |dy|) paints the n pixels i = 0 .. n-1
// (the end point is never painted): along the major axis pixel i sits at start + i, across it
// at start + sign * floor((2 * i * a + n) / (2 * n)), a = the minor axis' length. That closed
// form lets a line be clipped to the image before it is walked, so a line between points
// billions of pixels apart costs only its visible part, and it is the same for every caller.
//
// Pixels that share the minor coordinate form one run; the rasterizer writes runs, not
// pixels. Steep lines (|dy| > |dx|) give vertical runs, all others horizontal runs.

#include <algorithm>
#include <cstdint>

namespace raster {

using i64 = std::int64_t;

// floor((a * b + c) / d) for d > 0, exact for any int64 a, b whose product fits 127 bits.
inline i64 MulAddDivFloor(i64 a, i64 b, i64 c, i64 d) {
#if defined(__SIZEOF_INT128__)
    __extension__ typedef __int128 i128;
    const i128 num = static_cast<i128>(a) * b + c;
    i128 q = num / d;
    if (num % d != 0 && num < 0) --q;
    return static_cast<i64>(q);
#else
#error "RasterLine needs a 128-bit integer type (GCC or Clang)"
#endif
}

// floor((a * b + c) / d) for d > 0 when |a * b + c| < 2^62: the common, cheap case.
inline i64 MulAddDivFloorSmall(i64 a, i64 b, i64 c, i64 d) {
    const i64 num = a * b + c;
    i64 q = num / d;
    if (num % d != 0 && num < 0) --q;
    return q;
}

// Walks the visible runs of the line (x0, y0) -> (x1, y1) inside [0, width) x [0, height).
// emit(bool vertical, int across, int from, int to) receives one run: for a vertical run,
// column `across` and rows [from, to); for a horizontal one, row `across` and columns
// [from, to). Runs come in order from the start point; from < to always.
template <typename Emit>
void ForEachLineRun(int x0, int y0, int x1, int y1, int width, int height, Emit&& emit) {
    const i64 dx = static_cast<i64>(x1) - x0;
    const i64 dy = static_cast<i64>(y1) - y0;
    const i64 adx = dx < 0 ? -dx : dx;
    const i64 ady = dy < 0 ? -dy : dy;
    const bool vertical = ady > adx;
    const i64 n = vertical ? ady : adx;
    if (n == 0 || width <= 0 || height <= 0) return;
    const i64 a = vertical ? adx : ady;
    const i64 majorStart = vertical ? y0 : x0;
    const i64 minorStart = vertical ? x0 : y0;
    const int majorSign = (vertical ? dy : dx) < 0 ? -1 : 1;
    const int minorSign = (vertical ? dx : dy) < 0 ? -1 : 1;
    const i64 majorLimit = vertical ? height : width;  // visible: [0, majorLimit)
    const i64 minorLimit = vertical ? width : height;

    // Steps i whose major coordinate is visible.
    i64 iLo = majorSign > 0 ? -majorStart : majorStart - (majorLimit - 1);
    i64 iHi = majorSign > 0 ? majorLimit - 1 - majorStart : majorStart;
    iLo = std::max<i64>(iLo, 0);
    iHi = std::min<i64>(iHi, n - 1);
    if (iLo > iHi) return;

    // Minor offsets k whose coordinate is visible.
    i64 kLo = minorSign > 0 ? -minorStart : minorStart - (minorLimit - 1);
    i64 kHi = minorSign > 0 ? minorLimit - 1 - minorStart : minorStart;
    kLo = std::max<i64>(kLo, 0);
    kHi = std::min<i64>(kHi, a);
    if (kLo > kHi) return;

    const bool small = n < (i64{1} << 29);
    // First step whose minor offset is at least k: ceil((2k - 1) n / (2a)), k >= 1.
    auto firstStepOf = [&](i64 k) -> i64 {
        if (k <= 0) return 0;
        if (a == 0) return n;  // never reached: the minor offset stays 0
        const i64 twoA = 2 * a;
        return small ? -MulAddDivFloorSmall(-(2 * k - 1), n, 0, twoA)
                     : -MulAddDivFloor(-(2 * k - 1), n, 0, twoA);
    };
    auto offsetAt = [&](i64 i) -> i64 {
        return small ? MulAddDivFloorSmall(2 * i, a, n, 2 * n) : MulAddDivFloor(2 * i, a, n, 2 * n);
    };

    iLo = std::max(iLo, firstStepOf(kLo));
    iHi = std::min(iHi, firstStepOf(kHi + 1) - 1);
    if (iLo > iHi) return;

    i64 k = offsetAt(iLo);
    i64 i = iLo;
    while (i <= iHi) {
        const i64 runEnd = std::min(iHi + 1, firstStepOf(k + 1));  // exclusive
        const i64 across = minorStart + minorSign * k;
        const i64 p = majorStart + majorSign * i;
        const i64 q = majorStart + majorSign * (runEnd - 1);
        emit(vertical, static_cast<int>(across), static_cast<int>(std::min(p, q)),
             static_cast<int>(std::max(p, q) + 1));
        i = runEnd;
        ++k;
    }
}

}  // namespace raster
