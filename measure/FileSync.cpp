#include "FileSync.h"

#include <cstring>
#include <filesystem>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

void SyncFolderOf(const std::string& path) {
#ifdef _WIN32
    (void)path;
#else
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) folder = ".";
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    [[maybe_unused]] const int synced = fsync(fd);
    close(fd);
#endif
}

std::string FileFailure(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}
