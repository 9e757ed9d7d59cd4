#include "IsoTime.h"

#include <cstdio>
#include <ctime>

namespace {
// Whole seconds and milliseconds, floor division so times before 1970 stay correct.
void Split(long long utcMs, std::time_t* seconds, int* ms) {
    long long s = utcMs / 1000;
    long long rest = utcMs % 1000;
    if (rest < 0) {
        rest += 1000;
        --s;
    }
    *seconds = static_cast<std::time_t>(s);
    *ms = static_cast<int>(rest);
}

std::string Format(const std::tm& t, int ms, const char* zone) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%s", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, ms, zone);
    return text;
}
// The local calendar time of an instant, its milliseconds and the zone's offset east of UTC.
std::tm LocalTime(long long utcMs, int* ms, long* offset) {
    std::time_t seconds = 0;
    Split(utcMs, &seconds, ms);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
    std::tm asUtc = local;
    *offset = static_cast<long>(_mkgmtime(&asUtc) - seconds);
#else
    localtime_r(&seconds, &local);
    *offset = local.tm_gmtoff;
#endif
    return local;
}
}  // namespace

std::string FormatUtc(long long utcMs) {
    std::time_t seconds = 0;
    int ms = 0;
    Split(utcMs, &seconds, &ms);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &seconds);
#else
    gmtime_r(&seconds, &utc);
#endif
    return Format(utc, ms, "Z");
}

std::string FormatLocal(long long utcMs) {
    int ms = 0;
    long offset = 0;  // seconds east of UTC
    const std::tm local = LocalTime(utcMs, &ms, &offset);
    const char sign = offset < 0 ? '-' : '+';
    const long magnitude = offset < 0 ? -offset : offset;
    char zone[32];
    std::snprintf(zone, sizeof zone, "%c%02ld:%02ld", sign, magnitude / 3600, magnitude / 60 % 60);
    return Format(local, ms, zone);
}

std::string FormatLocalTimeOfDay(long long utcMs) {
    int ms = 0;
    long offset = 0;
    const std::tm local = LocalTime(utcMs, &ms, &offset);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}
