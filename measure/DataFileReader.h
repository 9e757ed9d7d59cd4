#pragma once
// Reads a data file back: one row of seven numbers per line, as the run writes them
// (elapsed s, voltage V, voltage phase, current A, current phase, impedance ohm, impedance
// phase). Plain C++, no locale: "1.5" is one and a half whatever the process locale says.
//
// Accepted: numbers in decimal or exponent form with an optional sign, separated by blanks
// or tabs (the run writes single spaces), blanks before and after, "\n" or "\r\n" line
// ends, and a last line without a line end. Refused, naming the 1-based line: a line with
// other than seven fields, a field that is not a number or is not finite (nan, inf), a
// blank line, which the run never writes and which therefore means the file is not one of
// ours or was damaged, and a line longer than 1 MiB. A file without any line holds no
// readings and is refused as well.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

constexpr int kDataColumns = 7;

using DataRow = std::array<double, kDataColumns>;

struct DataFileContents {
    bool ok = false;
    std::vector<DataRow> rows;  // every row, in file order, when ok
    long errorLine = 0;         // 1-based line of the first fault; 0 for a fault of the whole file
    std::string error;          // for a person: "line 3: ..." or why the file could not be read
};

// Parses text held in memory (the whole file's bytes).
DataFileContents ParseDataText(std::string_view text);

// Reads and parses the file at path. A file that cannot be opened or read says why, with
// the system's reason.
DataFileContents ReadDataFile(const std::string& path);

// Takes the rows of a data file one at a time, in file order, as they are parsed.
class DataRowSink {
public:
    virtual ~DataRowSink() = default;
    virtual void AddRow(const DataRow& row) = 0;
};

// The outcome of ScanDataFile: as DataFileContents, without the rows.
struct DataFileScan {
    bool ok = false;
    long rows = 0;       // rows handed to the sink
    long errorLine = 0;  // 1-based line of the first fault; 0 for a fault of the whole file
    std::string error;   // as DataFileContents::error
    // The file could not be opened or read: error is the system's reason, not a judgement
    // of the file's content.
    bool readFailed = false;
};

// Reads the file at path piece by piece and hands every row to sink as soon as it is parsed,
// so neither the file's text nor its rows are held at once (a week at 2 s is 300,000 lines).
// Accepts and refuses exactly what ReadDataFile does. At the first fault it stops: the rows
// before it have reached the sink already, and the result names the line.
DataFileScan ScanDataFile(const std::string& path, DataRowSink& sink);
