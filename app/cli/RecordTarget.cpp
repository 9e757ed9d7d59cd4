#include "RecordTarget.h"

#include <filesystem>
#include <system_error>

std::string RefuseRecordTarget(const std::string& path, bool overwrite) {
    if (overwrite) return {};
    std::error_code error;
    // Follows links: what counts is the data the file would lose.
    if (!std::filesystem::is_regular_file(path, error)) return {};
    const std::uintmax_t bytes = std::filesystem::file_size(path, error);
    if (error || bytes == 0) return {};
    return path + " already holds data (" + std::to_string(bytes) +
           (bytes == 1 ? " byte" : " bytes") +
           "); a new run would replace it. Name another file, or add --overwrite to replace it.";
}
