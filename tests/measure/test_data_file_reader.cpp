// Reading a data file back: what is accepted as seven numbers and which line a fault names.

#include <gtest/gtest.h>

#include <string>

#include "TempDir.h"
#include "measure/DataFile.h"
#include "measure/DataFileReader.h"

TEST(DataFileReader, AcceptsWhatTheRunWritesAndTheLineEndsOfOtherSystems) {
    struct Case {
        const char* name;
        std::string text;
        std::size_t rows;
        double firstOfLast;  // column 1 of the last row
        double lastOfLast;   // column 7 of the last row
    } const cases[] = {
        {"one line", "2 0.05 -12.5 1e-06 0 50000 -12.5\n", 1, 2, -12.5},
        {"two lines", "2 0.05 -12.5 1e-06 0 50000 -12.5\n4 0.05 -12.5 2e-06 -40.25 25000 27.75\n",
         2, 4, 27.75},
        {"no final newline", "1 2 3 4 5 6 7\n8 9 10 11 12 13 14", 2, 8, 14},
        {"CRLF", "1 2 3 4 5 6 7\r\n8 9 10 11 12 13 14\r\n", 2, 8, 14},
        {"CRLF without final newline", "1 2 3 4 5 6 7\r\n8 9 10 11 12 13 14\r", 2, 8, 14},
        {"tabs and extra blanks", "  1\t2  3 4 5 6 7  \n", 1, 1, 7},
        {"exponents and signs", "1.23457e+06 -1E-3 +2 .5 5. 6e0 -7.5e+02\n", 1, 1234570, -750},
    };
    for (const Case& c : cases) {
        const DataFileContents contents = ParseDataText(c.text);
        ASSERT_TRUE(contents.ok) << c.name << ": " << contents.error;
        ASSERT_EQ(contents.rows.size(), c.rows) << c.name;
        EXPECT_EQ(contents.rows.back()[0], c.firstOfLast) << c.name;
        EXPECT_EQ(contents.rows.back()[6], c.lastOfLast) << c.name;
        EXPECT_EQ(contents.errorLine, 0) << c.name;
    }
}

TEST(DataFileReader, RefusesAnythingButSevenFiniteNumbersNamingTheLine) {
    const std::string good = "1 2 3 4 5 6 7\n";
    struct Case {
        std::string text;
        long line;
        std::string error;
    } const cases[] = {
        {"", 0, "the file holds no readings"},
        {good + "1 2 3 4 5 6\n", 2, "line 2: expected seven numbers, found 6"},
        {good + good + "1 2 3 4 5 6 7 8\n", 3, "line 3: expected seven numbers, found 8"},
        {"1 2 x 4 5 6 7\n", 1, "line 1: field 3 \"x\" is not a number"},
        {"1 2 3 4 5 6 7abc\n", 1, "line 1: field 7 \"7abc\" is not a number"},
        {"1,5 2 3 4 5 6 7\n", 1, "line 1: field 1 \"1,5\" is not a number"},
        {"1 2 3 4 5 6 0x10\n", 1, "line 1: field 7 \"0x10\" is not a number"},
        {"1 2 3 4 5 +-6 7\n", 1, "line 1: field 6 \"+-6\" is not a number"},
        {"1 2 3 nan 5 6 7\n", 1, "line 1: field 4 \"nan\" is not a finite number"},
        {"1 2 3 4 5 -inf 7\n", 1, "line 1: field 6 \"-inf\" is not a finite number"},
        {"1 2 3 4 5 6 1e999\n", 1, "line 1: field 7 \"1e999\" is out of range"},
        {good + "\n" + good, 2, "line 2: blank line; every line holds seven numbers"},
        {good + "\n", 2, "line 2: blank line; every line holds seven numbers"},
        {"\n", 1, "line 1: blank line; every line holds seven numbers"},
        {std::string("1 2 3 4 5 6 \x01\xff\n"), 1, "line 1: field 7 \"??\" is not a number"},
        {"1\r2 3 4 5 6 7\n", 1, "line 1: field 1 \"1?2\" is not a number"},
    };
    for (const Case& c : cases) {
        const DataFileContents contents = ParseDataText(c.text);
        EXPECT_FALSE(contents.ok) << c.text;
        EXPECT_TRUE(contents.rows.empty()) << c.text;
        EXPECT_EQ(contents.errorLine, c.line) << c.text;
        EXPECT_EQ(contents.error, c.error) << c.text;
    }
}

TEST(DataFileReader, ReadsBackEveryValueTheDataFileWrites) {
    TempDir dir;
    const std::string path = dir.File("run.txt");
    ASSERT_TRUE(CreateDataFile(path.c_str()).ok);
    DataFile file;
    file.AppendDataLine(path.c_str(), 90, 0.000123456789, -12.5, 1e-6, 0, 1234567.8, 27.75);
    file.AppendDataLine(path.c_str(), 92, 0.05, 3, 2e-6, -40.25, 25000, 43.25);
    const DataFileContents contents = ReadDataFile(path);
    ASSERT_TRUE(contents.ok) << contents.error;
    ASSERT_EQ(contents.rows.size(), 2u);
    // "%lg" keeps six significant digits.
    EXPECT_EQ(contents.rows[0], (DataRow{90, 0.000123457, -12.5, 1e-6, 0, 1.23457e+06, 27.75}));
    EXPECT_EQ(contents.rows[1], (DataRow{92, 0.05, 3, 2e-6, -40.25, 25000, 43.25}));
}

TEST(DataFileReader, AFileThatCannotBeOpenedGivesTheSystemsReason) {
    TempDir dir;
    const DataFileContents contents = ReadDataFile(dir.File("absent.txt"));
    EXPECT_FALSE(contents.ok);
    EXPECT_EQ(contents.error, "No such file or directory");
}
