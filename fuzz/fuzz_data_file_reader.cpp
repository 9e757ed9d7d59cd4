// Any bytes as a data file for --plot: the reader either accepts rows of seven finite
// numbers, or names a line within the text; accepted rows written back as data lines read
// back to the same values.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "measure/DataFile.h"
#include "measure/DataFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const DataFileContents contents = ParseDataText(text);
    if (!contents.ok) {
        if (contents.error.empty()) std::abort();
        long lines = 1;
        for (char c : text) lines += c == '\n';
        if (contents.errorLine < 0 || contents.errorLine > lines) std::abort();
        return 0;
    }
    if (contents.rows.empty()) std::abort();
    std::string written;
    for (const DataRow& row : contents.rows) {
        for (double v : row) {
            if (!std::isfinite(v)) std::abort();
        }
        written += FormatDataLine(row[0], row[1], row[2], row[3], row[4], row[5], row[6]);
    }
    // What the run writes, the reader reads (to the six digits the file keeps).
    const DataFileContents again = ParseDataText(written);
    if (!again.ok || again.rows.size() != contents.rows.size()) std::abort();
    for (std::size_t i = 0; i < again.rows.size(); ++i) {
        for (int c = 0; c < kDataColumns; ++c) {
            const double a = contents.rows[i][c];
            const double b = again.rows[i][c];
            if (std::fabs(a - b) > 1e-5 * std::fabs(a) + 1e-300 && !(a == 0 && b == 0)) {
                // Subnormals print with fewer digits; a value that rounds to the limit of
                // the exponent range may come back as the largest finite double.
                if (std::fabs(a) > 1e-300 && std::fabs(a) < 1e300) std::abort();
            }
        }
    }
    return 0;
}
