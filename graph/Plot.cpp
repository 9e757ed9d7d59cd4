#include <cmath>
#include <cstdint>
#include <cstring>

#include "graph/CGraph.h"
#include "graph/ChartText.h"

namespace {

// Reading point i of a series: element i * stride, with the product formed in 64 bits so a
// large count times a large stride cannot overflow (codes 11 and 12 read no memory, so
// such series are legal); the index handed to the accessor is that product as an int.
struct SeriesReader {
    const GraphSeries& s;
    long long nXIndex = 0;
    long long nYIndex = 0;

    void Next(double& x, double& y) {
        x = s.pfnXTransform(s.pfnGetX(s.pXData, static_cast<int>(nXIndex)));
        y = s.pfnYTransform(s.pfnGetY(s.pYData, static_cast<int>(nYIndex)));
        nXIndex += s.nXStride;
        nYIndex += s.nYStride;
    }
};

bool IsFinitePoint(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

// Element i of an array of doubles that may be unaligned (memcpy compiles to a plain load).
double DoubleAt(const unsigned char* pData, long long i) {
    double value;
    std::memcpy(&value, pData + i * 8, 8);
    return value;
}

// Series of plain doubles without transforms (every chart of the measurement view) are read
// straight from memory: the same bytes GetDouble reads and Identity passes on, without two
// indirect calls per coordinate.
bool IsPlainDoubles(const GraphSeries& series) {
    return series.pfnGetX == GetDouble && series.pfnGetY == GetDouble &&
           series.pfnXTransform == Identity && series.pfnYTransform == Identity;
}

// Calls visit(x, y) for every point of the series, in order.
template <typename Visit>
void ForEachPoint(const GraphSeries& series, Visit&& visit) {
    if (IsPlainDoubles(series)) {
        const auto* pX = static_cast<const unsigned char*>(series.pXData);
        const auto* pY = static_cast<const unsigned char*>(series.pYData);
        if (series.nXStride == 1 && series.nYStride == 1) {
            for (int i = 0; i < series.nCount; ++i) visit(DoubleAt(pX, i), DoubleAt(pY, i));
            return;
        }
        long long nXIndex = 0;
        long long nYIndex = 0;
        for (int i = 0; i < series.nCount; ++i) {
            const double x = DoubleAt(pX, static_cast<int>(nXIndex));
            const double y = DoubleAt(pY, static_cast<int>(nYIndex));
            nXIndex += series.nXStride;
            nYIndex += series.nYStride;
            visit(x, y);
        }
        return;
    }
    SeriesReader reader{series};
    for (int i = 0; i < series.nCount; ++i) {
        double x, y;
        reader.Next(x, y);
        visit(x, y);
    }
}

// The extremes of n > 0 points of contiguous doubles, when every value is finite (else
// false, and the extremes are not to be used). Branch-free, in two lanes, so it runs at the
// speed of reading the data; a value is not finite when its exponent bits are all set.
bool ContiguousExtremes(const unsigned char* pX, const unsigned char* pY, int n, double& dXMin,
                        double& dXMax, double& dYMin, double& dYMax) {
    constexpr std::uint64_t kExponent = 0x7FF0000000000000u;
    double xMin[2], xMax[2], yMin[2], yMax[2];
    xMin[0] = xMin[1] = xMax[0] = xMax[1] = DoubleAt(pX, 0);
    yMin[0] = yMin[1] = yMax[0] = yMax[1] = DoubleAt(pY, 0);
    std::uint64_t nNonFinite = 0;
    const auto visit = [&](int lane, int i) {
        const double x = DoubleAt(pX, i);
        const double y = DoubleAt(pY, i);
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
    int i = 0;
    for (; i + 1 < n; i += 2) {
        visit(0, i);
        visit(1, i + 1);
    }
    if (i < n) visit(0, i);
    dXMin = xMin[1] < xMin[0] ? xMin[1] : xMin[0];
    dXMax = xMax[1] > xMax[0] ? xMax[1] : xMax[0];
    dYMin = yMin[1] < yMin[0] ? yMin[1] : yMin[0];
    dYMax = yMax[1] > yMax[0] ? yMax[1] : yMax[0];
    return nNonFinite == 0;
}

}  // namespace

BOOL CGraph::Plot() {
    if (m_nSeries < 1 || m_nSeries > kMaxSeries) return FALSE;
    if (!IsChartRectInRange(m_rect)) return FALSE;

    const int nScale = (m_rect.right - m_rect.left >= 1000) ? 4 : 1;
    m_dScale = nScale;
    g_nMarkerSize = nScale;

    const HPEN hPen = m_pDC->CreatePen(PS_SOLID, 1, m_crForeground);
    m_crFill = m_crBackground;
    const HBRUSH hBrush = m_pDC->CreateSolidBrush(m_crFill);
    if (!hPen || !hBrush) {
        if (hPen) m_pDC->DeleteObject(hPen);
        if (hBrush) m_pDC->DeleteObject(hBrush);
        return FALSE;
    }

    if (!m_bFixedRange) AutoRange();

    m_pDC->SetBkColor(m_crBackground);
    m_pDC->SetTextColor(m_crForeground);
    const HPEN hPreviousPen = m_pDC->SelectObject(hPen);
    const HBRUSH hPreviousBrush = m_pDC->SelectObject(hBrush);

    // Reaches 3 pixels beyond the rectangle on the left, top and right, 4 below it.
    const HRGN hRegion =
        m_pDC->CreateRectRgn(m_rect.left - 3, m_rect.top - 3, m_rect.right + 4, m_rect.bottom + 5);
    if (hRegion) m_pDC->PaintRgn(hRegion);
    m_pDC->SetBkMode(TRANSPARENT);

    const BOOL bAxesDrawn = DrawAxes();
    if (bAxesDrawn) {
        for (int k = 0; k < m_nSeries; ++k) PlotSeries(m_series[k]);
    }

    m_pDC->SelectObject(hPreviousBrush);
    m_pDC->SelectObject(hPreviousPen);
    m_pDC->DeleteObject(hPen);
    m_pDC->DeleteObject(hBrush);
    if (hRegion) m_pDC->DeleteObject(hRegion);

    if (!bAxesDrawn) return FALSE;
    m_bPlotted = TRUE;
    return TRUE;
}

// The ranges are the extremes of every point of every series whose x and y are both finite
// (a NaN or infinite value cannot be placed on an axis); without such a point they are
// 0..1. Series without points are passed over.
void CGraph::AutoRange() {
    // Locals: the accessors and transforms are opaque calls that would otherwise force the
    // four fields to be reloaded and stored at every point.
    bool bFound = false;
    double dXMin = 0.0, dXMax = 1.0, dYMin = 0.0, dYMax = 1.0;
    for (int k = 0; k < m_nSeries; ++k) {
        const GraphSeries& series = m_series[k];
        double xMin, xMax, yMin, yMax;
        if (series.nCount > 0 && IsPlainDoubles(series) && series.nXStride == 1 &&
            series.nYStride == 1 &&
            ContiguousExtremes(static_cast<const unsigned char*>(series.pXData),
                               static_cast<const unsigned char*>(series.pYData), series.nCount,
                               xMin, xMax, yMin, yMax)) {
            dXMin = bFound && dXMin < xMin ? dXMin : xMin;
            dXMax = bFound && dXMax > xMax ? dXMax : xMax;
            dYMin = bFound && dYMin < yMin ? dYMin : yMin;
            dYMax = bFound && dYMax > yMax ? dYMax : yMax;
            bFound = true;
            continue;
        }
        ForEachPoint(series, [&](double x, double y) {
            if (!IsFinitePoint(x, y)) return;
            if (!bFound) {
                dXMin = dXMax = x;
                dYMin = dYMax = y;
                bFound = true;
                return;
            }
            if (x < dXMin) dXMin = x;
            else if (x > dXMax) dXMax = x;
            if (y < dYMin) dYMin = y;
            else if (y > dYMax) dYMax = y;
        });
    }
    m_dXMin = dXMin;
    m_dXMax = dXMax;
    m_dYMin = dYMin;
    m_dYMax = dYMax;
}

// Per point: line to it (when the series has lines), its marker, then back onto it for the
// next line. A point with a non-finite coordinate is skipped, and the line starts afresh at
// the next finite point, exactly as it starts at point 0: a move there, then (clipped mode)
// a fresh previous point for the clipping.
void CGraph::PlotSeries(const GraphSeries& series) {
    m_pfnMarker = MarkerForStyle(series.nStyle);
    if (m_bFixedRange) {
        PlotSeriesClipped(series);
        return;
    }
    const bool bLines = series.nStyle > 7;
    const bool bMoveBack = series.nStyle != 0;
    // Locals, so the surface's virtual calls cannot force the loop to reload them.
    CDC* const pDC = m_pDC;
    const GraphMarkerFn pfnMarker = m_pfnMarker;
    const GraphMapping map = Mapping();

    bool bLineStart = true;
    bool bDrawn = false;
    double dLastX = 0, dLastY = 0;
    int nLastPixX = 0, nLastPixY = 0;
    // Inlined into each of ForEachPoint's loops: this is the work of every point.
    ForEachPoint(series, [&](double x, double y) __attribute__((always_inline)) {
        if (!IsFinitePoint(x, y)) {
            bLineStart = true;
            return;
        }
        int nPixX, nPixY;
        map.Point(x, y, nPixX, nPixY);
        if (bLineStart) pDC->MoveTo(nPixX, nPixY);
        if (bLines) pDC->LineTo(nPixX, nPixY);
        pfnMarker(pDC, nPixX, nPixY);
        bLineStart = false;
        if (bMoveBack) pDC->MoveTo(nPixX, nPixY);
        dLastX = x;
        dLastY = y;
        nLastPixX = nPixX;
        nLastPixY = nPixY;
        bDrawn = true;
    });
    // The current point is the last one drawn, as if it had been kept all along.
    if (bDrawn) {
        m_dCurX = dLastX;
        m_dCurY = dLastY;
        m_nCurPixX = nLastPixX;
        m_nCurPixY = nLastPixY;
    }
}

void CGraph::PlotSeriesClipped(const GraphSeries& series) {
    const bool bLines = series.nStyle > 7;
    const bool bMoveBack = series.nStyle != 0;
    CDC* const pDC = m_pDC;
    const GraphMapping map = Mapping();

    bool bLineStart = true;
    ForEachPoint(series, [&](double x, double y) __attribute__((always_inline)) {
        if (!IsFinitePoint(x, y)) {
            bLineStart = true;
            return;
        }
        m_dCurX = x;
        m_dCurY = y;
        map.Point(x, y, m_nCurPixX, m_nCurPixY);

        if (bLineStart) {
            m_dPrevX = x;
            m_dPrevY = y;
            m_bPrevInside = IsInside(x, y);
            if (m_bPrevInside) pDC->MoveTo(m_nCurPixX, m_nCurPixY);
        }
        if (ClipSegment(bLines)) {
            if (bLines) pDC->LineTo(m_nCurPixX, m_nCurPixY);
            if (m_bCurInside) m_pfnMarker(pDC, m_nCurPixX, m_nCurPixY);
        } else if (bLineStart && bLines && m_bPrevInside) {
            // The first point of a line is a segment of no length for the clipping, which
            // reports nothing to draw; it is inside, so it gets its marker.
            m_pfnMarker(pDC, m_nCurPixX, m_nCurPixY);
        }
        bLineStart = false;
        if (bMoveBack) pDC->MoveTo(m_nCurPixX, m_nCurPixY);
    });
}
