// CVarkelView under the mouse and the keyboard, offscreen, with real events: the wheel
// zooms time on both charts, Shift + wheel one chart's value axis, a drag pans, a
// double-click or Home restores the automatic picture pixel for pixel, a live run keeps a
// zoomed view still as samples arrive, and the pointer's sample is read out.
//
// The ranges asked for are checked, and the ranges drawn only where no clipping is
// involved: how the chart engine clips segments at fixed ranges is not pinned here.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>

#include <memory>

#include "ViewFixture.h"
#include "view/RecordedRun.h"
#include "view/VarkelView.h"

namespace {

// Samples half a minute apart: impedance rising from 1000 ohm by 10 a sample (to 4990 for
// 400), phase in a saw tooth from -30 to -21 degrees.
std::shared_ptr<const RecordedRun> SawRun(int count = 400) {
    std::vector<DataRow> rows;
    for (int i = 0; i < count; ++i) {
        rows.push_back({30.0 * i, 0.05, -12.5, 2e-6, -40.25, 1000.0 + 10 * i, -30.0 + i % 10});
    }
    return std::make_shared<const RecordedRun>(RecordedRunFromRows(rows));
}

void Wheel(QWidget& widget, QPoint at, int notches,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWheelEvent event(at, widget.mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

void Mouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
           Qt::MouseButtons held) {
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

QPoint Middle(const ChartMapping& chart) {
    return {(chart.plot.left + chart.plot.right) / 2, (chart.plot.top + chart.plot.bottom) / 2};
}

struct ShownView : ViewFixture {
    ShownView() : view(*run, readings, *store, prompts) {
        view.resize(800, 500);
        view.show();
    }
    bool Exposed() { return QTest::qWaitForWindowExposed(&view); }
    QImage Picture() {
        view.repaint();
        return view.grab().toImage();
    }
    CVarkelView view;
};

}  // namespace

class ViewNavigationTest : public QObject {
    Q_OBJECT
private slots:
    void wheelZoomsTimeOnBothChartsAroundThePointer();
    void shiftWheelZoomsOnlyThatChartsValues();
    void dragPansWithThePointer();
    void doubleClickAndHomeRestoreTheAutomaticPicture();
    void wheelOffTheChartsDoesNothing();
    void aLiveRunKeepsAZoomedViewStill();
    void pointerReadsTheNearestSample();
    void openedRunIsShownUntilTheLiveRunTakesOver();
    void logarithmicAxisKeepsTheZoomInItsUnits();
};

void ViewNavigationTest::wheelZoomsTimeOnBothChartsAroundThePointer() {
    ShownView f;
    f.view.ShowRecordedRun(SawRun());
    QVERIFY(f.Exposed());
    f.Picture();
    const ChartMappings before = f.view.DrawnCharts();
    const QPoint at = Middle(before.impedance);
    const double timeThere = before.impedance.DataX(at.x());

    Wheel(f.view, at, 1);
    const ChartViews& zoomed = f.view.Views();
    QVERIFY(zoomed.impedance.fixed && zoomed.phase.fixed);
    const double width = before.impedance.xMax - before.impedance.xMin;
    QCOMPARE(zoomed.impedance.xMax - zoomed.impedance.xMin, 0.8 * width);
    // The time under the pointer keeps its place within the range.
    QCOMPARE((timeThere - zoomed.impedance.xMin) / (0.8 * width),
             (timeThere - before.impedance.xMin) / width);
    QCOMPARE(zoomed.phase.xMin, zoomed.impedance.xMin);
    QCOMPARE(zoomed.phase.xMax, zoomed.impedance.xMax);
    // Values stay as they were drawn.
    QCOMPARE(zoomed.impedance.yMin, before.impedance.yMin);
    QCOMPARE(zoomed.phase.yMax, before.phase.yMax);

    // Turned back, out by as much.
    Wheel(f.view, at, -1);
    QCOMPARE(f.view.Views().impedance.xMax - f.view.Views().impedance.xMin, width);
}

void ViewNavigationTest::shiftWheelZoomsOnlyThatChartsValues() {
    ShownView f;
    f.view.ShowRecordedRun(SawRun());
    QVERIFY(f.Exposed());
    f.Picture();
    const ChartMappings before = f.view.DrawnCharts();
    const QPoint at = Middle(before.phase);
    const double valueThere = before.phase.DataY(at.y());

    Wheel(f.view, at, 2, Qt::ShiftModifier);
    const ChartViews& zoomed = f.view.Views();
    const double height = before.phase.yMax - before.phase.yMin;
    QCOMPARE(zoomed.phase.yMax - zoomed.phase.yMin, 0.64 * height);
    QCOMPARE((valueThere - zoomed.phase.yMin) / (0.64 * height),
             (valueThere - before.phase.yMin) / height);
    QCOMPARE(zoomed.phase.xMin, before.phase.xMin);
    QCOMPARE(zoomed.phase.xMax, before.phase.xMax);
    QCOMPARE(zoomed.impedance.yMin, before.impedance.yMin);
    QCOMPARE(zoomed.impedance.yMax, before.impedance.yMax);
}

void ViewNavigationTest::dragPansWithThePointer() {
    ShownView f;
    f.view.ShowRecordedRun(SawRun());
    QVERIFY(f.Exposed());
    f.Picture();
    const ChartMappings before = f.view.DrawnCharts();
    const QPoint from = Middle(before.impedance);
    const QPoint to = from + QPoint(60, -30);

    Mouse(f.view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    QVERIFY(!f.view.Views().impedance.fixed);  // pressed, not moved: nothing yet
    Mouse(f.view, QEvent::MouseMove, from + QPoint(20, -10), Qt::NoButton, Qt::LeftButton);
    Mouse(f.view, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    Mouse(f.view, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);

    // 60 px right shows earlier times, 30 px up lower values, by the drawn scale.
    const ChartViews& panned = f.view.Views();
    const double earlier = 60 / before.impedance.xFactor;
    const double lower = 30 / before.impedance.yFactor;
    QCOMPARE(panned.impedance.xMin, before.impedance.xMin - earlier);
    QCOMPARE(panned.impedance.xMax, before.impedance.xMax - earlier);
    QCOMPARE(panned.phase.xMin, before.phase.xMin - earlier);
    QCOMPARE(panned.impedance.yMin, before.impedance.yMin - lower);
    QCOMPARE(panned.impedance.yMax, before.impedance.yMax - lower);
    QCOMPARE(panned.phase.yMin, before.phase.yMin);  // the other chart's values stay

    // Moving without the button pans no more.
    Mouse(f.view, QEvent::MouseMove, to + QPoint(40, 40), Qt::NoButton, Qt::NoButton);
    QCOMPARE(f.view.Views().impedance.xMin, before.impedance.xMin - earlier);
}

void ViewNavigationTest::doubleClickAndHomeRestoreTheAutomaticPicture() {
    ShownView f;
    f.view.ShowRecordedRun(SawRun());
    QVERIFY(f.Exposed());
    const QImage automatic = f.Picture();
    const QPoint at = Middle(f.view.DrawnCharts().impedance);

    Wheel(f.view, at, 3);
    Wheel(f.view, at, 1, Qt::ShiftModifier);
    QVERIFY(f.Picture() != automatic);
    QTest::mouseDClick(&f.view, Qt::LeftButton, Qt::NoModifier, at);
    QVERIFY(!f.view.Views().impedance.fixed && !f.view.Views().phase.fixed);
    QCOMPARE(f.Picture(), automatic);

    Mouse(f.view, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    Mouse(f.view, QEvent::MouseMove, at + QPoint(-50, 25), Qt::NoButton, Qt::LeftButton);
    Mouse(f.view, QEvent::MouseButtonRelease, at + QPoint(-50, 25), Qt::LeftButton, Qt::NoButton);
    QVERIFY(f.Picture() != automatic);
    QTest::keyClick(&f.view, Qt::Key_Home);
    QCOMPARE(f.Picture(), automatic);
}

void ViewNavigationTest::wheelOffTheChartsDoesNothing() {
    ShownView f;
    QVERIFY(f.Exposed());
    f.Picture();
    Wheel(f.view, QPoint(400, 250), 1);  // no samples: no chart
    QVERIFY(!f.view.Views().impedance.fixed);

    f.view.ShowRecordedRun(SawRun());
    f.Picture();
    Wheel(f.view, QPoint(5, 5), 1);  // over the status text
    QVERIFY(!f.view.Views().impedance.fixed);
}

void ViewNavigationTest::aLiveRunKeepsAZoomedViewStill() {
    ShownView f;
    QVERIFY(f.Exposed());
    f.prompts.dataFileName = f.dir.File("run.txt");
    f.view.OnMeasurementStart();
    auto reading = [&f] {
        for (int tick = 0; tick < 2; ++tick) {
            f.clock.Advance(1000);
            f.view.OnTimer();
        }
    };
    for (int i = 0; i < 20; ++i) reading();
    f.Picture();
    const ChartMappings automatic = f.view.DrawnCharts();

    // Without a zoom, readings widen the time axis ...
    for (int i = 0; i < 40; ++i) reading();
    f.Picture();
    QVERIFY(f.view.DrawnCharts().impedance.xMax > automatic.impedance.xMax);

    // ... with one, the ranges stay as chosen while readings keep arriving.
    Wheel(f.view, Middle(f.view.DrawnCharts().impedance), 2);
    const ChartViews chosen = f.view.Views();
    f.Picture();
    const ChartMappings zoomed = f.view.DrawnCharts();
    for (int i = 0; i < 40; ++i) reading();
    QCOMPARE(f.store->count, 100);
    f.Picture();
    QCOMPARE(f.view.Views().impedance.xMin, chosen.impedance.xMin);
    QCOMPARE(f.view.Views().impedance.xMax, chosen.impedance.xMax);
    QCOMPARE(f.view.DrawnCharts().impedance.xMin, zoomed.impedance.xMin);
    QCOMPARE(f.view.DrawnCharts().impedance.xMax, zoomed.impedance.xMax);
    QCOMPARE(f.view.DrawnCharts().phase.yMax, zoomed.phase.yMax);
    f.view.OnMeasurementStop();
}

void ViewNavigationTest::pointerReadsTheNearestSample() {
    ShownView f;
    QSignalSpy readouts(&f.view, &CVarkelView::sampleReadoutChanged);
    f.view.ShowRecordedRun(SawRun(40));
    QVERIFY(f.Exposed());
    f.Picture();
    const ChartMapping& impedance = f.view.DrawnCharts().impedance;
    // The pixel column of sample 20 (10 min): the engine's MapX of its time, which lies
    // nearer to it than to its neighbours half a minute (several pixels) away.
    const int column =
        static_cast<int>((10.0 - impedance.xMin) * impedance.xFactor + impedance.originX);
    QVERIFY(impedance.xFactor > 4);
    Mouse(f.view, QEvent::MouseMove, QPoint(column, Middle(impedance).y()), Qt::NoButton,
          Qt::NoButton);
    QCOMPARE(f.view.SampleReadout(), QString("Time 10.000 min (0:10:00), Impedance 1200 Ohm"));

    const ChartMapping& phase = f.view.DrawnCharts().phase;
    const int phaseColumn = static_cast<int>((10.5 - phase.xMin) * phase.xFactor + phase.originX);
    Mouse(f.view, QEvent::MouseMove, QPoint(phaseColumn, Middle(phase).y()), Qt::NoButton,
          Qt::NoButton);
    QCOMPARE(f.view.SampleReadout(), QString("Time 10.500 min (0:10:30), Phase -29"));

    // The picture changing under a resting pointer changes the readout at the next paint:
    // zoomed in around the chart's left end, another sample lies under the pointer; Home
    // brings the automatic picture, and sample 21, back.
    const QString automatic = f.view.SampleReadout();
    Wheel(f.view, QPoint(phase.plot.left + 5, Middle(phase).y()), 4);
    Mouse(f.view, QEvent::MouseMove, QPoint(phaseColumn, Middle(phase).y()), Qt::NoButton,
          Qt::NoButton);
    f.Picture();
    QVERIFY(!f.view.SampleReadout().isEmpty());
    QVERIFY(f.view.SampleReadout() != automatic);
    QTest::keyClick(&f.view, Qt::Key_Home);
    f.Picture();
    QCOMPARE(f.view.SampleReadout(), automatic);

    // Off the charts, and out of the view, the readout goes.
    Mouse(f.view, QEvent::MouseMove, QPoint(5, 5), Qt::NoButton, Qt::NoButton);
    QCOMPARE(f.view.SampleReadout(), QString());
    Mouse(f.view, QEvent::MouseMove, QPoint(phaseColumn, Middle(phase).y()), Qt::NoButton,
          Qt::NoButton);
    QVERIFY(!f.view.SampleReadout().isEmpty());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&f.view, &leave);
    QCOMPARE(f.view.SampleReadout(), QString());
    QVERIFY(readouts.count() >= 5);
    QCOMPARE(readouts.last().at(0).toString(), QString());
}

void ViewNavigationTest::openedRunIsShownUntilTheLiveRunTakesOver() {
    ShownView f;
    QVERIFY(f.Exposed());
    QSignalSpy started(&f.view, &CVarkelView::runStarted);
    QSignalSpy ended(&f.view, &CVarkelView::runEnded);
    const std::shared_ptr<const RecordedRun> run = SawRun();
    f.view.ShowRecordedRun(run);
    f.Picture();
    QCOMPARE(f.view.ShownRun(), run.get());
    // The opened run's values: 400 samples over 199.5 min.
    QVERIFY(f.view.DrawnCharts().impedance.xMax >= 199.5);
    Wheel(f.view, Middle(f.view.DrawnCharts().impedance), 1);

    // A cancelled Start leaves it; a successful one shows the live run, unzoomed.
    f.view.OnMeasurementStart();
    QCOMPARE(f.view.ShownRun(), run.get());
    QCOMPARE(started.count(), 0);
    f.prompts.dataFileName = f.dir.File("live.txt");
    f.view.OnMeasurementStart();
    QCOMPARE(f.view.ShownRun(), nullptr);
    QVERIFY(!f.view.Views().impedance.fixed);
    QCOMPARE(started.count(), 1);
    QCOMPARE(started.at(0).at(0).toString(), QString::fromStdString(f.dir.File("live.txt")));
    f.Picture();
    QVERIFY(!f.view.DrawnCharts().impedance.drawn);  // no reading yet
    f.view.OnMeasurementStop();
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).toString(), QString::fromStdString(f.dir.File("live.txt")));
}

void ViewNavigationTest::logarithmicAxisKeepsTheZoomInItsUnits() {
    ShownView f;
    f.view.ShowRecordedRun(SawRun());
    QVERIFY(f.Exposed());
    f.Picture();
    const QPoint at = Middle(f.view.DrawnCharts().impedance);
    Wheel(f.view, at, 1);
    const ChartViews linear = f.view.Views();
    QVERIFY(linear.impedance.yMin > 0);

    f.view.SetLogImpedanceAxis(true);
    QVERIFY(f.view.LogImpedanceAxis());
    QCOMPARE(f.view.Views().impedance.yMin, std::log10(linear.impedance.yMin));
    QCOMPARE(f.view.Views().impedance.yMax, std::log10(linear.impedance.yMax));
    QCOMPARE(f.view.Views().impedance.xMin, linear.impedance.xMin);
    f.Picture();
    // Drawn in log10 ohm: 1000 to 4990 ohm lie between 3 and 3.7.
    QVERIFY(f.view.DrawnCharts().impedance.yMax < 4);

    // Restoring the automatic view keeps the axis logarithmic.
    QTest::keyClick(&f.view, Qt::Key_Home);
    QVERIFY(f.view.LogImpedanceAxis());
    f.Picture();
    QVERIFY(f.view.DrawnCharts().impedance.yMin >= 2.9);
    QVERIFY(f.view.DrawnCharts().impedance.yMax <= 3.8);
}

QTEST_MAIN(ViewNavigationTest)
#include "test_view_navigation.moc"
