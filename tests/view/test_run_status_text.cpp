// The status bar's run message: progress, and the warnings that stay until their cause is gone.

#include <QtTest>

#include "measure/MeasurementRun.h"
#include "view/RunStatusText.h"

class RunStatusTextTest : public QObject {
    Q_OBJECT
private slots:
    void formats_data();
    void formats();
    void warningsFollowTheTicks();
};

void RunStatusTextTest::formats_data() {
    QTest::addColumn<int>("readings");
    QTest::addColumn<QString>("noValidReply");
    QTest::addColumn<bool>("storeFull");
    QTest::addColumn<int>("pending");
    QTest::addColumn<QString>("expected");
    const QString head = "Measuring: 7 readings, next in 2 s, data file run.txt";
    QTest::newRow("plain") << 7 << "" << false << 0 << head;
    QTest::newRow("one reading") << 1 << "" << false << 0
                                 << "Measuring: 1 reading, next in 2 s, data file run.txt";
    QTest::newRow("no reply") << 7 << "no reply to OUTP ? 3" << false << 0
                              << head + " | No valid reply from the amplifier: no reply to OUTP ? 3";
    QTest::newRow("store full") << 7 << "" << true << 0
                                << head + " | Sample store full: the charts stop growing, the data file goes on";
    QTest::newRow("pending") << 7 << "" << false << 3
                             << head + " | 3 lines waiting to be written to the data file: disk full";
    QTest::newRow("all") << 7 << "x" << true << 1
                         << head + " | No valid reply from the amplifier: x | Sample store full: the charts "
                                   "stop growing, the data file goes on | 1 line waiting to be written to "
                                   "the data file: disk full";
}

void RunStatusTextTest::formats() {
    QFETCH(int, readings);
    QFETCH(QString, noValidReply);
    QFETCH(bool, storeFull);
    QFETCH(int, pending);
    QFETCH(QString, expected);
    RunWarnings warnings;
    warnings.noValidReply = noValidReply.toStdString();
    warnings.storeFull = storeFull;
    warnings.pendingLines = static_cast<std::size_t>(pending);
    warnings.pendingReason = "disk full";
    QCOMPARE(QString::fromStdString(FormatRunProgress(readings, 2, "/data/today/run.txt", warnings)),
             expected);
}

void RunStatusTextTest::warningsFollowTheTicks() {
    RunWarnings warnings;
    TickResult bad;
    bad.readingTaken = true;
    bad.reading.problem = "no reply";
    bad.file.pending = 2;
    bad.file.error = "run.txt: No space left on device";
    warnings.Update(bad);
    QCOMPARE(warnings.noValidReply, std::string("no reply"));
    QCOMPARE(warnings.pendingLines, std::size_t(2));

    TickResult idleTick;  // no reading: nothing changes
    warnings.Update(idleTick);
    QCOMPARE(warnings.noValidReply, std::string("no reply"));

    TickResult good;
    good.readingTaken = true;
    good.reading.amplitudeValid = good.reading.phaseValid = true;
    good.storeFull = true;
    good.file.wroteAll = true;
    warnings.Update(good);
    QCOMPARE(warnings.noValidReply, std::string());
    QVERIFY(warnings.storeFull);
    QCOMPARE(warnings.pendingLines, std::size_t(0));
    QCOMPARE(warnings.pendingReason, std::string());
}

QTEST_MAIN(RunStatusTextTest)
#include "test_run_status_text.moc"
