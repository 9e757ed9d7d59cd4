#include "SampleReadout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
// h:mm:ss of a time in minutes, to the nearest second; hours grow past 24.
std::string ClockTime(double timeMinutes) {
    const double seconds = std::round(timeMinutes * 60.0);
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e15) return "?";
    const long long whole = std::llround(std::fabs(seconds));
    char text[48];
    std::snprintf(text, sizeof text, "%s%lld:%02lld:%02lld", seconds < 0 ? "-" : "", whole / 3600,
                  whole / 60 % 60, whole % 60);
    return text;
}
}  // namespace

int NearestSampleByTime(const double* timeMinutes, int count, double minutes, bool sorted) {
    if (count < 1 || !timeMinutes) return -1;
    if (sorted) {
        const double* end = timeMinutes + count;
        const double* after = std::lower_bound(timeMinutes, end, minutes);
        if (after == timeMinutes) return 0;
        if (after == end) return count - 1;
        const double* before = after - 1;
        return static_cast<int>((minutes - *before <= *after - minutes ? before : after) -
                                timeMinutes);
    }
    int best = 0;
    double bestDistance = std::fabs(timeMinutes[0] - minutes);
    for (int i = 1; i < count; ++i) {
        const double distance = std::fabs(timeMinutes[i] - minutes);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

std::string FormatSampleReadout(ChartId chart, double timeMinutes, double value) {
    char text[160];
    std::snprintf(text, sizeof text, "Time %.3f min (%s), %s %.6g%s", timeMinutes,
                  ClockTime(timeMinutes).c_str(), chart == ChartId::Phase ? "Phase" : "Impedance",
                  value, chart == ChartId::Phase ? "" : " Ohm");
    return text;
}
