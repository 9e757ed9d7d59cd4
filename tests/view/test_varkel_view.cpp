// CVarkelView on a fake clock and a scripted port: the Start sequence with its cancels and
// failures, Start/Stop enabled states, ticks, the run's status message, the paint, and
// ending the run when the view goes away.

#include <QImage>
#include <QPaintEvent>
#include <QtTest>

#include <filesystem>

#include "ViewFixture.h"
#include "view/VarkelView.h"

namespace {

class CountingView : public CVarkelView {
public:
    using CVarkelView::CVarkelView;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        CVarkelView::paintEvent(event);
    }
};

// Pixels in rect that are not white.
int InkIn(const QImage& image, const QRect& rect) {
    int ink = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++ink;
        }
    }
    return ink;
}

}  // namespace

class VarkelViewTest : public QObject {
    Q_OBJECT
private slots:
    void firstPaintStartsTheTimerOnce();
    void startCancelledAtTheFileCreatesNothing();
    void fileThatCannotBeCreatedIsReported();
    void setupCancelledLeavesTheEmptyFile();
    void portThatCannotOpenIsReportedWithTheReason();
    void successfulStartRunsFromANewTimeZeroAndRepaints();
    void startWhileRunningDoesNothing();
    void ticksTakeReadingsAndStopEndsTheRun();
    void statusMessageFollowsTheRun();
    void paintShowsTextThenCharts();
    void portVanishingEndsTheRunWithAMessage();
    void destroyingTheViewEndsTheRun();
};

void VarkelViewTest::firstPaintStartsTheTimerOnce() {
    ViewFixture f;
    QVERIFY(CVarkelView::FirstPaintPending());
    CVarkelView view(*f.run, f.readings, *f.store, f.prompts);
    view.resize(200, 100);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTRY_VERIFY(!CVarkelView::FirstPaintPending());
    QVERIFY(f.prompts.warnings.empty());  // the timer was granted
}

void VarkelViewTest::startCancelledAtTheFileCreatesNothing() {
    ViewFixture f;
    CVarkelView view(*f.run, f.readings, *f.store, f.prompts);
    f.prompts.dataFileName.clear();
    QCOMPARE(view.StartMeasurement(), 1);
    QCOMPARE(f.prompts.setupAsked, 0);
    QVERIFY(std::filesystem::is_empty(f.dir.Path()));
    QCOMPARE(f.line->opens, 0);
    QVERIFY(f.prompts.warnings.empty());
}

void VarkelViewTest::fileThatCannotBeCreatedIsReported() {
    ViewFixture f;
    CVarkelView view(*f.run, f.readings, *f.store, f.prompts);
    f.prompts.dataFileName = f.dir.File("no-such-folder/run.txt");
    view.OnMeasurementStart();
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(f.prompts.warnings[0].caption, std::string("Varkel"));
    QCOMPARE(f.prompts.warnings[0].text, std::string("Can't create file"));
    QVERIFY(f.prompts.warnings[0].detail.find("run.txt") != std::string::npos);
    QCOMPARE(f.prompts.setupAsked, 0);
    QVERIFY(view.IsStartEnabled());
    QCOMPARE(view.DataFile(), f.prompts.dataFileName);  // kept even though creating failed
}

void VarkelViewTest::setupCancelledLeavesTheEmptyFile() {
    ViewFixture f;
    CVarkelView view(*f.run, f.readings, *f.store, f.prompts);
    const std::string path = f.dir.File("run.txt");
    { std::ofstream(path) << "old contents\n"; }
    f.prompts.dataFileName = path;
    f.prompts.setupAccepted = false;
    view.OnMeasurementStart();
    QVERIFY(std::filesystem::exists(path));
    QCOMPARE(std::filesystem::file_size(path), std::uintmax_t(0));  // replaced at once
    QCOMPARE(f.line->opens, 0);
    QVERIFY(f.prompts.warnings.empty());
    QVERIFY(view.IsStartEnabled());
    QVERIFY(!view.IsStopEnabled());
}

void VarkelViewTest::portThatCannotOpenIsReportedWithTheReason() {
    ViewFixture f;
    CVarkelView view(*f.run, f.readings, *f.store, f.prompts);
    // A previous run's samples stay on the charts after a failed start.
    f.store->count = 3;
    f.line->openFails = true;
    f.line->openError = "/dev/ttyS1: Permission denied. Join the group dialout.";
    f.prompts.dataFileName = f.dir.File("run.txt");
    QCOMPARE(view.StartMeasurement(), 1);
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(f.prompts.warnings[0].caption, std::string("Varkel"));
    QCOMPARE(f.prompts.warnings[0].text, std::string("Can't open serial port"));
    QVERIFY(f.prompts.warnings[0].detail.find("Permission denied") != std::string::npos);
    QVERIFY(f.prompts.warnings[0].detail.find("dialout") != std::string::npos);
    QVERIFY(std::filesystem::exists(f.dir.File("run.txt")));
    QVERIFY(!view.IsStopEnabled());
    QCOMPARE(f.store->count, 3);
}

void VarkelViewTest::successfulStartRunsFromANewTimeZeroAndRepaints() {
    ViewFixture f;
    CountingView view(*f.run, f.readings, *f.store, f.prompts);
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCoreApplication::processEvents();
    const int paintsBefore = view.paints;
    QSignalSpy stateChanges(&view, &CVarkelView::commandStateChanged);

    f.store->count = 5;  // the last run's samples: cleared by the new run
    f.prompts.dataFileName = f.dir.File("run.txt");
    f.prompts.setupPort = 3;
    f.prompts.setupInterval = 4;
    f.clock.Advance(5000);
    view.OnMeasurementStart();

    QVERIFY(f.prompts.warnings.empty());
    QCOMPARE(f.factory.lastDevice, std::string("/dev/ttyS3"));  // COM4
    QCOMPARE(f.line->wire, std::string("LOCL 1\r"));
    QCOMPARE(f.state.ticksPerReading, 4);
    QCOMPARE(f.store->count, 0);
    QCOMPARE(f.state.startTime, f.clock.Milliseconds() * 0.001);  // after the settling wait
    QVERIFY(f.state.startTime > 5.0);
    QVERIFY(!view.IsStartEnabled());
    QVERIFY(view.IsStopEnabled());
    QVERIFY(stateChanges.count() >= 1);
    QTRY_VERIFY(view.paints > paintsBefore);
}

void VarkelViewTest::startWhileRunningDoesNothing() {
    ViewFixture f;
    CVarkelView view(*f.run, f.readings, *f.store, f.prompts);
    f.prompts.dataFileName = f.dir.File("run.txt");
    view.OnMeasurementStart();
    QVERIFY(view.IsMeasuring());
    f.clock.Advance(7000);
    const double zero = f.state.startTime;
    view.OnMeasurementStart();
    QCOMPARE(f.prompts.dataFileAsked, 1);
    QCOMPARE(f.state.startTime, zero);
    QCOMPARE(f.line->opens, 1);
}

void VarkelViewTest::ticksTakeReadingsAndStopEndsTheRun() {
    ViewFixture f;
    CVarkelView view(*f.run, f.readings, *f.store, f.prompts);
    view.OnTimer();  // idle: nothing
    QCOMPARE(f.line->wire, std::string());

    f.prompts.dataFileName = f.dir.File("run.txt");
    view.OnMeasurementStart();
    for (int tick = 1; tick <= 6; ++tick) {
        f.clock.Advance(1000);
        view.OnTimer();
        QCOMPARE(f.store->count, tick / 2);  // a reading every 2nd tick
    }
    QCOMPARE(ReadLines(f.dir.File("run.txt")).size(), std::size_t(3));
    QCOMPARE(f.readings.voltage, 0.05);

    view.OnMeasurementStop();
    QVERIFY(f.line->wire.size() >= 7);
    QCOMPARE(f.line->wire.substr(f.line->wire.size() - 7), std::string("LOCL 0\r"));
    QVERIFY(!f.line->open);
    QVERIFY(view.IsStartEnabled());
    QVERIFY(!view.IsStopEnabled());
    QCOMPARE(f.store->count, 3);  // the samples stay on the charts
    view.OnTimer();
    QCOMPARE(f.store->count, 3);
}

void VarkelViewTest::statusMessageFollowsTheRun() {
    ViewFixture f;
    CVarkelView view(*f.run, f.readings, *f.store, f.prompts);
    QSignalSpy messages(&view, &CVarkelView::runStatusChanged);
    QCOMPARE(view.RunStatusMessage(), QString());

    f.prompts.dataFileName = f.dir.File("run.txt");
    view.OnMeasurementStart();
    QCOMPARE(view.RunStatusMessage(), QString("Measuring: 0 readings, next in 2 s, data file run.txt"));
    view.OnTimer();
    QCOMPARE(messages.last().at(0).toString(),
             QString("Measuring: 0 readings, next in 1 s, data file run.txt"));

    f.line->responder = Amplifier("garbage", "x", "y", "z");
    view.OnTimer();
    const QString warned = messages.last().at(0).toString();
    QVERIFY2(warned.startsWith("Measuring: 1 reading, next in 2 s, data file run.txt | "
                               "No valid reply from the amplifier"),
             qPrintable(warned));

    view.OnMeasurementStop();
    QCOMPARE(messages.last().at(0).toString(), QString());
}

void VarkelViewTest::paintShowsTextThenCharts() {
    ViewFixture f;
    CVarkelView view(*f.run, f.readings, *f.store, f.prompts);
    QImage image(640, 400, QImage::Format_RGB32);
    const QRect text(0, 0, 640, 40);
    const QRect charts(0, 46, 640, 354);

    view.Render(image);
    QVERIFY(InkIn(image, text) > 0);
    QCOMPARE(InkIn(image, charts), 0);  // no sample: no chart

    f.prompts.dataFileName = f.dir.File("run.txt");
    view.OnMeasurementStart();
    view.OnTimer();
    view.OnTimer();
    QCOMPARE(f.store->count, 1);
    view.Render(image);
    QVERIFY(InkIn(image, text) > 0);
    QVERIFY(InkIn(image, QRect(0, 46, 315, 354)) > 0);    // impedance chart
    QVERIFY(InkIn(image, QRect(325, 46, 315, 354)) > 0);  // phase chart
}

void VarkelViewTest::portVanishingEndsTheRunWithAMessage() {
    ViewFixture f;
    CVarkelView view(*f.run, f.readings, *f.store, f.prompts);
    QSignalSpy stateChanges(&view, &CVarkelView::commandStateChanged);
    f.prompts.dataFileName = f.dir.File("run.txt");
    view.OnMeasurementStart();
    f.line->vanished = true;
    view.OnTimer();
    view.OnTimer();
    QVERIFY(view.IsStartEnabled());
    QVERIFY(stateChanges.count() >= 2);
    QVERIFY(f.prompts.warnings.empty());  // not from inside the tick
    QTRY_COMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(f.prompts.warnings[0].caption, std::string("Varkel"));
    QVERIFY(f.prompts.warnings[0].detail.find("no longer there") != std::string::npos);
}

void VarkelViewTest::destroyingTheViewEndsTheRun() {
    ViewFixture f;
    {
        CVarkelView view(*f.run, f.readings, *f.store, f.prompts);
        f.prompts.dataFileName = f.dir.File("run.txt");
        view.OnMeasurementStart();
        QVERIFY(f.line->open);
    }
    QCOMPARE(f.line->wire, std::string("LOCL 1\rLOCL 0\r"));
    QVERIFY(!f.line->open);
    QCOMPARE(f.line->closes, 1);
    QCOMPARE(f.state.measuring, 0);
}

QTEST_MAIN(VarkelViewTest)
#include "test_varkel_view.moc"
