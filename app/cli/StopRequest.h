#pragma once
// Ctrl+C and SIGTERM as a request to stop: the handlers only set a flag, and the recording
// loop, which never waits longer than a fraction of a second at a time, ends the run
// cleanly when it sees it. A second signal of the same kind ends the process at once.

// Installs the handlers for SIGINT and SIGTERM (and ignores SIGPIPE, so a closed output
// pipe cannot kill the process before the amplifier is released). Call once.
void InstallStopHandlers();

// True once SIGINT or SIGTERM has arrived since InstallStopHandlers.
bool StopRequested();
