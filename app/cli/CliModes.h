#pragma once
// The headless modes of the program: recording without a window, plotting a data file into
// an image, and listing the serial devices. Each returns the process exit status.

struct CommandLine;

int RunRecord(const CommandLine& line);
int RunPlot(int argc, char** argv, const CommandLine& line);
int RunListPorts(const CommandLine& line);
