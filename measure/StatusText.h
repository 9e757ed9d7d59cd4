#pragma once
// The two-line status text the window shows above its charts (and the command line prints
// the second line of once per reading).

#include <cstdint>
#include <string>

struct Readings;

// At most this many characters: a reply that scales to an absurd value makes the text
// longer than a window line, and it is cut here rather than anywhere unpredictable.
constexpr std::size_t kStatusTextMax = 255;

// "Varkel Lock-in amplifier driver\nTime=%6.3lf s, Voltage=%1.1lf mV, %1.3lf, Current=%1.1lf
// uA, %1.3lf, Impedance=%1.1lf Ohm, %1.3lf", with the voltage in mV and the current in uA.
std::string FormatStatusText(const Readings& readings);

// The second line alone.
std::string FormatStatusLine(const Readings& readings);

// "1 line", "3 lines": a count and its noun for the messages around a run.
std::string CountOf(std::int64_t n, const char* one, const char* many);
