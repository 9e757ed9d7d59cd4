#include "NumberFormat.h"

#include <charconv>
#include <cmath>

namespace {
// Non-finite values come out as printf writes them.
bool AppendNonFinite(std::string& out, double value) {
    if (std::isnan(value)) {
        out += std::signbit(value) ? "-nan" : "nan";
        return true;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-inf" : "inf";
        return true;
    }
    return false;
}
}  // namespace

void AppendGeneral(std::string& out, double value) {
    if (AppendNonFinite(out, value)) return;
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    out.append(buffer, result.ptr);
}

void AppendFixed(std::string& out, double value, int precision, int width) {
    const std::size_t start = out.size();
    if (!AppendNonFinite(out, value)) {
        // 309 integer digits at most for a double, plus sign, point and precision.
        char buffer[400];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                          std::chars_format::fixed, precision);
        out.append(buffer, result.ptr);
    }
    const std::size_t written = out.size() - start;
    if (width > 0 && written < static_cast<std::size_t>(width)) {
        out.insert(start, static_cast<std::size_t>(width) - written, ' ');
    }
}
