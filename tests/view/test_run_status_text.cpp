// The status bar's run message: progress, the device's absence and return, and the warnings
// that stay until their cause is gone.

#include <QtTest>

#include "measure/MeasurementRun.h"
#include "view/RunStatusText.h"

class RunStatusTextTest : public QObject {
    Q_OBJECT
private slots:
    void formats_data();
    void formats();
    void warningsFollowTheTicks();
    void aLostDeviceIsToldOnceAndItsReturnStaysOnShow();
    void linesOfAnEndedRunStayInSight();
};

void RunStatusTextTest::formats_data() {
    QTest::addColumn<int>("readings");
    QTest::addColumn<QString>("noValidReply");
    QTest::addColumn<bool>("storeFull");
    QTest::addColumn<int>("pending");
    QTest::addColumn<bool>("waiting");
    QTest::addColumn<QString>("lastOutage");
    QTest::addColumn<QString>("recordProblem");
    QTest::addColumn<QString>("expected");
    const QString head = "Measuring: 7 readings, next in 2 s, data file run.txt";
    QTest::newRow("plain") << 7 << "" << false << 0 << false << ""
                           << "" << head;
    QTest::newRow("one reading") << 1 << "" << false << 0 << false << ""
                                 << ""
                                 << "Measuring: 1 reading, next in 2 s, data file run.txt";
    QTest::newRow("no reply") << 7 << "no reply to OUTP ? 3" << false << 0 << false << ""
                              << ""
                              << head +
                                     " | No valid reply from the amplifier: no reply to OUTP ? 3";
    QTest::newRow("store full")
        << 7 << "" << true << 0 << false << ""
        << "" << head + " | Sample store full: the charts stop growing, the data file goes on";
    QTest::newRow("pending") << 7 << "" << false << 3 << false << ""
                             << ""
                             << head +
                                    " | 3 lines waiting to be written to the data file: disk full";
    QTest::newRow("all")
        << 7 << "x" << true << 1 << false << ""
        << ""
        << head +
               " | No valid reply from the amplifier: x | Sample store full: the charts "
               "stop growing, the data file goes on | 1 line waiting to be written to "
               "the data file: disk full";
    QTest::newRow("waiting")
        << 7 << "" << false << 0 << true << ""
        << ""
        << "Waiting for COM2 (/dev/ttyUSB0) since 03:12:09; 41 readings missed, "
           "data file run.txt";
    QTest::newRow("back") << 7 << "" << false << 0 << false << "The device was gone from 1 to 2"
                          << "" << head + " | The device was gone from 1 to 2";
    QTest::newRow("record") << 7 << "" << false << 0 << false << ""
                            << "run.txt.json.tmp: Read-only file system"
                            << head +
                                   " | The run record could not be written: run.txt.json.tmp: "
                                   "Read-only file system";
}

void RunStatusTextTest::formats() {
    QFETCH(int, readings);
    QFETCH(QString, noValidReply);
    QFETCH(bool, storeFull);
    QFETCH(int, pending);
    QFETCH(bool, waiting);
    QFETCH(QString, lastOutage);
    QFETCH(QString, recordProblem);
    QFETCH(QString, expected);
    RunWarnings warnings;
    warnings.noValidReply = noValidReply.toStdString();
    warnings.storeFull = storeFull;
    warnings.pendingLines = static_cast<std::size_t>(pending);
    warnings.pendingReason = "disk full";
    warnings.waitingForDevice = waiting;
    warnings.waitingSince = "03:12:09";
    warnings.missedReadings = 41;
    warnings.lastOutage = lastOutage.toStdString();
    warnings.recordProblem = recordProblem.toStdString();
    QCOMPARE(QString::fromStdString(FormatRunProgress(readings, 2, "/data/today/run.txt",
                                                      "COM2 (/dev/ttyUSB0)", warnings)),
             expected);
}

void RunStatusTextTest::warningsFollowTheTicks() {
    RunWarnings warnings;
    TickResult bad;
    bad.readingTaken = true;
    bad.reading.problem = "no reply";
    bad.fileTouched = true;
    bad.file.pending = 2;
    bad.file.error = "run.txt: No space left on device";
    warnings.Update(bad, "10:00:00");
    QCOMPARE(warnings.noValidReply, std::string("no reply"));
    QCOMPARE(warnings.pendingLines, std::size_t(2));

    TickResult idleTick;  // no reading: nothing changes
    warnings.Update(idleTick, "10:00:01");
    QCOMPARE(warnings.noValidReply, std::string("no reply"));
    QCOMPARE(warnings.pendingLines, std::size_t(2));

    TickResult good;
    good.readingTaken = true;
    good.reading.amplitudeValid = good.reading.phaseValid = true;
    good.storeFull = true;
    good.fileTouched = true;
    good.file.wroteAll = true;
    warnings.Update(good, "10:00:02");
    QCOMPARE(warnings.noValidReply, std::string());
    QVERIFY(warnings.storeFull);
    QCOMPARE(warnings.pendingLines, std::size_t(0));
    QCOMPARE(warnings.pendingReason, std::string());
}

void RunStatusTextTest::aLostDeviceIsToldOnceAndItsReturnStaysOnShow() {
    RunWarnings warnings;
    TickResult lost;
    lost.readingTaken = true;
    lost.reading.portFailed = true;
    lost.reading.problem = "/dev/ttyUSB0: the device hung up";
    lost.deviceLost = lost.waitingForDevice = true;
    lost.outage.lostMs = 1000;
    lost.outage.missedReadings = 1;
    warnings.Update(lost, "03:12:09");
    QVERIFY(warnings.waitingForDevice);
    QCOMPARE(warnings.waitingSince, std::string("03:12:09"));
    QCOMPARE(warnings.noValidReply, std::string());  // the head line says it all

    TickResult missed = lost;
    missed.deviceLost = false;
    missed.reading = ReadingOutcome();
    missed.reading.problem = "waiting for the device: /dev/ttyUSB0: No such file or directory";
    missed.outage.missedReadings = 41;
    warnings.Update(missed, "03:13:29");
    QCOMPARE(warnings.waitingSince, std::string("03:12:09"));  // when it went, not now
    QCOMPARE(warnings.missedReadings, std::int64_t(41));
    QCOMPARE(warnings.noValidReply, std::string());

    TickResult back;
    back.readingTaken = true;
    back.reading.amplitudeValid = back.reading.phaseValid = true;
    back.deviceBack = true;
    back.outage.lostMs = 1000;
    back.outage.backMs = 1000 + 192000;
    back.outage.missedReadings = 42;
    warnings.Update(back, "03:15:21");
    QVERIFY(!warnings.waitingForDevice);
    QCOMPARE(warnings.lastOutage,
             std::string(
                 "The device was gone from 03:12:09 to 03:15:21 (3 min 12 s); 42 readings missed"));
    QCOMPARE(QString::fromStdString(FormatRunProgress(90, 2, "run.txt", "COM2", warnings)),
             QString("Measuring: 90 readings, next in 2 s, data file run.txt | The device was gone "
                     "from 03:12:09 to 03:15:21 (3 min 12 s); 42 readings missed"));
}

void RunStatusTextTest::linesOfAnEndedRunStayInSight() {
    QCOMPARE(QString::fromStdString(FormatWaitingLines(1, "/media/stick/run.txt", "")),
             QString("1 line waiting to be written to run.txt; retrying every second"));
    QCOMPARE(
        QString::fromStdString(FormatWaitingLines(12, "/media/stick/run.txt",
                                                  "/media/stick/run.txt: Read-only file system")),
        QString("12 lines waiting to be written to run.txt: /media/stick/run.txt: Read-only file "
                "system; retrying every second"));
}

QTEST_MAIN(RunStatusTextTest)
#include "test_run_status_text.moc"
