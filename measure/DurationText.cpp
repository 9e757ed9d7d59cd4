#include "DurationText.h"

namespace {
std::string Part(long long n, const char* unit) { return std::to_string(n) + " " + unit; }

// The larger unit, and the smaller one unless it is zero.
std::string Pair(long long big, const char* bigUnit, long long small, const char* smallUnit) {
    return small == 0 ? Part(big, bigUnit) : Part(big, bigUnit) + " " + Part(small, smallUnit);
}
}  // namespace

std::string FormatDuration(long long ms) {
    const long long s = ms < 0 ? 0 : ms / 1000;
    if (s < 60) return Part(s, "s");
    if (s < 3600) return Pair(s / 60, "min", s % 60, "s");
    if (s < 86400) return Pair(s / 3600, "h", s / 60 % 60, "min");
    return Pair(s / 86400, "d", s / 3600 % 24, "h");
}
