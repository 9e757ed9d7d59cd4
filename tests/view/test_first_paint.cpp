// The first paint of the first view asks for the one-second timer, once for the whole process,
// and the timer then ticks. A program of its own: the first-paint flag is one per process, so
// in a program with other view tests it would hold only for whichever test painted first.

#include <QTimerEvent>
#include <QtTest>

#include "ViewFixture.h"
#include "view/VarkelView.h"

namespace {
// Counts the view's requests for the timer and the ticks of the timer it was granted.
class TimerCountingView : public CVarkelView {
public:
    using CVarkelView::CVarkelView;
    int requests = 0;
    int grantedId = 0;
    int ticks = 0;

protected:
    int StartTickTimer() override {
        ++requests;
        grantedId = CVarkelView::StartTickTimer();
        return grantedId;
    }
    void timerEvent(QTimerEvent* event) override {
        if (grantedId != 0 && event->timerId() == grantedId) ++ticks;
        CVarkelView::timerEvent(event);
    }
};

// Generous: the timer ticks every second; only a timer that never ticks waits this long.
constexpr int kFirstTickLimitMs = 30000;
}  // namespace

class FirstPaintTest : public QObject {
    Q_OBJECT
private slots:
    void firstPaintStartsTheTimerOnce();
};

void FirstPaintTest::firstPaintStartsTheTimerOnce() {
    ViewFixture f;
    QVERIFY(CVarkelView::FirstPaintPending());
    TimerCountingView first(*f.run, f.readings, *f.store, f.prompts);
    QCOMPARE(first.requests, 0);  // made, not painted yet
    first.resize(200, 100);
    first.show();
    QVERIFY(QTest::qWaitForWindowExposed(&first));
    QTRY_COMPARE(first.requests, 1);
    QVERIFY(!CVarkelView::FirstPaintPending());
    QVERIFY(first.grantedId != 0);
    QVERIFY(f.prompts.warnings.empty());  // the timer was granted

    // Later paints, of this view or another, ask for no timer.
    first.repaint();
    first.repaint();
    ViewFixture g;
    TimerCountingView second(*g.run, g.readings, *g.store, g.prompts);
    second.resize(200, 100);
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    second.repaint();
    QCOMPARE(first.requests, 1);
    QCOMPARE(second.requests, 0);
    QVERIFY(g.prompts.warnings.empty());

    // The timer it was granted ticks.
    QTRY_VERIFY_WITH_TIMEOUT(first.ticks > 0, kFirstTickLimitMs);
    QCOMPARE(second.ticks, 0);
}

QTEST_MAIN(FirstPaintTest)
#include "test_first_paint.moc"
