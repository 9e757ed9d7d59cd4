#pragma once
// Lengths of time as a person reads them in a status line: "45 s", "3 min 12 s",
// "2 h 5 min", "3 d 4 h".

#include <string>

// ms is rounded down to whole seconds; negative counts as 0.
std::string FormatDuration(long long ms);
