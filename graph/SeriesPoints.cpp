#include "graph/SeriesPoints.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Element i of an array of doubles that may be unaligned (memcpy compiles to a plain load).
double DoubleAt(const void* pData, long long i) {
    double value;
    std::memcpy(&value, static_cast<const unsigned char*>(pData) + i * 8, 8);
    return value;
}

bool IsPlainDoubles(const GraphSeries& series) {
    return series.pfnGetX == GetDouble && series.pfnGetY == GetDouble &&
           series.pfnXTransform == Identity && series.pfnYTransform == Identity;
}

}  // namespace

// Arrays of doubles aligned as doubles, read with stride 1, are read where they lie.
SeriesCursor::SeriesCursor(const GraphSeries& series)
    : m_series(series),
      m_bPlain(IsPlainDoubles(series)),
      m_bContiguous(series.nXStride == 1 && series.nYStride == 1 &&
                    reinterpret_cast<std::uintptr_t>(series.pXData) % alignof(double) == 0 &&
                    reinterpret_cast<std::uintptr_t>(series.pYData) % alignof(double) == 0) {}

bool SeriesCursor::Next(PointBlock& block) {
    const GraphSeries& s = m_series;
    const int n = std::min(s.nCount - m_nRead, kPointBlock);
    if (n <= 0) return false;
    block.x = block.xStorage;
    block.y = block.yStorage;
    if (m_bPlain && m_bContiguous) {
        block.x = static_cast<const double*>(s.pXData) + m_nXIndex;
        block.y = static_cast<const double*>(s.pYData) + m_nYIndex;
        m_nXIndex += n;
        m_nYIndex += n;
    } else if (m_bPlain) {
        for (int k = 0; k < n; ++k) {
            block.xStorage[k] = DoubleAt(s.pXData, static_cast<int>(m_nXIndex));
            block.yStorage[k] = DoubleAt(s.pYData, static_cast<int>(m_nYIndex));
            m_nXIndex += s.nXStride;
            m_nYIndex += s.nYStride;
        }
    } else {
        for (int k = 0; k < n; ++k) {
            block.xStorage[k] = s.pfnXTransform(s.pfnGetX(s.pXData, static_cast<int>(m_nXIndex)));
            block.yStorage[k] = s.pfnYTransform(s.pfnGetY(s.pYData, static_cast<int>(m_nYIndex)));
            m_nXIndex += s.nXStride;
            m_nYIndex += s.nYStride;
        }
    }
    m_nRead += n;
    block.n = n;
    return true;
}

namespace {

// The extremes of n > 0 values, when each is finite. Branch-free, in two lanes, so it runs at
// the speed of reading the values: v - v is 0 for a finite v and NaN for any other, and a NaN
// in a sum stays there.
bool FiniteExtremes(const double* v, int n, double& dMin, double& dMax) {
    double lo[2] = {v[0], v[0]}, hi[2] = {v[0], v[0]}, zero[2] = {0.0, 0.0};
    int k = 0;
    for (; k + 1 < n; k += 2) {
        for (int lane = 0; lane < 2; ++lane) {
            const double a = v[k + lane];
            zero[lane] += a - a;
            lo[lane] = a < lo[lane] ? a : lo[lane];
            hi[lane] = a > hi[lane] ? a : hi[lane];
        }
    }
    if (k < n) {
        const double a = v[k];
        zero[0] += a - a;
        lo[0] = a < lo[0] ? a : lo[0];
        hi[0] = a > hi[0] ? a : hi[0];
    }
    dMin = lo[1] < lo[0] ? lo[1] : lo[0];
    dMax = hi[1] > hi[0] ? hi[1] : hi[0];
    return zero[0] + zero[1] == 0.0;
}

}  // namespace

bool FiniteBlockExtremes(const PointBlock& block, double& dXMin, double& dXMax, double& dYMin,
                         double& dYMax) {
    // Both, even when x already fails: no branch in the way of the second pass.
    const bool bFiniteX = FiniteExtremes(block.x, block.n, dXMin, dXMax);
    const bool bFiniteY = FiniteExtremes(block.y, block.n, dYMin, dYMax);
    return bFiniteX && bFiniteY;
}
