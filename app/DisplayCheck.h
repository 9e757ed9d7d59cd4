#pragma once
// Whether the window has a display to open on, decided before the toolkit starts: without
// one, Qt's platform plugin would abort the process with a message about reinstalling.
// Plain C++ so the decision can be tested with any environment.

#include <functional>
#include <string>
#include <vector>

// Reads an environment variable; empty when it is not set.
using EnvironmentReader = std::function<std::string(const char* name)>;

// True when the window system is X11 or Wayland and nothing names a display: no platform
// chosen explicitly (QT_QPA_PLATFORM, or -platform / -display among args, which exclude the
// program name) and neither DISPLAY nor WAYLAND_DISPLAY set. An explicit choice is left to
// the toolkit, so QT_QPA_PLATFORM=offscreen runs without any display. Always false on
// Windows and macOS.
bool LacksDisplay(const EnvironmentReader& environment, const std::vector<std::string>& args);

// What a person should do when the window cannot open: reason says why (a sentence without
// a final full stop), then how to give it a display or work without one.
std::string NoDisplayText(const std::string& program, const std::string& reason);

// The reason LacksDisplay stands for.
std::string NoDisplayReason();
