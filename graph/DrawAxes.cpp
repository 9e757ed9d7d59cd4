#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "graph/AxisTicks.h"
#include "graph/CGraph.h"
#include "graph/ChartText.h"

namespace {

constexpr int kMinDataArea = 10;  // pixels, each way
constexpr double kOneThird = 1.0 / 3.0;

int TitleLength(const std::string& str) {
    return static_cast<int>(std::min<std::size_t>(str.size(), INT_MAX));
}

}  // namespace

BOOL CGraph::DrawAxes() {
    // Every layout sum below stays far from the int limits only for rectangles in range.
    if (!IsChartRectInRange(m_rect)) return FALSE;

    const CRect& R = m_rect;
    const double s = m_dScale;
    // (int) truncation, kept within the text size limit whatever scale a caller sets.
    const int nLabelHeight =
        std::clamp(TruncToPixel(12 * s + 0.5), -kMaxTextExtent, kMaxTextExtent);
    const int nTitleHeight =
        std::clamp(TruncToPixel(15 * s + 0.5), -kMaxTextExtent, kMaxTextExtent);

    CRect F;
    CRect A = R;
    int nTick = 0;
    double xFirst = 0, xLast = 0, xStep = 1, yFirst = 0, yLast = 0, yStep = 1;
    {
        ScopedFont labelFont(m_pDC, MakeChartFont(nLabelHeight, 0));

        // Bounds beyond kAxisLimit would widen to infinity; CalcAxisTicks clamps and then
        // widens those.
        if (m_dXMax == m_dXMin && std::fabs(m_dXMin) <= kAxisLimit)
            WidenEmptyRange(m_dXMin, m_dXMax);
        if (m_dYMax == m_dYMin && std::fabs(m_dYMin) <= kAxisLimit)
            WidenEmptyRange(m_dYMin, m_dYMax);

        if (!m_strXTitle.empty()) A.bottom -= nTitleHeight;
        if (!m_strYTitle.empty()) A.left += nTitleHeight;

        // A zero divisor (the fields are public) means no margin rather than a division by 0.
        const int mx = m_nXMarginDiv != 0 ? (R.right - R.left) / m_nXMarginDiv : 0;
        const int my = m_nYMarginDiv != 0 ? (R.bottom - R.top) / m_nYMarginDiv : 0;

        const int wy = CalcAxisTicks('y', 3, m_dYMin, m_dYMax, yFirst, yLast, yStep);
        const int hx = CalcAxisTicks('x', 3, m_dXMin, m_dXMax, xFirst, xLast, xStep);

        // Only the labels' height is kept under the frame; the 6 of hx is not.
        F = CRect{A.left + wy, R.top, R.right, A.bottom - hx + 6};
        m_rectPlot = F;

        const int x0 = F.left + mx;
        int x1 = F.right - mx;
        const int y0 = F.top + my;
        const int y1 = F.bottom - my;

        // Pull the data area's right end in when the last x label, centred under its tick,
        // would pass the chart's right edge.
        char szLabel[kTickLabelSize];
        int nLength = std::snprintf(szLabel, sizeof szLabel, "%g", xLast);
        nLength = std::clamp(nLength, 0, kTickLabelSize - 1);
        const int cxLast = MeasureText(m_pDC, szLabel, nLength).cx;
        const int p = TruncToPixel((xLast - m_dXMin) * (x1 - x0) / (m_dXMax - m_dXMin) + 0.5);
        const int over = R.right - (x0 + p + cxLast / 2 + 1);
        if (over < 0) x1 += over;

        if (x1 - x0 < kMinDataArea || y1 - y0 < kMinDataArea) return FALSE;

        m_dXFactor = (x1 - x0) / (m_dXMax - m_dXMin);
        m_nOriginX = x0;
        m_dYFactor = (y1 - y0) / (m_dYMax - m_dYMin);
        m_nOriginY = y1;

        m_pDC->Rectangle(F.left, F.top, F.right + 1, F.bottom + 1);

        nTick = std::max((R.right - R.left) / 100, 3);

        // The walks visit the same ticks as CalcAxisTicks, with a third of a step as the
        // tolerance; the body runs at least once and never more than kMaxTicks times.
        double v = xFirst;
        int n = 0;
        do {
            const int px = TruncToPixel((v - m_dXMin) * m_dXFactor + m_nOriginX + 0.5);
            m_pDC->MoveTo(px, F.top);
            m_pDC->LineTo(px, F.top + nTick);
            m_pDC->MoveTo(px, F.bottom);
            m_pDC->LineTo(px, F.bottom - nTick);
            nLength = FormatTickLabel(szLabel, v, xStep);
            const CSize size = MeasureText(m_pDC, szLabel, nLength);
            m_pDC->TextOut(px - size.cx / 2, F.bottom + size.cy / 6, szLabel, nLength);
            v += xStep;
        } while (++n < kMaxTicks && v < xLast + xStep * kOneThird);

        v = yFirst;
        n = 0;
        do {
            const int py = TruncToPixel(m_nOriginY - (v - m_dYMin) * m_dYFactor + 0.5);
            m_pDC->MoveTo(F.left, py);
            m_pDC->LineTo(F.left + nTick, py);
            m_pDC->MoveTo(F.right, py);
            m_pDC->LineTo(F.right - nTick, py);
            nLength = FormatTickLabel(szLabel, v, yStep);
            const CSize size = MeasureText(m_pDC, szLabel, nLength);
            m_pDC->TextOut((A.left + F.left - size.cx) / 2, py - size.cy / 2, szLabel, nLength);
            v += yStep;
        } while (++n < kMaxTicks && v < yLast + yStep * kOneThird);
    }

    if (!m_strXTitle.empty()) {
        ScopedFont titleFont(m_pDC, MakeChartFont(nTitleHeight, 0));
        m_pDC->DrawText(m_strXTitle.c_str(), TitleLength(m_strXTitle),
                        CRect{F.left, A.bottom, R.right, R.bottom},
                        DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    if (!m_strYTitle.empty()) {
        ScopedFont titleFont(m_pDC, MakeChartFont(nTitleHeight, 900));
        const int nLength = TitleLength(m_strYTitle);
        const int cx = MeasureText(m_pDC, m_strYTitle.c_str(), nLength).cx;
        // The text box's top-left corner turned upwards: the title ends at the top.
        m_pDC->TextOut(R.left, (A.top + A.bottom + cx) / 2, m_strYTitle.c_str(), nLength);
    }
    return TRUE;
}
