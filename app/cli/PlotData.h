#pragma once
// varkel --plot's two steps: the data file read whole (every line, no cap: a week at 2 s is
// 302,400 lines), then the window's picture of it painted and written as a PNG file.

#include <iosfwd>
#include <memory>
#include <string>

struct CommandLine;
struct RecordedRun;

// The run in the data file at path, or null after telling err why (the file and its first
// bad line, or the system's reason).
std::shared_ptr<const RecordedRun> ReadPlotData(const std::string& path, std::ostream& err);

// Paints run at line.width x line.height as the window shows it and writes line.pngFile.
// Needs the application object (fonts). Failures go to err. Returns the exit status, 0 or 1.
int WritePlotImage(const RecordedRun& run, const CommandLine& line, std::ostream& err);
