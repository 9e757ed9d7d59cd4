#pragma once
// The run record: a small JSON file beside the data file (run.txt -> run.txt.json) that
// says what the seven columns alone cannot: when the run started in calendar time, on which
// port and device, at which interval, its outages, and how it ended. The data file itself
// stays seven numbers a line.
//
// It is written at the start and rewritten at every outage, return and at the end, always
// to a temporary file that is synced and then renamed over the old one, so a reader (or a
// power cut) only ever sees a whole record.

#include <cstdint>
#include <string>
#include <vector>

struct RunRecord {
    struct Outage {
        long long lostUtcMs = 0;
        long long backUtcMs = -1;  // -1 while the device is still gone
    };

    std::string programVersion;
    long long startedUtcMs = 0;  // the run's time zero: column 1 counts seconds from here
    std::string port;            // as chosen: "COM2", a device path, "sim"
    std::string device;          // the device actually opened
    int intervalSeconds = 0;
    bool simulated = false;
    std::int64_t readingsAttempted = 0;
    std::int64_t linesWritten = 0;
    std::int64_t linesWaiting = 0;
    std::vector<Outage> outages;
    long long endedUtcMs = -1;  // -1 while running
    std::string endReason = "running";
};

// Version of the record's layout; it grows when keys change meaning or go.
constexpr int kRunRecordFormatVersion = 1;

// The record's file for a data file: its path with ".json" added.
std::string RunRecordPath(const std::string& dataFile);

// The record as JSON text.
std::string FormatRunRecord(const RunRecord& record);

// Removes the record of dataFile, if there is one.
void RemoveRunRecord(const std::string& dataFile);

// Writes the record for dataFile whole or not at all. False, with the file and the
// system's reason in *error, when it could not be written; an older record then stays.
bool WriteRunRecord(const std::string& dataFile, const RunRecord& record, std::string* error);
