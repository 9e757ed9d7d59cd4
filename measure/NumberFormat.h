#pragma once
// printf-style number conversions that do not depend on the process locale (a desktop
// program may run under a locale with a decimal comma; the data file must not).

#include <string>

// Appends value as "%g" / "%lg" would in the "C" locale (six significant digits).
void AppendGeneral(std::string& out, double value);
// Appends value as "%<width>.<precision>f" would in the "C" locale.
void AppendFixed(std::string& out, double value, int precision, int width = 1);
