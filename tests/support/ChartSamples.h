#pragma once
// Samples shaped like a long run, for the chart benchmarks and the paint tests: a dense,
// noisy, slowly drifting impedance and phase over a time axis that grows by 2 s a sample.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <random>
#include <vector>

#include "view/MeasurementPainter.h"

// As the sample store holds them: time in minutes (increasing), impedance in ohm, phase in
// degrees.
struct ChartSamples {
    std::vector<double> timeMinutes;
    std::vector<double> impedance;
    std::vector<double> phase;
};

// n samples, one every 2 s: impedance about 1e5 ohm drifting by a few percent with +-1 %
// noise, phase about -30 degrees with +-0.5 degree noise; the same for every call with the
// same n (fixed seed).
inline ChartSamples MakeChartSamples(int n) {
    ChartSamples s;
    const auto size = static_cast<std::size_t>(n > 0 ? n : 0);
    s.timeMinutes.resize(size);
    s.impedance.resize(size);
    s.phase.resize(size);
    std::mt19937 generator(20261211u);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const double kPi = 3.14159265358979323846;
    for (std::size_t k = 0; k < size; ++k) {
        const double progress =
            size > 1 ? static_cast<double>(k) / static_cast<double>(size - 1) : 0.0;
        const double drift = 1.0 + 0.05 * std::sin(2.0 * kPi * progress) - 0.03 * progress;
        s.timeMinutes[k] = static_cast<double>(k) * 2.0 / 60.0;
        s.impedance[k] = 1e5 * drift * (1.0 + 0.01 * unit(generator));
        s.phase[k] = -30.0 + 2.0 * std::sin(2.0 * kPi * progress) + 0.5 * unit(generator);
    }
    return s;
}

// The samples as the view's painter reads them; they stay owned by samples.
inline SampleSeries AsSeries(const ChartSamples& samples) {
    return {samples.timeMinutes.data(), samples.impedance.data(), samples.phase.data(),
            static_cast<int>(samples.timeMinutes.size())};
}

// Both charts zoomed in on the middle tenth of the time axis, each over the span of its
// values there: what a user sees after zooming into the middle of a run.
inline ChartViews MiddleTenthViews(const ChartSamples& samples) {
    ChartViews views;
    if (samples.timeMinutes.empty()) return views;
    const double t0 = samples.timeMinutes.front();
    const double span = samples.timeMinutes.back() - t0;
    const double xMin = t0 + 0.45 * span;
    const double xMax = t0 + 0.55 * span;
    views.impedance = {true, xMin, xMax, HUGE_VAL, -HUGE_VAL};
    views.phase = {true, xMin, xMax, HUGE_VAL, -HUGE_VAL};
    for (std::size_t k = 0; k < samples.timeMinutes.size(); ++k) {
        if (samples.timeMinutes[k] < xMin || samples.timeMinutes[k] > xMax) continue;
        views.impedance.yMin = std::min(views.impedance.yMin, samples.impedance[k]);
        views.impedance.yMax = std::max(views.impedance.yMax, samples.impedance[k]);
        views.phase.yMin = std::min(views.phase.yMin, samples.phase[k]);
        views.phase.yMax = std::max(views.phase.yMax, samples.phase[k]);
    }
    return views;
}
