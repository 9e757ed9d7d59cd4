// varkel-bench-open: opening a recorded run in the window and painting it.
//
//   varkel-bench-open [--lines N] [--paints N]
//
// Writes two data files into a temporary folder, as a run at 2 s writes them ("%lg" x 7):
// a million lines (about 23 days) and 302,400 (a week). Then, in the real window on the
// offscreen platform at its start-up size:
//   open    the million lines named on the command line: from the application object to
//           the end of the view's first paint (start-up, read, first paint), and the same
//           through File > Open in the running window; read_ms is the reading alone;
//   paint   the week's run, opened: one whole repaint of the view, median and minimum of
//           --paints, with the impedance axis linear, logarithmic, and zoomed in on time.
// Lines like "open lines=1000000 first_paint_ms=... " are the figures; nothing passes or fails.

#include <QApplication>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/VarkelApp.h"
#include "app/VarkelDoc.h"
#include "view/RecordedRun.h"
#include "view/VarkelView.h"

namespace {

using Timer = std::chrono::steady_clock;

double MsSince(Timer::time_point start) {
    return std::chrono::duration<double, std::milli>(Timer::now() - start).count();
}

// A sample that drifts slowly with a little noise, read every 2 s, the channels
// alternating as a run reads them.
bool WriteRun(const std::string& path, long lines) {
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return false;
    unsigned state = 12345;
    auto noise = [&state] {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / double(1u << 24) - 0.5;
    };
    double voltage = 0.05, voltagePhase = -12.5, current = 2e-6, currentPhase = -40.25;
    for (long i = 0; i < lines; ++i) {
        const double t = 2.0 * i;
        const double drift = 1.0 + 0.1 * std::sin(t / 20000.0);
        if (i % 2 == 0) {
            voltage = 0.05 * drift * (1 + 0.01 * noise());
            voltagePhase = -12.5 + 0.5 * noise();
        } else {
            current = std::max(2e-6 * (1 + 0.01 * noise()), 1e-6);
            currentPhase = -40.25 + 0.5 * noise();
        }
        std::fprintf(out, "%lg %lg %lg %lg %lg %lg %lg\n", t, voltage, voltagePhase, current,
                     currentPhase, voltage / current, voltagePhase - currentPhase);
    }
    return std::fclose(out) == 0;
}

struct Figures {
    double median = 0;
    double min = 0;
};

Figures Repeat(int times, const std::function<void()>& work) {
    std::vector<double> ms;
    for (int i = 0; i < times; ++i) {
        const auto start = Timer::now();
        work();
        ms.push_back(MsSince(start));
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front()};
}

int Usage() {
    std::fprintf(stderr, "usage: varkel-bench-open [--lines N] [--paints N]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    long bigLines = 1000000;
    int paints = 15;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--lines") == 0 && i + 1 < argc) {
            bigLines = std::max(1L, std::atol(argv[++i]));
        } else if (std::strcmp(argv[i], "--paints") == 0 && i + 1 < argc) {
            paints = std::max(3, std::atoi(argv[++i]));
        } else {
            return Usage();
        }
    }
    constexpr long kWeekLines = 302400;

    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "varkel-bench-open: no temporary folder: %s\n",
                     qPrintable(folder.errorString()));
        return 1;
    }
    const std::string big = folder.filePath(QStringLiteral("big-run.txt")).toStdString();
    const std::string week = folder.filePath(QStringLiteral("week-run.txt")).toStdString();
    if (!WriteRun(big, bigLines) || !WriteRun(week, kWeekLines)) {
        std::fprintf(stderr, "varkel-bench-open: can't write the data files in %s\n",
                     qPrintable(folder.path()));
        return 1;
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The profile (recent files) of this program, not the user's varkel.ini.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");

    // The file read alone: what any open costs before painting.
    const Figures read = Repeat(3, [&] { LoadRecordedRun(big); });

    CommandLine line;
    line.documentFile = big;
    auto start = Timer::now();
    CVarkelApp app(line);
    if (!app.InitInstance()) return 1;
    CVarkelView* view = app.View();
    // The window system's first paint: once the window is exposed.
    while (!(view->window()->windowHandle() && view->window()->windowHandle()->isExposed()) &&
           MsSince(start) < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    view->repaint();
    const double startUp = MsSince(start);
    if (!view->ShownRun() || view->ShownRun()->Count() != bigLines) {
        std::fprintf(stderr, "varkel-bench-open: the window did not show the %ld lines\n",
                     bigLines);
        return 1;
    }

    const Figures reopen = Repeat(3, [&] {
        QString error;
        app.Document().OnOpenDocument(QString::fromStdString(big), &error);
        view->repaint();
    });
    std::printf(
        "open lines=%ld read_ms=%.1f start_to_first_paint_ms=%.1f open_to_first_paint_ms=%.1f "
        "(median of 3, min %.1f)\n",
        bigLines, read.median, startUp, reopen.median, reopen.min);
    std::fflush(stdout);

    QString error;
    if (!app.Document().OnOpenDocument(QString::fromStdString(week), &error)) {
        std::fprintf(stderr, "varkel-bench-open: %s\n", qPrintable(error));
        return 1;
    }
    const auto paintOnce = [view] { view->repaint(); };
    paintOnce();
    const Figures linear = Repeat(paints, paintOnce);
    view->SetLogImpedanceAxis(true);
    paintOnce();
    const Figures logarithmic = Repeat(paints, paintOnce);
    view->SetLogImpedanceAxis(false);
    paintOnce();
    // Nine notches of the wheel in the middle of the impedance chart: about a day.
    const CRect plot = view->DrawnCharts().impedance.plot;
    const QPointF middle((plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2);
    for (int notch = 0; notch < 9; ++notch) {
        QWheelEvent wheel(middle, view->mapToGlobal(middle), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
        paintOnce();
    }
    const Figures zoomed = Repeat(paints, paintOnce);
    std::printf(
        "paint lines=%ld view=%dx%d linear_median_ms=%.2f linear_min_ms=%.2f "
        "log_median_ms=%.2f log_min_ms=%.2f zoomed_median_ms=%.2f zoomed_min_ms=%.2f\n",
        kWeekLines, view->width(), view->height(), linear.median, linear.min, logarithmic.median,
        logarithmic.min, zoomed.median, zoomed.min);
    std::fflush(stdout);
    app.MainFrame()->close();
    return 0;
}
