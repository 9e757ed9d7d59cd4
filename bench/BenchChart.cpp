// varkel-bench-chart: how long one paint of the measurement window takes on the image
// surface, at 1000, 10000 and 65536 samples per chart, on a 1920 x 1080 image.
//
//   varkel-bench-chart [--reference] [--png FILE] [--paints N]
//
// Prints one line per sample count: "chart N=<n> median_ms=<m> min_ms=<m>". A paint is
// what the view does: erase the image to white, build the surface, status text, two charts,
// and the surface's end (all pixels in the image). --reference draws with the surface's
// shortcuts off (every pixel of every call written); --png writes the last image drawn.

#include "bench/ChartWorkload.h"
#include "platform/ImageDC.h"

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

double PaintOnce(QImage& image, const ChartSamples& samples, bool reference) {
    const auto start = std::chrono::steady_clock::now();
    {
        CImageDC dc(image);
        dc.setShortcutsEnabled(!reference);
        dc.EraseBackground(RGB(255, 255, 255));
        PaintChartWindow(dc, samples, kWidth, kHeight);
    }
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

int Usage() {
    std::fprintf(stderr, "usage: varkel-bench-chart [--reference] [--png FILE] [--paints N]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool reference = false;
    std::string pngPath;
    int paints = 21;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--reference") == 0) {
            reference = true;
        } else if (std::strcmp(argv[i], "--png") == 0 && i + 1 < argc) {
            pngPath = argv[++i];
        } else if (std::strcmp(argv[i], "--paints") == 0 && i + 1 < argc) {
            paints = std::max(15, std::atoi(argv[++i]));
        } else {
            return Usage();
        }
    }
    // Needs no display: the image is drawn in memory.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts need the application object

    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (const int n : {1000, 10000, 65536}) {
        const ChartSamples samples = MakeChartSamples(n);
        for (int i = 0; i < kWarmUpPaints; ++i) PaintOnce(image, samples, reference);
        std::vector<double> times;
        for (int i = 0; i < paints; ++i) times.push_back(PaintOnce(image, samples, reference));
        std::sort(times.begin(), times.end());
        const double median = times.size() % 2 ? times[times.size() / 2]
                                                : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
        std::printf("chart N=%d median_ms=%.2f min_ms=%.2f\n", n, median, times.front());
        std::fflush(stdout);
    }
    if (!pngPath.empty() && !image.save(QString::fromLocal8Bit(pngPath.c_str()), "PNG")) {
        std::fprintf(stderr, "varkel-bench-chart: cannot write %s\n", pngPath.c_str());
        return 1;
    }
    return 0;
}
