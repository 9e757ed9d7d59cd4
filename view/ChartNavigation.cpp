#include "ChartNavigation.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kZoomPerNotch = 0.8;
constexpr double kWheelNotch = 120.0;
// A range narrower than this fraction of its magnitude would give "%g" tick labels that
// all read the same; the absolute floor serves ranges around zero.
constexpr double kMinRelativeWidth = 1e-4;
constexpr double kMinWidth = 1e-12;
// Far beyond any measured value, far below the chart engine's own limits.
constexpr double kMaxBound = 1e100;

double Magnitude(double a, double b) { return std::max(std::fabs(a), std::fabs(b)); }

// [lo, hi] scaled by factor around centre, kept within the limits above. False when the
// result would not be a usable range (then lo and hi are unchanged).
bool ScaleAround(double& lo, double& hi, double centre, double factor) {
    if (!std::isfinite(centre) || !(factor > 0) || !std::isfinite(factor)) return false;
    double newLo = centre - (centre - lo) * factor;
    double newHi = centre + (hi - centre) * factor;
    const double minWidth = std::max(kMinWidth, Magnitude(newLo, newHi) * kMinRelativeWidth);
    if (newHi - newLo < minWidth) {
        if (hi - lo <= minWidth) return false;  // as narrow as it goes already
        const double keep = minWidth / (hi - lo);
        newLo = centre - (centre - lo) * keep;
        newHi = centre + (hi - centre) * keep;
    }
    if (!(newLo < newHi) || Magnitude(newLo, newHi) > kMaxBound) return false;
    lo = newLo;
    hi = newHi;
    return true;
}

bool Shift(double& lo, double& hi, double by) {
    if (!std::isfinite(by)) return false;
    const double newLo = lo + by;
    const double newHi = hi + by;
    if (!(newLo < newHi) || Magnitude(newLo, newHi) > kMaxBound) return false;
    lo = newLo;
    hi = newHi;
    return true;
}

ChartRanges RangesFrom(const ChartMapping& mapping) {
    return {true, mapping.xMin, mapping.xMax, mapping.yMin, mapping.yMax};
}
}  // namespace

ChartId ChartAt(const ChartMappings& drawn, int x, int y) {
    if (drawn.impedance.Contains(x, y)) return ChartId::Impedance;
    if (drawn.phase.Contains(x, y)) return ChartId::Phase;
    return ChartId::None;
}

const ChartMapping& MappingOf(const ChartMappings& drawn, ChartId chart) {
    return chart == ChartId::Phase ? drawn.phase : drawn.impedance;
}

ChartRanges& RangesOf(ChartViews& views, ChartId chart) {
    return chart == ChartId::Phase ? views.phase : views.impedance;
}

bool IsZoomed(const ChartViews& views) { return views.impedance.fixed || views.phase.fixed; }

ChartViews Frozen(const ChartViews& views, const ChartMappings& drawn) {
    if (!drawn.impedance.drawn || !drawn.phase.drawn) return views;
    ChartViews frozen = views;
    if (!frozen.impedance.fixed) frozen.impedance = RangesFrom(drawn.impedance);
    if (!frozen.phase.fixed) frozen.phase = RangesFrom(drawn.phase);
    return frozen;
}

ChartViews ZoomTime(const ChartViews& views, const ChartMappings& drawn, ChartId chart, int px,
                    double factor) {
    const ChartMapping& mapping = MappingOf(drawn, chart);
    ChartViews zoomed = Frozen(views, drawn);
    if (chart == ChartId::None || !mapping.drawn || !IsZoomed(zoomed)) return views;
    // Both charts show the same times; the one under the pointer says which.
    double lo = zoomed.impedance.xMin;
    double hi = zoomed.impedance.xMax;
    if (!ScaleAround(lo, hi, mapping.DataX(px), factor)) return views;
    zoomed.impedance.xMin = zoomed.phase.xMin = lo;
    zoomed.impedance.xMax = zoomed.phase.xMax = hi;
    return zoomed;
}

ChartViews ZoomValue(const ChartViews& views, const ChartMappings& drawn, ChartId chart, int py,
                     double factor) {
    const ChartMapping& mapping = MappingOf(drawn, chart);
    ChartViews zoomed = Frozen(views, drawn);
    if (chart == ChartId::None || !mapping.drawn || !IsZoomed(zoomed)) return views;
    ChartRanges& ranges = RangesOf(zoomed, chart);
    if (!ScaleAround(ranges.yMin, ranges.yMax, mapping.DataY(py), factor)) return views;
    return zoomed;
}

ChartViews Pan(const ChartViews& atPress, const ChartMappings& drawnAtPress, ChartId chart, int dx,
               int dy) {
    const ChartMapping& mapping = MappingOf(drawnAtPress, chart);
    ChartViews panned = Frozen(atPress, drawnAtPress);
    if (chart == ChartId::None || !mapping.drawn || !IsZoomed(panned)) return atPress;
    // Pointer right by dx: earlier times come into view; down by dy: higher values do.
    double lo = panned.impedance.xMin;
    double hi = panned.impedance.xMax;
    if (dx != 0 && Shift(lo, hi, -dx / mapping.xFactor)) {
        panned.impedance.xMin = panned.phase.xMin = lo;
        panned.impedance.xMax = panned.phase.xMax = hi;
    }
    ChartRanges& ranges = RangesOf(panned, chart);
    if (dy != 0) Shift(ranges.yMin, ranges.yMax, dy / mapping.yFactor);
    return panned;
}

ChartViews WithLogImpedance(const ChartViews& views, bool on, const SampleSeries& samples) {
    ChartViews changed = views;
    changed.logImpedance = on;
    ChartRanges& ranges = changed.impedance;
    if (!ranges.fixed || views.logImpedance == on) return changed;
    double lo = on ? std::log10(ranges.yMin) : std::pow(10.0, ranges.yMin);
    double hi = on ? std::log10(ranges.yMax) : std::pow(10.0, ranges.yMax);
    if (!(std::isfinite(lo) && std::isfinite(hi) && lo < hi)) {
        // No logarithm of the lower end (or no power that fits a double): the extent of the
        // impedances the new axis can show instead.
        bool found = false;
        for (int i = 0; i < samples.count; ++i) {
            const double value = on ? std::log10(samples.impedance[i]) : samples.impedance[i];
            if (!std::isfinite(value)) continue;
            lo = found ? std::min(lo, value) : value;
            hi = found ? std::max(hi, value) : value;
            found = true;
        }
        if (!found) {
            lo = 0.0;
            hi = 1.0;
        }
    }
    ranges.yMin = lo;
    ranges.yMax = hi;
    return changed;
}

double WheelZoomFactor(int angleDelta) {
    return std::pow(kZoomPerNotch, std::clamp(angleDelta, -2400, 2400) / kWheelNotch);
}
