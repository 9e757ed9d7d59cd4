#include "bench/ChartWorkload.h"

#include "graph/CGraph.h"

#include <cmath>
#include <cstdio>
#include <random>

ChartSamples MakeChartSamples(int n) {
    ChartSamples s;
    s.timeMinutes.resize(static_cast<std::size_t>(n));
    s.impedance.resize(static_cast<std::size_t>(n));
    s.phase.resize(static_cast<std::size_t>(n));
    std::mt19937 generator(20261211u);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const double kPi = 3.14159265358979323846;
    for (int i = 0; i < n; ++i) {
        const double minutes = i * 2.0 / 60.0;
        const double progress = n > 1 ? static_cast<double>(i) / (n - 1) : 0.0;
        const double drift = 1.0 + 0.05 * std::sin(2.0 * kPi * progress) - 0.03 * progress;
        const auto k = static_cast<std::size_t>(i);
        s.timeMinutes[k] = minutes;
        s.impedance[k] = 1e5 * drift * (1.0 + 0.01 * unit(generator));
        s.phase[k] = -30.0 + 2.0 * std::sin(2.0 * kPi * progress) + 0.5 * unit(generator);
    }
    return s;
}

void PaintChartWindow(CDC& dc, const ChartSamples& samples, int width, int height) {
    char status[256];
    const double minutes = samples.timeMinutes.empty() ? 0.0 : samples.timeMinutes.back();
    const double impedance = samples.impedance.empty() ? 0.0 : samples.impedance.back();
    const double phase = samples.phase.empty() ? 0.0 : samples.phase.back();
    std::snprintf(status, sizeof status,
                  "Varkel Lock-in amplifier driver\nTime=%6.3lf s, Voltage=%1.1lf mV, %1.3lf, "
                  "Current=%1.1lf uA, %1.3lf, Impedance=%1.1lf Ohm, %1.3lf",
                  minutes * 60.0, 50.0, -12.5, 0.5, -12.5 - phase, impedance, phase);
    dc.DrawText(status, -1, CRect{0, 0, width, height}, 0);

    const int count = static_cast<int>(samples.timeMinutes.size());
    if (count < 1) return;
    const int top = 0 + 45;
    const int mid = (0 + width) / 2;
    CGraph impedanceChart(&dc, CRect{0, top, mid - 5, height});
    CGraph phaseChart(&dc, CRect{mid + 5, top, width, height});
    impedanceChart.AddSeries(count, samples.timeMinutes.data(), samples.impedance.data(), 10, 1, 1,
                             1, 1, nullptr, nullptr);
    impedanceChart.SetTitles("Time [min]", "Impedance");
    impedanceChart.Plot();
    phaseChart.AddSeries(count, samples.timeMinutes.data(), samples.phase.data(), 10, 1, 1, 1, 1,
                         nullptr, nullptr);
    phaseChart.SetTitles("Time [min]", "Phase");
    phaseChart.Plot();
}
