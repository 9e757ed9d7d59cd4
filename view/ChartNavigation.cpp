#include "ChartNavigation.h"

#include <algorithm>
#include <cmath>
#include <optional>

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

namespace {
// What a zoom or pan of chart starts from: the views with every chart's ranges fixed as
// drawn; nothing when the pointer is over no drawn chart.
std::optional<ChartViews> Start(const ChartViews& views, const ChartMappings& drawn,
                                ChartId chart) {
    if (chart == ChartId::None || !MappingOf(drawn, chart).drawn) return std::nullopt;
    ChartViews start = Frozen(views, drawn);
    if (!IsZoomed(start)) return std::nullopt;
    return start;
}

// Both charts show the same times.
void SetTimes(ChartViews& views, double lo, double hi) {
    views.impedance.xMin = views.phase.xMin = lo;
    views.impedance.xMax = views.phase.xMax = hi;
}
}  // namespace

ChartViews ZoomTime(const ChartViews& views, const ChartMappings& drawn, ChartId chart, int px,
                    double factor) {
    std::optional<ChartViews> zoomed = Start(views, drawn, chart);
    if (!zoomed) return views;
    // The chart under the pointer says which time stays put.
    double lo = zoomed->impedance.xMin;
    double hi = zoomed->impedance.xMax;
    if (!ScaleAround(lo, hi, MappingOf(drawn, chart).DataX(px), factor)) return views;
    SetTimes(*zoomed, lo, hi);
    return *zoomed;
}

ChartViews ZoomValue(const ChartViews& views, const ChartMappings& drawn, ChartId chart, int py,
                     double factor) {
    std::optional<ChartViews> zoomed = Start(views, drawn, chart);
    if (!zoomed) return views;
    ChartRanges& ranges = RangesOf(*zoomed, chart);
    if (!ScaleAround(ranges.yMin, ranges.yMax, MappingOf(drawn, chart).DataY(py), factor)) {
        return views;
    }
    return *zoomed;
}

ChartViews Pan(const ChartViews& atPress, const ChartMappings& drawnAtPress, ChartId chart, int dx,
               int dy) {
    std::optional<ChartViews> panned = Start(atPress, drawnAtPress, chart);
    if (!panned) return atPress;
    const ChartMapping& mapping = MappingOf(drawnAtPress, chart);
    // Pointer right by dx: earlier times come into view; down by dy: higher values do.
    double lo = panned->impedance.xMin;
    double hi = panned->impedance.xMax;
    if (dx != 0 && Shift(lo, hi, -dx / mapping.xFactor)) SetTimes(*panned, lo, hi);
    ChartRanges& ranges = RangesOf(*panned, chart);
    if (dy != 0) Shift(ranges.yMin, ranges.yMax, dy / mapping.yFactor);
    return *panned;
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
