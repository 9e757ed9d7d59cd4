#pragma once
// A recorded run as the charts show it: one sample per line of its data file, however many
// the file holds, and the values of its last line for the status text. Plain C++.

#include <memory>
#include <string>
#include <vector>

#include "MeasurementPainter.h"
#include "measure/DataFileReader.h"
#include "measure/MeasurementState.h"

struct RecordedRun {
    std::vector<double> timeMinutes;  // column 1 (s) times kMinutesPerSecond, as a run stores it
    std::vector<double> impedance;    // column 6, ohm
    std::vector<double> phase;        // column 7
    Readings last;                    // the last line: what the status text shows after the run
    // Times never decrease (true of every file a run writes): a look-up by time may bisect.
    bool timeSorted = true;

    int Count() const { return static_cast<int>(timeMinutes.size()); }
};

SampleSeries SeriesOf(const RecordedRun& run);

struct RecordedRunLoad {
    std::shared_ptr<const RecordedRun> run;  // null when the file was refused
    long errorLine = 0;       // 1-based line of the first fault, 0 for the whole file
    std::string error;        // for a person: "line 3: ..." or the system's reason
    bool readFailed = false;  // not opened or not read: error is the system's reason
};

// Reads the data file at path. Refuses what DataFileReader refuses, a file of more lines
// than a chart can count (2^31 - 1), and one too large for the memory there is.
RecordedRunLoad LoadRecordedRun(const std::string& path);

// The same from rows already read.
RecordedRun RecordedRunFromRows(const std::vector<DataRow>& rows);
