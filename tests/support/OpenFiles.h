#pragma once
// How many descriptors of this process are open on a file (Linux: /proc/self/fd), for tests
// that a file is let go of.

#include <filesystem>
#include <string>
#include <system_error>

inline int HandlesOn(const std::string& path) {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == std::filesystem::path(path)) ++n;
    }
    return n;
}
