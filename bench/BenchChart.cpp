// varkel-bench-chart: how long one paint of the measurement window takes on the image
// surface, at 1000, 10000 and 65536 samples per chart, on a 1920 x 1080 image; and the same
// window zoomed into the middle tenth of the time axis at 65536 samples.
//
//   varkel-bench-chart [--reference] [--png FILE] [--paints N] [--only N|zoomed]
//
// Prints one line per workload: "chart N=<n> median_ms=<m> min_ms=<m>", then "chart zoomed
// N=65536 median_ms=<m> min_ms=<m>". A paint is what the window does for its back buffer:
// erase the image to white through a new surface, then the view's own painter (status
// text, two charts), then the surface's end (all pixels in the image). --reference draws
// with the surface's shortcuts off (every pixel of every call written); --png writes the
// last image drawn; --only runs one workload (for a profiler).

#include "ChartSamples.h"
#include "measure/MeasurementState.h"
#include "platform/ImageDC.h"
#include "view/MeasurementPainter.h"

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kWarmUpPaints = 3;

// Status values of the kind a run shows after its last sample.
Readings LastReadings(const ChartSamples& samples) {
    Readings readings;
    if (samples.timeMinutes.empty()) return readings;
    readings.elapsedSeconds = samples.timeMinutes.back() * 60.0;
    readings.voltage = 0.05;
    readings.voltagePhase = -12.5;
    readings.current = readings.voltage / samples.impedance.back();
    readings.currentPhase = -12.5 - samples.phase.back();
    readings.impedance = samples.impedance.back();
    readings.impedancePhase = samples.phase.back();
    return readings;
}

double PaintOnce(QImage& image, const Readings& readings, const SampleSeries& series,
                 const ChartViews& views, bool reference) {
    const auto start = std::chrono::steady_clock::now();
    {
        CImageDC dc(image);
        dc.setShortcutsEnabled(!reference);
        dc.EraseBackground(RGB(255, 255, 255));
        PaintMeasurement(&dc, CRect{0, 0, kWidth, kHeight}, readings, series, views);
    }
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

void Measure(const char* label, int n, const ChartViews& views, QImage& image, int paints,
             bool reference) {
    const ChartSamples samples = MakeChartSamples(n);
    const Readings readings = LastReadings(samples);
    const SampleSeries series = AsSeries(samples);
    for (int i = 0; i < kWarmUpPaints; ++i) PaintOnce(image, readings, series, views, reference);
    std::vector<double> times;
    for (int i = 0; i < paints; ++i)
        times.push_back(PaintOnce(image, readings, series, views, reference));
    std::sort(times.begin(), times.end());
    const std::size_t half = times.size() / 2;
    const double median = times.size() % 2 ? times[half] : (times[half - 1] + times[half]) / 2;
    std::printf("%s N=%d median_ms=%.2f min_ms=%.2f\n", label, n, median, times.front());
    std::fflush(stdout);
}

int Usage() {
    std::fprintf(stderr,
                 "usage: varkel-bench-chart [--reference] [--png FILE] [--paints N] "
                 "[--only N|zoomed]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool reference = false;
    std::string pngPath;
    int paints = 21;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--reference") == 0) {
            reference = true;
        } else if (std::strcmp(argv[i], "--png") == 0 && i + 1 < argc) {
            pngPath = argv[++i];
        } else if (std::strcmp(argv[i], "--paints") == 0 && i + 1 < argc) {
            paints = std::max(15, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
            only = argv[++i];
        } else {
            return Usage();
        }
    }
    // Needs no display: the image is drawn in memory.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts need the application object

    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (const int n : {1000, 10000, 65536})
        if (only.empty() || only == std::to_string(n))
            Measure("chart", n, ChartViews{}, image, paints, reference);
    constexpr int kZoomed = 65536;
    if (only.empty() || only == "zoomed")
        Measure("chart zoomed", kZoomed, MiddleTenthViews(MakeChartSamples(kZoomed)), image, paints,
                reference);
    if (!pngPath.empty() && !image.save(QString::fromLocal8Bit(pngPath.c_str()), "PNG")) {
        std::fprintf(stderr, "varkel-bench-chart: cannot write %s\n", pngPath.c_str());
        return 1;
    }
    return 0;
}
