#pragma once
// The desktop program: the main window on the measurement core. Returns the exit status.

struct CommandLine;

// The exit status when there is no display for the window.
constexpr int kNoDisplayStatus = 2;

// Without a display (see LacksDisplay) it says what to do instead and returns
// kNoDisplayStatus before the toolkit starts; a display named but unreachable ends the
// process with the same text and status.
int RunWindow(int argc, char** argv, const CommandLine& line);
