#include <cmath>

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
    for (int k = 0; k < m_nSeries; ++k) {
        SeriesReader reader{m_series[k]};
        for (int i = 0; i < m_series[k].nCount; ++i) {
            double x, y;
            reader.Next(x, y);
            if (!IsFinitePoint(x, y)) continue;
            if (!bFound) {
                m_dXMin = m_dXMax = x;
                m_dYMin = m_dYMax = y;
                bFound = true;
                continue;
            }
            if (x < m_dXMin) m_dXMin = x;
            else if (x > m_dXMax) m_dXMax = x;
            if (y < m_dYMin) m_dYMin = y;
            else if (y > m_dYMax) m_dYMax = y;
        }
    }
    if (!bFound) {
        m_dXMin = 0.0;
        m_dXMax = 1.0;
        m_dYMin = 0.0;
        m_dYMax = 1.0;
    }
}

// Per point: line to it (when the series has lines), its marker, then back onto it for the
// next line. A point with a non-finite coordinate is skipped, and the line starts afresh at
// the next finite point, exactly as it starts at point 0: a move there, then (clipped mode)
// a fresh previous point for the clipping.
void CGraph::PlotSeries(const GraphSeries& series) {
    const bool bLines = series.nStyle > 7;
    const bool bMoveBack = series.nStyle != 0;
    m_pfnMarker = MarkerForStyle(series.nStyle);
    CDC* const pDC = m_pDC;

    SeriesReader reader{series};
    bool bLineStart = true;
    for (int i = 0; i < series.nCount; ++i) {
        double x, y;
        reader.Next(x, y);
        if (!IsFinitePoint(x, y)) {
            bLineStart = true;
            continue;
        }
        m_dCurX = x;
        m_nCurPixX = MapX(x);
        m_dCurY = y;
        m_nCurPixY = MapY(y);

        if (!m_bFixedRange) {
            if (bLineStart) pDC->MoveTo(m_nCurPixX, m_nCurPixY);
            if (bLines) pDC->LineTo(m_nCurPixX, m_nCurPixY);
            m_pfnMarker(pDC, m_nCurPixX, m_nCurPixY);
        } else {
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
                // The first point of a line is a segment of no length for the clipping,
                // which reports nothing to draw; it is inside, so it gets its marker.
                m_pfnMarker(pDC, m_nCurPixX, m_nCurPixY);
            }
        }
        bLineStart = false;
        if (bMoveBack) pDC->MoveTo(m_nCurPixX, m_nCurPixY);
    }
}
