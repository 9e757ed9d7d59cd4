#pragma once
// Calendar times as ISO 8601 text, for records scripts read back.

#include <string>

// "2026-12-11T03:12:09.250Z" for milliseconds since 1970-01-01 00:00 UTC.
std::string FormatUtc(long long utcMs);
// The same instant in the local time zone with its offset: "2026-12-11T04:12:09.250+01:00".
std::string FormatLocal(long long utcMs);
// Only its local time of day, to the second: "04:12:09".
std::string FormatLocalTimeOfDay(long long utcMs);
