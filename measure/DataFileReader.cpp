#include "DataFileReader.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A field as a person can read it in a message: at most 24 characters, anything that is
// not printable ASCII shown as '?', so a binary file cannot garble the terminal.
std::string Printable(std::string_view field) {
    constexpr std::size_t kShown = 24;
    std::string out;
    for (std::size_t i = 0; i < field.size() && i < kShown; ++i) {
        const unsigned char c = static_cast<unsigned char>(field[i]);
        out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
    if (field.size() > kShown) out += "...";
    return out;
}

// What is wrong with one field, or null when it is a finite number (then in *value).
// from_chars does not take a leading '+', which "%lf" does; one sign at most.
const char* ParseField(std::string_view field, double* value) {
    constexpr const char* kNotANumber = "is not a number";
    if (!field.empty() && field.front() == '+') {
        field.remove_prefix(1);
        if (field.empty() || field.front() == '-') return kNotANumber;
    }
    const char* end = field.data() + field.size();
    const auto result = std::from_chars(field.data(), end, *value, std::chars_format::general);
    if (result.ptr != end || field.empty()) return kNotANumber;
    if (result.ec == std::errc::result_out_of_range) return "is out of range";
    if (result.ec != std::errc()) return kNotANumber;
    if (!std::isfinite(*value)) return "is not a finite number";
    return nullptr;
}

// One line without its line end. Empty error when it held seven finite numbers.
std::string ParseLine(std::string_view line, DataRow* row) {
    std::size_t fields = 0;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i == line.size()) break;
        std::size_t end = i;
        while (end < line.size() && !IsBlank(line[end])) ++end;
        const std::string_view field = line.substr(i, end - i);
        ++fields;
        if (fields <= kDataColumns) {
            double value = 0.0;
            if (const char* problem = ParseField(field, &value)) {
                return "field " + std::to_string(fields) + " \"" + Printable(field) + "\" " +
                       problem;
            }
            (*row)[fields - 1] = value;
        }
        i = end;
    }
    if (fields == 0) return "blank line; every line holds seven numbers";
    if (fields != kDataColumns) {
        return "expected seven numbers, found " + std::to_string(fields);
    }
    return {};
}
}  // namespace

DataFileContents ParseDataText(std::string_view text) {
    DataFileContents contents;
    long lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        ++lineNumber;
        std::size_t newline = text.find('\n', start);
        const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
        if (newline == std::string_view::npos) newline = text.size();
        std::string_view line = text.substr(start, newline - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        DataRow row{};
        const std::string problem = ParseLine(line, &row);
        if (!problem.empty()) {
            contents.rows.clear();
            contents.errorLine = lineNumber;
            contents.error = "line " + std::to_string(lineNumber) + ": " + problem;
            return contents;
        }
        contents.rows.push_back(row);
        start = next;
    }
    if (contents.rows.empty()) {
        contents.error = "the file holds no readings";
        return contents;
    }
    contents.ok = true;
    return contents;
}

DataFileContents ReadDataFile(const std::string& path) {
    DataFileContents failed;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        failed.error = std::strerror(errno);
        return failed;
    }
    std::string text;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    const bool readError = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (readError) {
        failed.error = std::strerror(error);
        return failed;
    }
    return ParseDataText(text);
}
