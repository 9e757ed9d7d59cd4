#pragma once
// CGraph: one framed XY chart drawn into a rectangle of a drawing surface.
//
// A chart is short-lived: build it on a surface with a rectangle, add up to ten series of
// typed data, set the titles, Plot, discard. It owns its titles only; the surface and the
// series data belong to the caller and must stay valid until Plot returns. All geometry is
// in integer device pixels, x to the right, y downwards.

#include <cmath>
#include <string>

#include "graph/CDC.h"
#include "graph/GraphAccessors.h"
#include "graph/GraphMarkers.h"

// One series: point i reads x element i * nXStride and y element i * nYStride.
struct GraphSeries {
    int nCount = 0;
    const void* pXData = nullptr;
    const void* pYData = nullptr;
    int nStyle = 0;  // marker in the low three bits; above 7 also joins points with lines
    GraphAccessor pfnGetX = nullptr;
    GraphAccessor pfnGetY = nullptr;
    int nXStride = 0;  // in elements of the x type, not bytes
    int nYStride = 0;
    GraphTransform pfnXTransform = nullptr;
    GraphTransform pfnYTransform = nullptr;
};

// Device coordinates are clamped to +-kPixelLimit before the conversion to int, so values
// far outside the chart (or not finite) never overflow the conversion; NaN maps to
// -kPixelLimit, off every surface.
constexpr double kPixelLimit = 1e9;
inline int TruncToPixel(double d) {
    if (!(d > -kPixelLimit)) return static_cast<int>(-kPixelLimit);
    if (d >= kPixelLimit) return static_cast<int>(kPixelLimit);
    return static_cast<int>(d);
}

// The data-to-pixel mapping DrawAxes settles: a value's pixel is its distance from the range
// minimum times the pixels per unit, from the origin pixel (upwards for y), truncated toward
// zero. A copy, so a loop over many points keeps it in registers.
struct GraphMapping {
    double dXMin, dXFactor, dXOrigin;
    double dYMin, dYFactor, dYOrigin;
    int X(double x) const { return TruncToPixel((x - dXMin) * dXFactor + dXOrigin); }
    int Y(double y) const { return TruncToPixel(dYOrigin - (y - dYMin) * dYFactor); }
    // X(x) and Y(y) at once, with a single test for a point within reach of the int range.
    void Point(double x, double y, int& nPixX, int& nPixY) const {
        const double dx = (x - dXMin) * dXFactor + dXOrigin;
        const double dy = dYOrigin - (y - dYMin) * dYFactor;
        if (std::fabs(dx) < kPixelLimit && std::fabs(dy) < kPixelLimit) {
            nPixX = static_cast<int>(dx);
            nPixY = static_cast<int>(dy);
        } else {
            nPixX = TruncToPixel(dx);
            nPixY = TruncToPixel(dy);
        }
    }
};

class CGraph {
public:
    static constexpr int kMaxSeries = 10;

    // Keeps pDC (not owned) and a copy of rect, then Init.
    CGraph(CDC* pDC, const CRect& rect);
    ~CGraph() = default;

    // Restores the defaults: ranges 0..1, scale 1, margin divisors 40, no series, empty
    // titles, black foreground, white fill and background. Leaves the surface, the
    // rectangle, the accessor table, the series records and m_bFixedRange alone.
    void Init();

    // Appends one series; from the eleventh on, calls are ignored. Type codes outside 0..12
    // read unsigned char, a null transform is Identity, a negative count is stored as 0.
    // Clears m_bPlotted and m_bFixedRange. Pointers and strides are not checked: every
    // element i * stride for i below nCount must lie inside its data (codes 11 and 12
    // never touch the data).
    void AddSeries(int nCount, const void* pXData, const void* pYData, int nStyle, int nXType,
                   int nYType, int nXStride, int nYStride, GraphTransform pfnXTransform,
                   GraphTransform pfnYTransform);

    // An empty title takes no room and is not drawn.
    void SetTitles(std::string strXTitle, std::string strYTitle);

    // Data value to device pixel with the mapping DrawAxes set, truncated toward zero.
    GraphMapping Mapping() const {
        return {m_dXMin, m_dXFactor, static_cast<double>(m_nOriginX),
                m_dYMin, m_dYFactor, static_cast<double>(m_nOriginY)};
    }
    int MapX(double x) const { return Mapping().X(x); }
    int MapY(double y) const { return Mapping().Y(y); }

    // Draws the whole chart. FALSE when there is no series, a rectangle coordinate lies
    // beyond +-2^28, the surface cannot create the pen or brush, or the chart is too small
    // for a 10-pixel data area; the surface's pen, brush and font are the caller's again on
    // every return. Automatic ranges come from the points whose x and y are both finite
    // (0..1 without any: background and axes are drawn, TRUE). A point with a non-finite
    // coordinate is skipped and its line restarts at the next finite point. In fixed-range
    // mode the first point of a line gets its marker when it lies inside the ranges.
    BOOL Plot();

    // Frame, ticks, labels and titles; settles the ranges, m_rectPlot and the mapping.
    // FALSE (nothing drawn, mapping untouched) when the data area is under 10 pixels.
    BOOL DrawAxes();

    // Picks a 1-2-5 tick step giving at least nMinIntervals intervals, the first and last
    // tick, widens [dMin, dMax] to those ticks, and returns the label room in pixels (the
    // tallest label for chAxis 'x', else the widest, plus 6), measured in the selected
    // font. A range that cannot be stepped (not finite, reversed, empty, or too narrow for
    // its magnitude) is first made one, so every walk ends.
    int CalcAxisTicks(int chAxis, int nMinIntervals, double& dMin, double& dMax, double& dFirst,
                      double& dLast, double& dStep);

    // Cuts the segment from the previous to the current point (m_dPrevX/Y, m_bPrevInside;
    // m_dCurX/Y with their pixels in m_nCurPixX/Y) to the range box, fixed-range mode.
    // bLines 0: returns whether the current point is inside; nothing else changes.
    // Otherwise returns whether any of the segment lies in the box; then the surface's
    // current position is at the start of that visible piece (moved there when the piece
    // starts on an edge) and m_nCurPixX/Y hold its end, both in the direction of travel. A
    // segment shorter than 1e-200 on both axes returns FALSE and changes nothing; any other
    // makes the current point the previous one. Sets m_bCurInside.
    BOOL ClipSegment(BOOL bLines);

    // Whether (x, y) lies in the closed range box.
    BOOL IsInside(double x, double y) const {
        return m_dXMin <= x && x <= m_dXMax && m_dYMin <= y && y <= m_dYMax;
    }

    CDC* m_pDC = nullptr;
    GraphMarkerFn m_pfnMarker = nullptr;
    CRect m_rect;
    double m_dScale = 1.0;
    std::string m_strXTitle;
    std::string m_strYTitle;
    int m_nXMarginDiv = 40;
    int m_nYMarginDiv = 40;
    int m_nSeries = 0;
    GraphSeries m_series[kMaxSeries];
    BOOL m_bPlotted = FALSE;
    // Nonzero: Plot keeps the four ranges as the caller wrote them (after its last
    // AddSeries) and clips every segment to them.
    BOOL m_bFixedRange = FALSE;
    GraphAccessor m_pfnAccessor[kGraphTypeCodes] = {};
    double m_dXMin = 0.0;
    double m_dXMax = 1.0;
    double m_dYMin = 0.0;
    double m_dYMax = 1.0;
    double m_dXFactor = 0.0;  // pixels per x unit
    double m_dYFactor = 0.0;  // pixels per y unit
    int m_nCurPixX = 0;
    int m_nCurPixY = 0;
    int m_nOriginX = 0;  // pixel of m_dXMin
    int m_nOriginY = 0;  // pixel of m_dYMin
    double m_dPrevX = 0.0;
    double m_dPrevY = 0.0;
    double m_dIsectX = 0.0;  // the last point ClipSegment computed on an edge
    double m_dIsectY = 0.0;
    double m_dCurX = 0.0;
    double m_dCurY = 0.0;
    BOOL m_bPrevInside = FALSE;
    BOOL m_bCurInside = FALSE;
    CRect m_rectPlot;
    COLORREF m_crForeground = RGB(0, 0, 0);
    COLORREF m_crFill = RGB(255, 255, 255);
    COLORREF m_crBackground = RGB(255, 255, 255);

private:
    // Whether the previous and the current point lie beyond the same edge of the range box.
    bool BothBeyondOneEdge() const {
        return (m_dPrevX < m_dXMin && m_dCurX < m_dXMin) ||
               (m_dPrevX > m_dXMax && m_dCurX > m_dXMax) ||
               (m_dPrevY < m_dYMin && m_dCurY < m_dYMin) ||
               (m_dPrevY > m_dYMax && m_dCurY > m_dYMax);
    }
    void AutoRange();
    void PlotSeries(const GraphSeries& series);
    void PlotSeriesClipped(const GraphSeries& series);
};
