// A recorded run read from its data file: every line becomes a sample (no cap), the last
// line the status text's readings, and a file that is not a run is refused naming its first
// bad line. Also the reader's piecewise scan, which must cut lines at its read boundaries
// without losing or splitting any.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "TempDir.h"
#include "measure/DataFileReader.h"
#include "view/RecordedRun.h"

namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class CollectRows final : public DataRowSink {
public:
    void AddRow(const DataRow& row) override { rows.push_back(row); }
    std::vector<DataRow> rows;
};

// Lines of varying length, so that line ends fall on every offset of the reader's pieces.
std::string ManyLines(int count, const char* lineEnd) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += std::to_string(2 * i) + " 0.05" +
                std::string(static_cast<std::size_t>(i % 37), '0') + " -12.5 2e-06 -40.25 " +
                std::to_string(25000 + i) + " 27.75" + lineEnd;
    }
    return text;
}

}  // namespace

TEST(DataFileScan, CutsLinesAtItsReadBoundariesExactlyAsTheWholeTextIsParsed) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string text;
    } const cases[] = {
        {"newline ends", ManyLines(20000, "\n")},
        {"CR LF ends, some split between two reads", ManyLines(20000, "\r\n")},
        {"last line without its end", ManyLines(9000, "\n") + "1 2 3 4 5 6 7"},
        {"fault far beyond the first read",
         ManyLines(15000, "\n") + "1 2 3\n" + ManyLines(10, "\n")},
        {"blank line after many", ManyLines(12000, "\n") + "\n"},
        {"one line longer than a read", std::string(300000, ' ') + "1 2 3 4 5 6 7\n"},
        {"a line of more than a mebibyte", "1 2 3 4 5 6 7\n" + std::string(3 << 20, 'x')},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File("run.txt");
        WriteFile(path, c.text);
        const DataFileContents whole = ParseDataText(c.text);
        CollectRows sink;
        const DataFileScan scan = ScanDataFile(path, sink);
        EXPECT_EQ(scan.ok, whole.ok) << c.name;
        EXPECT_EQ(scan.error, whole.error) << c.name;
        EXPECT_EQ(scan.errorLine, whole.errorLine) << c.name;
        EXPECT_FALSE(scan.readFailed) << c.name;
        if (whole.ok) {
            EXPECT_EQ(scan.rows, static_cast<long>(whole.rows.size())) << c.name;
            EXPECT_EQ(sink.rows, whole.rows) << c.name;
        }
    }
    // Shifted by one byte at a time over a whole line's length, a read boundary falls on
    // every byte of some line, between its "\r" and its "\n" too.
    const std::string lines = ManyLines(6000, "\r\n");
    for (int shift = 0; shift < 100; ++shift) {
        const std::string text = std::string(static_cast<std::size_t>(shift), ' ') + lines;
        WriteFile(dir.File("shifted.txt"), text);
        CollectRows sink;
        const DataFileScan scan = ScanDataFile(dir.File("shifted.txt"), sink);
        ASSERT_TRUE(scan.ok) << "shift " << shift << ": " << scan.error;
        ASSERT_EQ(sink.rows, ParseDataText(text).rows) << "shift " << shift;
    }

    // The cases above as a person reads them; a "line" without end is not read to its end.
    WriteFile(dir.File("long.txt"), "1 2 3 4 5 6 7\n" + std::string(3 << 20, 'x'));
    EXPECT_EQ(ParseDataText(ReadWholeFile(dir.File("long.txt"))).error,
              "line 2: longer than 1048576 bytes; every line holds seven numbers");
    if (std::filesystem::exists("/dev/zero")) {
        CollectRows none;
        EXPECT_EQ(ScanDataFile("/dev/zero", none).error,
                  "line 1: longer than 1048576 bytes; every line holds seven numbers");
    }

    CollectRows sink;
    WriteFile(dir.File("fault.txt"), ManyLines(15000, "\n") + "1 2 3\n");
    EXPECT_EQ(ScanDataFile(dir.File("fault.txt"), sink).error,
              "line 15001: expected seven numbers, found 3");
    EXPECT_EQ(sink.rows.size(), 15000u);  // handed over before the fault was met
}

TEST(DataFileScan, AFileThatCannotBeReadGivesTheSystemsReason) {
    TempDir dir;
    CollectRows sink;
    const DataFileScan scan = ScanDataFile(dir.File("absent.txt"), sink);
    EXPECT_FALSE(scan.ok);
    EXPECT_TRUE(scan.readFailed);
    EXPECT_EQ(scan.error, "No such file or directory");
    EXPECT_TRUE(sink.rows.empty());
}

TEST(RecordedRun, EveryLineBecomesASampleInMinutesAndTheLastLineTheReadings) {
    TempDir dir;
    const std::string path = dir.File("run.txt");
    // More lines than the live run's store holds (65,536), as a week at 2 s has.
    constexpr int kLines = 70000;
    std::string text;
    for (int i = 0; i < kLines; ++i) {
        text += std::to_string(2 * i) + " 0.05 -12.5 2e-06 -40.25 " + std::to_string(1000 + i) +
                " " + std::to_string(i % 90) + "\n";
    }
    text += "140000 0.06 -11.5 3e-06 -41.25 20000 29.75\n";
    WriteFile(path, text);

    const RecordedRunLoad load = LoadRecordedRun(path);
    ASSERT_TRUE(load.run) << load.error;
    const RecordedRun& run = *load.run;
    ASSERT_EQ(run.Count(), kLines + 1);
    EXPECT_EQ(run.timeMinutes[3], 6 * 0.016666666666666666);  // as a run converts its seconds
    EXPECT_EQ(run.timeMinutes[kLines], 140000 * 0.016666666666666666);
    EXPECT_EQ(run.impedance[65536], 1000 + 65536);
    EXPECT_EQ(run.phase[91], 1);
    EXPECT_TRUE(run.timeSorted);
    EXPECT_EQ(run.last.elapsedSeconds, 140000);
    EXPECT_EQ(run.last.voltage, 0.06);
    EXPECT_EQ(run.last.voltagePhase, -11.5);
    EXPECT_EQ(run.last.current, 3e-6);
    EXPECT_EQ(run.last.currentPhase, -41.25);
    EXPECT_EQ(run.last.impedance, 20000);
    EXPECT_EQ(run.last.impedancePhase, 29.75);

    const SampleSeries series = SeriesOf(run);
    EXPECT_EQ(series.count, kLines + 1);
    EXPECT_EQ(series.timeMinutes, run.timeMinutes.data());
    EXPECT_EQ(series.impedance, run.impedance.data());
    EXPECT_EQ(series.phase, run.phase.data());
}

TEST(RecordedRun, TimesThatGoBackAreNotedSoLookUpsDoNotBisect) {
    const std::vector<DataRow> rows = {
        {0, 1, 0, 1e-6, 0, 5, 0}, {4, 1, 0, 1e-6, 0, 6, 0}, {2, 1, 0, 1e-6, 0, 7, 0}};
    EXPECT_FALSE(RecordedRunFromRows(rows).timeSorted);
    EXPECT_TRUE(RecordedRunFromRows({rows[0], rows[2], rows[2], rows[1]}).timeSorted);
}

TEST(RecordedRun, AFileThatIsNotARunIsRefusedNamingItsFirstBadLine) {
    TempDir dir;
    const std::string good = "0 0.05 -12.5 2e-06 -40.25 25000 27.75\n";
    struct Case {
        const char* name;
        std::string bytes;
        long errorLine;
        std::string error;
    } const cases[] = {
        {"six fields", good + good + "4 0.05 -12.5 2e-06 -40.25 25000\n", 3,
         "line 3: expected seven numbers, found 6"},
        {"a word", good + "2 0.05 volts 2e-06 -40.25 25000 27.75\n", 2,
         "line 2: field 3 \"volts\" is not a number"},
        {"blank line", good + "\n" + good, 2, "line 2: blank line; every line holds seven numbers"},
        {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), 1,
         "line 1: field 1 \"?PNG\" is not a number"},
        {"empty", "", 0, "the file holds no readings"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File("file.txt");
        WriteFile(path, c.bytes);
        const RecordedRunLoad load = LoadRecordedRun(path);
        EXPECT_FALSE(load.run) << c.name;
        EXPECT_EQ(load.errorLine, c.errorLine) << c.name;
        EXPECT_EQ(load.error, c.error) << c.name;
        EXPECT_FALSE(load.readFailed) << c.name;
    }
    const RecordedRunLoad absent = LoadRecordedRun(dir.File("absent.txt"));
    EXPECT_FALSE(absent.run);
    EXPECT_TRUE(absent.readFailed);
    EXPECT_EQ(absent.error, "No such file or directory");
}
