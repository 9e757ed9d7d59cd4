#include <cmath>

#include "graph/CGraph.h"
#include "graph/ChartText.h"
#include "graph/SeriesPoints.h"

namespace {

bool IsFinitePoint(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

// The pixels of a block's points, and which of them are finite, worked out before any of
// them is drawn: one point's arithmetic then does not wait behind the previous point's
// surface calls.
struct MappedBlock {
    int nPixX[kPointBlock];
    int nPixY[kPointBlock];
    bool bFinite[kPointBlock];

    void Map(const GraphMapping& map, const PointBlock& block) {
        for (int k = 0; k < block.n; ++k) {
            bFinite[k] = IsFinitePoint(block.x[k], block.y[k]);
            map.Point(block.x[k], block.y[k], nPixX[k], nPixY[k]);
        }
    }
};

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
    bool bFound = false;
    double dXMin = 0.0, dXMax = 1.0, dYMin = 0.0, dYMax = 1.0;
    PointBlock block;
    for (int k = 0; k < m_nSeries; ++k) {
        SeriesCursor cursor(m_series[k]);
        while (cursor.Next(block)) {
            double xMin, xMax, yMin, yMax;
            if (FiniteBlockExtremes(block, xMin, xMax, yMin, yMax)) {
                dXMin = bFound && dXMin < xMin ? dXMin : xMin;
                dXMax = bFound && dXMax > xMax ? dXMax : xMax;
                dYMin = bFound && dYMin < yMin ? dYMin : yMin;
                dYMax = bFound && dYMax > yMax ? dYMax : yMax;
                bFound = true;
                continue;
            }
            for (int i = 0; i < block.n; ++i) {
                const double x = block.x[i];
                const double y = block.y[i];
                if (!IsFinitePoint(x, y)) continue;
                if (!bFound) {
                    dXMin = dXMax = x;
                    dYMin = dYMax = y;
                    bFound = true;
                    continue;
                }
                if (x < dXMin)
                    dXMin = x;
                else if (x > dXMax)
                    dXMax = x;
                if (y < dYMin)
                    dYMin = y;
                else if (y > dYMax)
                    dYMax = y;
            }
        }
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
    PointBlock block;
    MappedBlock pixels;
    const auto drawPoints = [&](auto drawMarker) {
        SeriesCursor cursor(series);
        while (cursor.Next(block)) {
            pixels.Map(map, block);
            int nLast = -1;
            for (int k = 0; k < block.n; ++k) {
                if (!pixels.bFinite[k]) {
                    bLineStart = true;
                    continue;
                }
                const int x = pixels.nPixX[k], y = pixels.nPixY[k];
                if (bLineStart) pDC->MoveTo(x, y);
                if (bLines) pDC->LineTo(x, y);
                drawMarker(pDC, x, y);
                bLineStart = false;
                if (bMoveBack) pDC->MoveTo(x, y);
                nLast = k;
            }
            if (nLast >= 0) {
                dLastX = block.x[nLast];
                dLastY = block.y[nLast];
                nLastPixX = pixels.nPixX[nLast];
                nLastPixY = pixels.nPixY[nLast];
                bDrawn = true;
            }
        }
    };
    // The view's charts draw squares: called directly, the marker costs no indirect call.
    if (pfnMarker == DrawSquareMarker)
        drawPoints([](CDC* p, int x, int y) { DrawSquareMarker(p, x, y); });
    else
        drawPoints(pfnMarker);
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
    PointBlock block;
    MappedBlock pixels;
    SeriesCursor cursor(series);
    while (cursor.Next(block)) {
        pixels.Map(map, block);
        for (int k = 0; k < block.n; ++k) {
            if (!pixels.bFinite[k]) {
                bLineStart = true;
                continue;
            }
            const double x = block.x[k];
            const double y = block.y[k];
            m_dCurX = x;
            m_dCurY = y;
            m_nCurPixX = pixels.nPixX[k];
            m_nCurPixY = pixels.nPixY[k];

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
        }
    }
}
