// CVarkelView on a fake clock and a scripted port: the Start sequence with its cancels and
// failures, Start/Stop enabled states, ticks, the run's status message, the paint, and
// ending the run when the view goes away.

#include <QImage>
#include <QPaintEvent>
#include <QtTest>

#include <filesystem>

#include "ViewFixture.h"

#include <nlohmann/json.hpp>
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
    void startCancelledAtTheFileCreatesNothing();
    void fileThatCannotBeCreatedIsReported();
    void setupCancelledLeavesTheEmptyFile();
    void portThatCannotOpenIsReportedWithTheReason();
    void successfulStartRunsFromANewTimeZeroAndRepaints();
    void startWhileRunningDoesNothing();
    void ticksTakeReadingsAndStopEndsTheRun();
    void statusMessageFollowsTheRun();
    void paintShowsTextThenCharts();
    void amplifierThatCannotBeReachedIsToldApart();
    void aLostDeviceIsShownInTheStatusBarAndTheRunGoesOn();
    void linesOfAnEndedRunAreRetriedAndKeepTheirFileToThemselves();
    void destroyingTheViewEndsTheRun();
};

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
    QCOMPARE(view.RunStatusMessage(),
             QString("Measuring: 0 readings, next in 2 s, data file run.txt"));
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

void VarkelViewTest::amplifierThatCannotBeReachedIsToldApart() {
    ViewFixture f;
    CVarkelView view(*f.run, f.readings, *f.store, f.prompts);
    f.store->count = 3;
    f.line->writesTimeOut = true;  // the port opens, "LOCL 1" never goes out
    f.prompts.dataFileName = f.dir.File("run.txt");
    QCOMPARE(view.StartMeasurement(), 1);
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(f.prompts.warnings[0].text,
             std::string("The serial port opened, but the amplifier could not be reached. The "
                         "measurement has not started."));
    QCOMPARE(f.prompts.warnings[0].detail,
             std::string("\"LOCL 1\" could not be sent: /dev/ttyS1: a write timed out"));
    QVERIFY(!f.line->open);
    QVERIFY(view.IsStartEnabled());
    QCOMPARE(f.store->count, 3);
}

void VarkelViewTest::aLostDeviceIsShownInTheStatusBarAndTheRunGoesOn() {
    ViewFixture f;
    CVarkelView view(*f.run, f.readings, *f.store, f.prompts);
    QSignalSpy messages(&view, &CVarkelView::runStatusChanged);
    f.prompts.dataFileName = f.dir.File("run.txt");
    view.OnMeasurementStart();
    const auto tick = [&] {
        f.clock.Advance(1000);
        view.OnTimer();
    };
    tick();
    tick();
    QCOMPARE(f.store->count, 1);

    f.line->Unplug();
    for (int i = 0; i < 4; ++i) tick();  // gone at the 2nd reading, still gone at the 3rd
    QCoreApplication::processEvents();
    QVERIFY(f.prompts.warnings.empty());  // no box interrupts the run
    QVERIFY(view.IsMeasuring());
    QVERIFY(view.IsStopEnabled());
    const QString waiting = messages.last().at(0).toString();
    QVERIFY2(QRegularExpression("^Waiting for COM2 \\(/dev/ttyS1\\) since \\d\\d:\\d\\d:\\d\\d; "
                                "2 readings missed, data file run.txt$")
                 .match(waiting)
                 .hasMatch(),
             qPrintable(waiting));

    f.line->Plug();
    tick();
    tick();
    QCOMPARE(f.store->count, 2);
    const QString back = messages.last().at(0).toString();
    QVERIFY2(QRegularExpression(
                 "^Measuring: 4 readings, next in 2 s, data file run.txt \\| The device "
                 "was gone from \\d\\d:\\d\\d:\\d\\d to \\d\\d:\\d\\d:\\d\\d \\(4 s\\); 2 "
                 "readings missed$")
                 .match(back)
                 .hasMatch(),
             qPrintable(back));
    QCOMPARE(ReadLines(f.dir.File("run.txt")).size(), std::size_t(2));
    QVERIFY(f.prompts.warnings.empty());
}

void VarkelViewTest::linesOfAnEndedRunAreRetriedAndKeepTheirFileToThemselves() {
    ViewFixture f;
    CVarkelView view(*f.run, f.readings, *f.store, f.prompts);
    QSignalSpy messages(&view, &CVarkelView::runStatusChanged);
    const std::filesystem::path folder = f.dir.Path() / "stick";
    std::filesystem::create_directory(folder);
    const std::string first = (folder / "run.txt").string();
    f.prompts.dataFileName = first;
    view.OnMeasurementStart();
    std::filesystem::remove_all(folder);  // the stick is pulled with the run going
    for (int i = 0; i < 4; ++i) {
        f.clock.Advance(1000);
        view.OnTimer();
    }
    view.OnMeasurementStop();
    QCOMPARE(f.run->PendingLines(), std::size_t(2));
    QVERIFY2(messages.last().at(0).toString().startsWith(
                 "2 lines waiting to be written to run.txt: " + QString::fromStdString(first) +
                 ": No such file or directory; retrying every second"),
             qPrintable(messages.last().at(0).toString()));

    // Idle ticks keep trying and keep the message in sight.
    const int published = messages.count();
    view.OnTimer();
    QCOMPARE(messages.count(), published + 1);
    QVERIFY(messages.last().at(0).toString().startsWith("2 lines waiting"));

    // A new run on that name is refused; the person picks another one.
    std::filesystem::create_directory(folder);
    const std::string second = f.dir.File("second.txt");
    f.prompts.nextDataFileNames = {first, second};
    view.OnMeasurementStart();
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(f.prompts.warnings[0].text,
             std::string("Lines of an earlier run are still waiting to be written to this file. "
                         "Choose another name for the new run."));
    QVERIFY(view.IsMeasuring());
    QCOMPARE(view.DataFile(), second);

    f.clock.Advance(1000);
    view.OnTimer();
    f.clock.Advance(1000);
    view.OnTimer();  // the new run's first reading; the old lines go to their own file
    QCOMPARE(ReadLines(first).size(), std::size_t(2));
    QCOMPARE(ReadLines(second).size(), std::size_t(1));
    QCOMPARE(ReadLines(first)[0].substr(0, 2), std::string("2 "));
    QCOMPARE(f.run->PendingLines(), std::size_t(0));
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
    const nlohmann::json record = nlohmann::json::parse(ReadWholeFile(f.dir.File("run.txt.json")));
    QCOMPARE(record["end_reason"].get<std::string>(), std::string("window closed"));
}

QTEST_MAIN(VarkelViewTest)
#include "test_varkel_view.moc"
