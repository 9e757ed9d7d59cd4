#include "graph/AxisTicks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "graph/CGraph.h"
#include "graph/ChartText.h"

double AxisStep(double dRange, int nMinIntervals) {
    const double dDecade = std::pow(10.0, std::floor(std::log10(dRange / nMinIntervals)));
    const double dRatio = dRange / dDecade;
    if (dRatio > 5 * nMinIntervals) return 5 * dDecade;
    if (dRatio > 2 * nMinIntervals) return 2 * dDecade;
    return dDecade;
}

bool IsSteppableRange(double dMin, double dMax, int nMinIntervals) {
    if (!std::isfinite(dMin) || !std::isfinite(dMax)) return false;
    const double dRange = dMax - dMin;
    if (!std::isfinite(dRange) || !(dRange >= kMinAxisRange)) return false;
    const double dStep = AxisStep(dRange, nMinIntervals);
    if (!std::isfinite(dStep) || !(dStep > 0)) return false;
    // Adding the step moves v as long as it exceeds half the spacing of doubles at v; the
    // spacing just above the largest magnitude bounds every spacing below it.
    const double dReach = std::max(std::fabs(dMin), std::fabs(dMax)) + 2 * dStep;
    const double dSpacing = std::nextafter(dReach, HUGE_VAL) - dReach;
    return dStep > dSpacing / 2;
}

void WidenEmptyRange(double& dMin, double& dMax) {
    dMax += std::fabs(dMax) + 1;
    dMin -= std::fabs(dMin) + 1;
}

void MakeSteppableRange(double& dMin, double& dMax, int nMinIntervals) {
    if (IsSteppableRange(dMin, dMax, nMinIntervals)) return;
    if (!std::isfinite(dMin) || !std::isfinite(dMax)) {
        dMin = 0.0;
        dMax = 1.0;
        return;
    }
    dMin = std::clamp(dMin, -kAxisLimit, kAxisLimit);
    dMax = std::clamp(dMax, -kAxisLimit, kAxisLimit);
    if (dMax < dMin) std::swap(dMin, dMax);
    // Widening reaches at least the bounds' magnitude on each side, so the step becomes a
    // sizeable fraction of the magnitude; the bounds stay under 2 * kAxisLimit + 1.
    if (!IsSteppableRange(dMin, dMax, nMinIntervals)) WidenEmptyRange(dMin, dMax);
}

int FormatTickLabel(char (&szLabel)[kTickLabelSize], double v, double dStep) {
    const double dLabel = std::fabs(v) < dStep / 4 ? 0.0 : v;
    const int n = std::snprintf(szLabel, kTickLabelSize, "%g", dLabel);
    return std::clamp(n, 0, kTickLabelSize - 1);
}

int CGraph::CalcAxisTicks(int chAxis, int nMinIntervals, double& dMin, double& dMax, double& dFirst,
                          double& dLast, double& dStep) {
    const int nIntervals = std::clamp(nMinIntervals, 1, kMaxMinIntervals);
    MakeSteppableRange(dMin, dMax, nIntervals);
    dStep = AxisStep(dMax - dMin, nIntervals);

    // Start more than one step above dMin and walk down to the tick that ends the range.
    const double dTolerance = dStep * kTickEndTolerance;
    dFirst = dStep * std::floor(dMin / dStep + 2);
    for (int n = 0; n < kMaxTicks && std::fabs(dMin - dFirst) > dTolerance; ++n) dFirst -= dStep;
    dLast = dFirst;
    for (int n = 0; n < kMaxTicks && std::fabs(dMax - dLast) > dTolerance; ++n) dLast += dStep;
    if (dFirst < dMin) dMin = dFirst;
    if (dLast > dMax) dMax = dLast;

    int nRoom = 0;
    char szLabel[kTickLabelSize];
    double v = dFirst;
    for (int n = 0; n < kMaxTicks && v < dLast + dStep / 2; ++n) {
        const int nLength = FormatTickLabel(szLabel, v, dStep);
        const CSize size = MeasureText(m_pDC, szLabel, nLength);
        nRoom = std::max(nRoom, chAxis == 'x' ? size.cy : size.cx);
        v += dStep;
    }
    return nRoom + 6;
}
