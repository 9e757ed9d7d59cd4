#include <cmath>

#include "graph/CGraph.h"

namespace {

// A difference at most this large in magnitude counts as zero.
constexpr double kDegenerate = 1e-200;

// Inclusive at both ends, whichever of a and b is larger.
bool Between(double v, double a, double b) { return a < b ? (a <= v && v <= b) : (b <= v && v <= a); }

}  // namespace

BOOL CGraph::IntersectNone(double /*v*/) { return FALSE; }

BOOL CGraph::IntersectFlatVert(double v) {
    m_dIsectX = v;
    m_dIsectY = m_dPrevY;
    if (!(m_dYMin <= m_dPrevY && m_dPrevY <= m_dYMax)) return FALSE;
    return Between(v, m_dPrevX, m_dCurX);
}

BOOL CGraph::IntersectUprightHorz(double v) {
    m_dIsectX = m_dPrevX;
    m_dIsectY = v;
    if (!(m_dXMin <= m_dPrevX && m_dPrevX <= m_dXMax)) return FALSE;
    return Between(v, m_dPrevY, m_dCurY);
}

BOOL CGraph::IntersectSlopedVert(double v) {
    m_dIsectX = v;
    m_dIsectY = (v - m_dPrevX) * m_dSlope + m_dPrevY;
    if (!(m_dYMin <= m_dIsectY && m_dIsectY <= m_dYMax)) return FALSE;
    return Between(m_dIsectY, m_dPrevY, m_dCurY);
}

BOOL CGraph::IntersectSlopedHorz(double v) {
    m_dIsectX = (v - m_dPrevY) / m_dSlope + m_dPrevX;
    m_dIsectY = v;
    if (!(m_dXMin <= m_dIsectX && m_dIsectX <= m_dXMax)) return FALSE;
    return Between(m_dIsectX, m_dPrevX, m_dCurX);
}

BOOL CGraph::ClipSegment(BOOL bLines) {
    if (!bLines) {
        m_nCurPixX = MapX(m_dCurX);
        m_nCurPixY = MapY(m_dCurY);
        m_bCurInside = IsInside(m_dCurX, m_dCurY);
        return m_bCurInside;
    }

    const double dx = m_dCurX - m_dPrevX;
    const double dy = m_dCurY - m_dPrevY;
    const bool bFlatX = std::fabs(dx) <= kDegenerate;
    const bool bFlatY = std::fabs(dy) <= kDegenerate;
    if (bFlatX && bFlatY) return FALSE;

    if (bFlatX) {
        m_pfnEdgeX = &CGraph::IntersectNone;
        m_pfnEdgeY = &CGraph::IntersectUprightHorz;
    } else if (bFlatY) {
        m_pfnEdgeX = &CGraph::IntersectFlatVert;
        m_pfnEdgeY = &CGraph::IntersectNone;
    } else {
        m_dSlope = dy / dx;
        if (m_dSlope == 0) {
            // dy is tiny against a huge dx: the slope underflowed, treat it as horizontal.
            m_pfnEdgeX = &CGraph::IntersectFlatVert;
            m_pfnEdgeY = &CGraph::IntersectNone;
        } else if (!std::isfinite(m_dSlope)) {
            // dx is tiny against a huge dy (or both overflowed): treat it as vertical.
            m_pfnEdgeX = &CGraph::IntersectNone;
            m_pfnEdgeY = &CGraph::IntersectUprightHorz;
        } else {
            m_pfnEdgeX = &CGraph::IntersectSlopedVert;
            m_pfnEdgeY = &CGraph::IntersectSlopedHorz;
        }
    }

    m_bCurInside = IsInside(m_dCurX, m_dCurY);
    if (m_bCurInside) {
        m_nCurPixX = MapX(m_dCurX);
        m_nCurPixY = MapY(m_dCurY);
    }

    // Edges in their fixed order: bottom, top, left, right of the range box.
    const GraphEdgeTest pfnEdge[4] = {m_pfnEdgeY, m_pfnEdgeY, m_pfnEdgeX, m_pfnEdgeX};
    const double dEdge[4] = {m_dYMin, m_dYMax, m_dXMin, m_dXMax};

    BOOL bResult = FALSE;
    if (m_bPrevInside && m_bCurInside) {
        bResult = TRUE;
    } else if (m_bPrevInside || m_bCurInside) {
        for (int e = 0; e < 4; ++e) {
            if (!(this->*pfnEdge[e])(dEdge[e])) continue;
            if (m_bPrevInside) {
                // Leaving: the visible piece ends on the edge.
                m_nCurPixX = MapX(m_dIsectX);
                m_nCurPixY = MapY(m_dIsectY);
            } else {
                // Entering: the visible piece starts on the edge.
                m_pDC->MoveTo(MapX(m_dIsectX), MapY(m_dIsectY));
            }
            bResult = TRUE;
            break;
        }
    } else {
        bool bFirstFound = false;
        for (int e = 0; e < 4; ++e) {
            if (!(this->*pfnEdge[e])(dEdge[e])) continue;
            if (!bFirstFound) {
                m_pDC->MoveTo(MapX(m_dIsectX), MapY(m_dIsectY));
                bFirstFound = true;
            } else {
                m_nCurPixX = MapX(m_dIsectX);
                m_nCurPixY = MapY(m_dIsectY);
                bResult = TRUE;
                break;
            }
        }
    }

    m_dPrevX = m_dCurX;
    m_dPrevY = m_dCurY;
    m_bPrevInside = m_bCurInside;
    return bResult;
}
