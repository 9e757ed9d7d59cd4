#include <algorithm>
#include <cmath>

#include "graph/CGraph.h"

namespace {

// A difference at most this large in magnitude counts as zero: the segment does not move
// along that axis.
constexpr double kDegenerate = 1e-200;

enum class Edge { None, Left, Right, Bottom, Top };

// Where the coordinate equals v along the move from a to b (0 at a, 1 at b); a != b. Near
// the double limit the difference of two coordinates may overflow; halving all three is
// exact there and keeps the quotient.
double ParamAt(double v, double a, double b) {
    double num = v - a;
    double den = b - a;
    if (!std::isfinite(num) || !std::isfinite(den)) {
        num = 0.5 * v - 0.5 * a;
        den = 0.5 * b - 0.5 * a;
    }
    return num / den;
}

// The coordinate at parameter t (0..1) of the move from a to b, kept in [lo, hi]: the point
// lies on the box, and rounding must not put it a hair outside.
double CoordAt(double t, double a, double b, double lo, double hi) {
    const double d = b - a;
    const double c = std::isfinite(d) ? a + t * d : a + 2.0 * (t * (0.5 * b - 0.5 * a));
    return std::min(std::max(c, lo), hi);
}

// The piece of a segment inside the box, as the parameters where it starts and ends
// (0 = previous point, 1 = current point) and the edge each lies on (None: the segment's own
// end, or an end lost to rounding).
struct VisiblePiece {
    double tStart = 0.0;
    Edge startEdge = Edge::None;
    double tEnd = 1.0;
    Edge endEdge = Edge::None;
};

// Narrows [0, 1] to the parameters whose point lies between lo and hi on one axis, the move
// along it going from a to b. An axis without movement keeps all or nothing.
bool NarrowToAxis(VisiblePiece& piece, bool bMoves, double a, double b, double lo, double hi,
                  Edge loEdge, Edge hiEdge) {
    if (!bMoves) return std::max(std::min(a, b), lo) <= std::min(std::max(a, b), hi);
    const bool bIncreasing = b > a;
    // Rounding is monotonic, so an end inside the box never yields a parameter beyond it.
    const double tIn = ParamAt(bIncreasing ? lo : hi, a, b);
    const double tOut = ParamAt(bIncreasing ? hi : lo, a, b);
    if (tIn > piece.tStart) {
        piece.tStart = tIn;
        piece.startEdge = bIncreasing ? loEdge : hiEdge;
    }
    if (tOut < piece.tEnd) {
        piece.tEnd = tOut;
        piece.endEdge = bIncreasing ? hiEdge : loEdge;
    }
    return true;
}

// The point of the segment prev -> cur of chart at parameter t, written into m_dIsectX/Y:
// exactly on its edge along that edge's axis, computed (and kept within the box) along the
// other.
void SetEdgePoint(CGraph& chart, double t, Edge edge) {
    chart.m_dIsectX = edge == Edge::Left ? chart.m_dXMin
                      : edge == Edge::Right
                          ? chart.m_dXMax
                          : CoordAt(t, chart.m_dPrevX, chart.m_dCurX, chart.m_dXMin, chart.m_dXMax);
    chart.m_dIsectY = edge == Edge::Bottom ? chart.m_dYMin
                      : edge == Edge::Top
                          ? chart.m_dYMax
                          : CoordAt(t, chart.m_dPrevY, chart.m_dCurY, chart.m_dYMin, chart.m_dYMax);
}

}  // namespace

BOOL CGraph::ClipSegment(BOOL bLines) {
    if (!bLines) {
        m_nCurPixX = MapX(m_dCurX);
        m_nCurPixY = MapY(m_dCurY);
        m_bCurInside = IsInside(m_dCurX, m_dCurY);
        return m_bCurInside;
    }

    // An overflowing difference is infinite, and so counts as movement.
    const bool bMovesX = !(std::fabs(m_dCurX - m_dPrevX) <= kDegenerate);
    const bool bMovesY = !(std::fabs(m_dCurY - m_dPrevY) <= kDegenerate);
    if (!bMovesX && !bMovesY) return FALSE;

    m_bCurInside = IsInside(m_dCurX, m_dCurY);
    if (m_bCurInside) {
        m_nCurPixX = MapX(m_dCurX);
        m_nCurPixY = MapY(m_dCurY);
    }

    BOOL bResult = FALSE;
    if (m_bPrevInside && m_bCurInside) {
        bResult = TRUE;
    } else if (BothBeyondOneEdge()) {
        // Nothing of it can be inside; the common case of a zoomed chart, decided without
        // a division.
    } else {
        // Both axes at once: where the segment is inside on x and on y (each end's
        // parameter from the edge ahead of it in the direction of travel).
        VisiblePiece piece;
        if (NarrowToAxis(piece, bMovesX, m_dPrevX, m_dCurX, m_dXMin, m_dXMax, Edge::Left,
                         Edge::Right) &&
            NarrowToAxis(piece, bMovesY, m_dPrevY, m_dCurY, m_dYMin, m_dYMax, Edge::Bottom,
                         Edge::Top) &&
            piece.tStart <= piece.tEnd) {
            if (!m_bPrevInside) {
                SetEdgePoint(*this, piece.tStart, piece.startEdge);
                m_pDC->MoveTo(MapX(m_dIsectX), MapY(m_dIsectY));
            }
            if (!m_bCurInside) {
                SetEdgePoint(*this, piece.tEnd, piece.endEdge);
                m_nCurPixX = MapX(m_dIsectX);
                m_nCurPixY = MapY(m_dIsectY);
            }
            bResult = TRUE;
        }
    }

    m_dPrevX = m_dCurX;
    m_dPrevY = m_dCurY;
    m_bPrevInside = m_bCurInside;
    return bResult;
}
