#pragma once
// The desktop program: the main window on the measurement core. Returns the exit status.

struct CommandLine;

int RunWindow(int argc, char** argv, const CommandLine& line);
