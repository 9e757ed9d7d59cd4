// The status bar's run message: progress, the device's absence and return, and the warnings
// that stay until their cause is gone.

#include <QtTest>

#include <cstdlib>
#include <ctime>

#include "measure/MeasurementRun.h"
#include "view/RunStatusText.h"

namespace {
// Calendar instants of 2026-12-11 (UTC; the test runs in UTC).
constexpr long long k031209 = 1796958000000 + (12 * 60 + 9) * 1000LL;
constexpr long long k031521 = 1796958000000 + (15 * 60 + 21) * 1000LL;
}  // namespace

class RunStatusTextTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void formats_data();
    void formats();
    void warningsFollowTheTicks();
    void aDeviceBackAndGoneAgainInOneTickTellsTheOutageThatEnded();
    void linesOfAnEndedRunStayInSight();
};

void RunStatusTextTest::initTestCase() {
    // Times of day are shown in local time: make local time UTC for exact texts.
    qputenv("TZ", "UTC");
    tzset();
}

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
    const QString pending = " | 3 lines waiting to be written to earlier.txt: disk full";
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
    QTest::newRow("pending, named by their own file") << 7 << "" << false << 3 << false << ""
                                                      << "" << head + pending;
    QTest::newRow("waiting") << 7 << "" << false << 0 << true << ""
                             << ""
                             << "Waiting for COM2 (/dev/ttyUSB0) since 03:12:09; 41 readings "
                                "missed, data file run.txt";
    QTest::newRow("back") << 7 << "" << false << 0 << false << "The device was gone from 1 to 2"
                          << "" << head + " | The device was gone from 1 to 2";
    QTest::newRow("record") << 7 << "" << false << 0 << false << ""
                            << "run.txt.json.tmp: Read-only file system"
                            << head +
                                   " | The run record could not be written: run.txt.json.tmp: "
                                   "Read-only file system";
    QTest::newRow("all") << 7 << "x" << true << 3 << false << "y"
                         << "z"
                         << head +
                                " | No valid reply from the amplifier: x | y | Sample store "
                                "full: the charts stop growing, the data file goes on" +
                                pending + " | The run record could not be written: z";
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
    RunState run;
    run.readingsTaken = readings;
    run.secondsToNextReading = 2;
    run.dataFile = "/data/today/run.txt";
    run.portLabel = "COM2 (/dev/ttyUSB0)";
    run.waitingForDevice = waiting;
    run.waitingSinceUtcMs = k031209;
    run.missedReadings = 41;
    run.storeFull = storeFull;
    run.pendingLines = static_cast<std::size_t>(pending);
    run.pendingFile = "/data/yesterday/earlier.txt";
    run.pendingReason = "disk full";
    run.recordProblem = recordProblem.toStdString();
    RunWarnings warnings;
    warnings.noValidReply = noValidReply.toStdString();
    warnings.lastOutage = lastOutage.toStdString();
    QCOMPARE(QString::fromStdString(FormatRunProgress(run, warnings)), expected);
}

void RunStatusTextTest::warningsFollowTheTicks() {
    RunWarnings warnings;
    TickResult bad;
    bad.readingTaken = true;
    bad.reading.problem = "no reply";
    warnings.Update(bad);
    QCOMPARE(warnings.noValidReply, std::string("no reply"));

    TickResult idleTick;  // no reading: nothing changes
    warnings.Update(idleTick);
    QCOMPARE(warnings.noValidReply, std::string("no reply"));

    TickResult waiting;  // the device is gone: no reply is expected, the head line says so
    waiting.readingTaken = waiting.waitingForDevice = true;
    waiting.reading.problem = "waiting for the device: /dev/ttyUSB0: No such file or directory";
    warnings.Update(waiting);
    QCOMPARE(warnings.noValidReply, std::string());

    warnings.Update(bad);
    TickResult good;
    good.readingTaken = true;
    good.reading.amplitudeValid = good.reading.phaseValid = true;
    warnings.Update(good);
    QCOMPARE(warnings.noValidReply, std::string());
    QCOMPARE(warnings.lastOutage, std::string());
}

void RunStatusTextTest::aDeviceBackAndGoneAgainInOneTickTellsTheOutageThatEnded() {
    RunWarnings warnings;
    TickResult tick;
    tick.readingTaken = true;
    tick.deviceBack = true;
    tick.endedOutage.lostMs = 1000;
    tick.endedOutage.backMs = 1000 + 192000;
    tick.endedOutage.lostUtcMs = k031209;
    tick.endedOutage.backUtcMs = k031521;
    tick.endedOutage.missedReadings = 42;
    // The reading right after the return found it gone again.
    tick.deviceLost = tick.waitingForDevice = true;
    tick.reading.portFailed = true;
    tick.reading.problem = "/dev/ttyUSB0: the device hung up";
    tick.outage.lostUtcMs = k031521;
    tick.outage.missedReadings = 1;
    warnings.Update(tick);
    QCOMPARE(warnings.lastOutage, std::string("The device was gone from 03:12:09 to 03:15:21 "
                                              "(3 min 12 s); 42 readings missed"));
    QCOMPARE(warnings.noValidReply, std::string());
}

void RunStatusTextTest::linesOfAnEndedRunStayInSight() {
    RunState run;
    run.pendingLines = 1;
    run.pendingFile = "/media/stick/run.txt";
    QCOMPARE(QString::fromStdString(FormatWaitingLines(run)),
             QString("1 line waiting to be written to run.txt; retrying every second"));
    run.pendingLines = 12;
    run.pendingReason = "/media/stick/run.txt: Read-only file system";
    QCOMPARE(QString::fromStdString(FormatWaitingLines(run)),
             QString("12 lines waiting to be written to run.txt: /media/stick/run.txt: "
                     "Read-only file system; retrying every second"));
}

QTEST_MAIN(RunStatusTextTest)
#include "test_run_status_text.moc"
