// The first paint's timer request when the system refuses it: one message, never retried.
// A program of its own, because the first-paint flag is one per process.

#include <QtTest>

#include "ViewFixture.h"
#include "view/VarkelView.h"

namespace {
class NoTimerView : public CVarkelView {
public:
    using CVarkelView::CVarkelView;
    int requests = 0;

protected:
    int StartTickTimer() override {
        ++requests;
        return 0;
    }
};
}  // namespace

class ViewTimerTest : public QObject {
    Q_OBJECT
private slots:
    void refusedTimerIsReportedOnceAndNeverRetried();
};

void ViewTimerTest::refusedTimerIsReportedOnceAndNeverRetried() {
    ViewFixture f;
    NoTimerView view(*f.run, f.readings, *f.store, f.prompts);
    view.resize(200, 100);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTRY_COMPARE(view.requests, 1);
    view.repaint();
    view.repaint();
    QCOMPARE(view.requests, 1);
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(f.prompts.warnings[0].caption, std::string("Varkel Application"));
    QCOMPARE(f.prompts.warnings[0].text,
             std::string("Not enough timers available for this window."));

    // The view goes on: a run can be started, it just never gets a tick from the timer.
    f.prompts.dataFileName = f.dir.File("run.txt");
    view.OnMeasurementStart();
    QVERIFY(view.IsMeasuring());
}

QTEST_MAIN(ViewTimerTest)
#include "test_view_timer.moc"
