#include "IntervalInput.h"

#include <cerrno>
#include <cstdlib>

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

bool ParseDialogInteger(const std::string& text, long* value) {
    const char* begin = text.c_str();
    while (IsBlank(*begin)) ++begin;
    // strtol would skip newlines and other white space too; only blanks and tabs may lead.
    if (*begin != '+' && *begin != '-' && (*begin < '0' || *begin > '9')) return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(begin, &end, 10);
    if (end == begin) return false;
    if (parsed == 0 && *begin != '0') return false;  // "-0", "+0" are not accepted as 0
    const char* rest = end;
    while (IsBlank(*rest)) ++rest;
    // Anything after the number, or a NUL typed inside the text, makes it no integer.
    if (*rest != '\0' || static_cast<std::size_t>(rest - text.c_str()) != text.size()) {
        return false;
    }
    *value = parsed;
    return true;
}

IntervalCheck CheckIntervalText(const std::string& text) {
    IntervalCheck check;
    long value = 0;
    if (!ParseDialogInteger(text, &value)) {
        check.message = "Please enter an integer.";
        return check;
    }
    if (value < kMinInterval || value > kMaxInterval) {
        check.message = "Please enter an integer between " + std::to_string(kMinInterval) +
                        " and " + std::to_string(kMaxInterval) + ".";
        return check;
    }
    check.ok = true;
    check.value = static_cast<int>(value);
    return check;
}
