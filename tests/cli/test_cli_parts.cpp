// The parts of the headless modes: the tick schedule, and --plot's reading of a data file
// (every line of it) and its picture.

#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include <QGuiApplication>
#include <QImage>

#include <fstream>
#include <sstream>

#include "TempDir.h"
#include "app/CommandLine.h"
#include "app/cli/PlotData.h"
#include "app/cli/PlotImage.h"
#include "app/cli/TickSchedule.h"
#include "measure/MeasurementState.h"
#include "view/RecordedRun.h"

TEST(TickSchedule, NextTickIsTheNextWholeSecondOfTheRunAndSkipsMissedOnes) {
    struct Case {
        long long since, next;
    } const cases[] = {
        {0, 1000},
        {1, 1000},
        {999, 1000},
        {1000, 2000},
        {1999, 2000},
        {3750, 4000},  // a tick whose work blocked 2.75 s: the missed ones are dropped
        {-20, 1000},   // a reading before the origin counts as the origin
        {40LL * 24 * 3600 * 1000 + 1, 40LL * 24 * 3600 * 1000 + 1000},  // beyond an int
    };
    for (const Case& c : cases) EXPECT_EQ(NextTickMs(c.since), c.next) << "since " << c.since;
}

TEST(PlotData, RowsBecomeSamplesInMinutesAndTheLastRowTheReadings) {
    TempDir dir;
    const std::string path = dir.File("run.txt");
    { std::ofstream(path) << "90 0.1 1 2e-06 3 50000 -2\n180 0.2 4 4e-06 5 50000 -1\n"; }
    std::ostringstream err;
    const std::shared_ptr<const RecordedRun> run = ReadPlotData(path, err);
    ASSERT_TRUE(run) << err.str();
    EXPECT_EQ(err.str(), "");
    ASSERT_EQ(run->Count(), 2);
    EXPECT_EQ(run->timeMinutes[0], 90 * 0.016666666666666666);
    EXPECT_DOUBLE_EQ(run->timeMinutes[1], 3.0);
    EXPECT_EQ(run->impedance[1], 50000);
    EXPECT_EQ(run->phase[0], -2);
    const Readings& readings = run->last;
    EXPECT_EQ(readings.elapsedSeconds, 180);
    EXPECT_EQ(readings.voltage, 0.2);
    EXPECT_EQ(readings.voltagePhase, 4);
    EXPECT_EQ(readings.current, 4e-6);
    EXPECT_EQ(readings.currentPhase, 5);
    EXPECT_EQ(readings.impedance, 50000);
    EXPECT_EQ(readings.impedancePhase, -1);
}

TEST(PlotData, AFileThatIsNotARunIsNamedWithItsFirstBadLine) {
    TempDir dir;
    const std::string path = dir.File("notes.txt");
    { std::ofstream(path) << "1 2 3 4 5 6 7\n1 2 3 4 5 6 7\nnot a number at all 5 6 7\n"; }
    std::ostringstream err;
    EXPECT_FALSE(ReadPlotData(path, err));
    EXPECT_EQ(err.str(), path + ": line 3: field 1 \"not\" is not a number\n");
}

// A week's file is longer than the window's live sample store (65,536): --plot draws it all.
// The lines past that count carry ten times the impedance, so a picture of only the first
// 65,536 looks different.
TEST(PlotData, EveryLineOfALongFileIsDrawn) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_cli_parts";
    static char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);  // fonts

    constexpr int kLiveStoreCapacity = 65536;
    constexpr int kLines = kLiveStoreCapacity + 1000;
    TempDir dir;
    CommandLine line;
    line.plotFile = dir.File("week.txt");
    line.pngFile = dir.File("week.png");
    line.width = 640;
    line.height = 400;
    {
        std::ofstream out(line.plotFile);
        for (int i = 0; i < kLines; ++i) {
            out << 2 * i << " 0.05 -12.5 2e-06 -40.25 " << (i < kLiveStoreCapacity ? 25000 : 250000)
                << " 27.75\n";
        }
    }
    std::ostringstream err;
    const std::shared_ptr<const RecordedRun> run = ReadPlotData(line.plotFile, err);
    ASSERT_TRUE(run) << err.str();
    ASSERT_EQ(run->Count(), kLines);
    EXPECT_EQ(run->impedance.back(), 250000);
    EXPECT_EQ(run->last.elapsedSeconds, 2 * (kLines - 1));
    ASSERT_EQ(WritePlotImage(*run, line, err), 0) << err.str();

    const QImage written(QString::fromStdString(line.pngFile));
    ASSERT_FALSE(written.isNull());
    const QImage all = PaintMeasurementImage(640, 400, run->last, SeriesOf(*run));
    SampleSeries firstOnly = SeriesOf(*run);
    firstOnly.count = kLiveStoreCapacity;
    const QImage capped = PaintMeasurementImage(640, 400, run->last, firstOnly);
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), all);
    EXPECT_NE(written.convertToFormat(QImage::Format_RGB32), capped);
}
