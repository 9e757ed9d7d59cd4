#include "DataFileReader.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
// A data line is some hundred bytes; a "line" this long is a file of another kind (an image,
// /dev/zero), refused before all of it is held in memory.
constexpr std::size_t kMaxLineBytes = 1 << 20;

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
// Lines in file order: counts them, parses each, hands its row on, and keeps the first fault.
class LineScanner {
public:
    explicit LineScanner(DataRowSink& sink) : m_sink(sink) {}

    // One line without its "\n". False at a fault; nothing more may be fed then.
    bool Line(std::string_view line) {
        ++m_scan.errorLine;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        DataRow row{};
        const std::string problem = line.size() > kMaxLineBytes
                                        ? "longer than " + std::to_string(kMaxLineBytes) +
                                              " bytes; every line holds seven numbers"
                                        : ParseLine(line, &row);
        if (!problem.empty()) {
            m_scan.error = "line " + std::to_string(m_scan.errorLine) + ": " + problem;
            return false;
        }
        m_sink.AddRow(row);
        ++m_scan.rows;
        return true;
    }

    // After the last line, or after a fault.
    DataFileScan Finish() {
        if (!m_scan.error.empty()) return m_scan;
        m_scan.errorLine = 0;
        if (m_scan.rows == 0) {
            m_scan.error = "the file holds no readings";
            return m_scan;
        }
        m_scan.ok = true;
        return m_scan;
    }

private:
    DataRowSink& m_sink;
    DataFileScan m_scan;  // errorLine counts the lines until Finish
};

class RowCollector final : public DataRowSink {
public:
    explicit RowCollector(std::vector<DataRow>& rows) : m_rows(rows) {}
    void AddRow(const DataRow& row) override { m_rows.push_back(row); }

private:
    std::vector<DataRow>& m_rows;
};

DataFileContents Collected(const DataFileScan& scan, std::vector<DataRow> rows) {
    DataFileContents contents;
    contents.ok = scan.ok;
    contents.errorLine = scan.errorLine;
    contents.error = scan.error;
    if (scan.ok) contents.rows = std::move(rows);
    return contents;
}

// Large enough that the per-read cost vanishes, small enough to stay in the cache.
constexpr std::size_t kReadChunk = 1 << 18;
}  // namespace

DataFileContents ParseDataText(std::string_view text) {
    std::vector<DataRow> rows;
    RowCollector collector(rows);
    LineScanner scanner(collector);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t newline = text.find('\n', start);
        if (newline == std::string_view::npos) newline = text.size();
        if (!scanner.Line(text.substr(start, newline - start))) break;
        start = newline + 1;
    }
    const DataFileScan scan = scanner.Finish();
    return Collected(scan, std::move(rows));
}

DataFileContents ReadDataFile(const std::string& path) {
    std::vector<DataRow> rows;
    RowCollector collector(rows);
    const DataFileScan scan = ScanDataFile(path, collector);
    return Collected(scan, std::move(rows));
}

DataFileScan ScanDataFile(const std::string& path, DataRowSink& sink) {
    DataFileScan failed;
    failed.readFailed = true;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        failed.error = std::strerror(errno);
        return failed;
    }
    LineScanner scanner(sink);
    std::vector<char> buffer(kReadChunk);
    std::string partial;  // a line cut by the end of a piece, waiting for its rest
    bool good = true;
    std::size_t got = 0;
    while (good && (got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
        const std::string_view piece(buffer.data(), got);
        std::size_t start = 0;
        while (good) {
            const std::size_t newline = piece.find('\n', start);
            if (newline == std::string_view::npos) {
                partial.append(piece.substr(start));
                if (partial.size() > kMaxLineBytes) good = scanner.Line(partial);
                break;
            }
            const std::string_view rest = piece.substr(start, newline - start);
            if (partial.empty()) {
                good = scanner.Line(rest);
            } else {
                partial.append(rest);
                good = scanner.Line(partial);
                partial.clear();
            }
            start = newline + 1;
        }
    }
    const bool readError = good && std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (readError) {
        failed.error = std::strerror(error);
        return failed;
    }
    // The last line may lack its line end.
    if (good && !partial.empty()) scanner.Line(partial);
    return scanner.Finish();
}
