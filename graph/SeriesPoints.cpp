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

SeriesCursor::SeriesCursor(const GraphSeries& series)
    : m_series(series), m_bPlain(IsPlainDoubles(series)) {}

bool SeriesCursor::Next(PointBlock& block) {
    const GraphSeries& s = m_series;
    const int n = std::min(s.nCount - m_nRead, kPointBlock);
    if (n <= 0) return false;
    if (m_bPlain && s.nXStride == 1 && s.nYStride == 1) {
        std::memcpy(block.x, static_cast<const unsigned char*>(s.pXData) + m_nXIndex * 8,
                    static_cast<std::size_t>(n) * 8);
        std::memcpy(block.y, static_cast<const unsigned char*>(s.pYData) + m_nYIndex * 8,
                    static_cast<std::size_t>(n) * 8);
        m_nXIndex += n;
        m_nYIndex += n;
    } else if (m_bPlain) {
        for (int k = 0; k < n; ++k) {
            block.x[k] = DoubleAt(s.pXData, static_cast<int>(m_nXIndex));
            block.y[k] = DoubleAt(s.pYData, static_cast<int>(m_nYIndex));
            m_nXIndex += s.nXStride;
            m_nYIndex += s.nYStride;
        }
    } else {
        for (int k = 0; k < n; ++k) {
            block.x[k] = s.pfnXTransform(s.pfnGetX(s.pXData, static_cast<int>(m_nXIndex)));
            block.y[k] = s.pfnYTransform(s.pfnGetY(s.pYData, static_cast<int>(m_nYIndex)));
            m_nXIndex += s.nXStride;
            m_nYIndex += s.nYStride;
        }
    }
    m_nRead += n;
    block.n = n;
    return true;
}

// Branch-free, in two lanes, so it runs at the speed of reading the values; a value is not
// finite when its exponent bits are all set.
bool FiniteBlockExtremes(const PointBlock& block, double& dXMin, double& dXMax, double& dYMin,
                         double& dYMax) {
    constexpr std::uint64_t kExponent = 0x7FF0000000000000u;
    double xMin[2], xMax[2], yMin[2], yMax[2];
    xMin[0] = xMin[1] = xMax[0] = xMax[1] = block.x[0];
    yMin[0] = yMin[1] = yMax[0] = yMax[1] = block.y[0];
    std::uint64_t nNonFinite = 0;
    const auto visit = [&](int lane, int k) {
        const double x = block.x[k];
        const double y = block.y[k];
        std::uint64_t xBits, yBits;
        std::memcpy(&xBits, &x, 8);
        std::memcpy(&yBits, &y, 8);
        nNonFinite |= static_cast<std::uint64_t>((xBits & kExponent) == kExponent) |
                      static_cast<std::uint64_t>((yBits & kExponent) == kExponent);
        xMin[lane] = x < xMin[lane] ? x : xMin[lane];
        xMax[lane] = x > xMax[lane] ? x : xMax[lane];
        yMin[lane] = y < yMin[lane] ? y : yMin[lane];
        yMax[lane] = y > yMax[lane] ? y : yMax[lane];
    };
    int k = 0;
    for (; k + 1 < block.n; k += 2) {
        visit(0, k);
        visit(1, k + 1);
    }
    if (k < block.n) visit(0, k);
    dXMin = xMin[1] < xMin[0] ? xMin[1] : xMin[0];
    dXMax = xMax[1] > xMax[0] ? xMax[1] : xMax[0];
    dYMin = yMin[1] < yMin[0] ? yMin[1] : yMin[0];
    dYMax = yMax[1] > yMax[0] ? yMax[1] : yMax[0];
    return nNonFinite == 0;
}
