#pragma once
// The headless modes of the program: recording without a window, and plotting a data file
// into an image. Each returns the process exit status.

struct CommandLine;

int RunRecord(const CommandLine& line);
int RunPlot(int argc, char** argv, const CommandLine& line);
