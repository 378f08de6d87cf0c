// The file services the zip archiver needs beyond the common ones: one stat per
// file for its size and time, and removing folders emptied by a move.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"

namespace quillet::platform {

std::optional<ArchiveStatus> archive_status(std::string_view path_text) {
    const auto native = native_path(path_text);
    if (!native) {
        errno = ENOENT;
        return std::nullopt;
    }
    struct stat info {};
    if (stat(native->c_str(), &info) != 0) return std::nullopt;
    constexpr std::int64_t kUnitsPerSecond = 10'000'000;
    ArchiveStatus status;
    status.directory = S_ISDIR(info.st_mode);
    status.size = status.directory ? 0 : static_cast<std::uint64_t>(info.st_size);
    status.last_write = kUnixEpochFileTime + static_cast<std::int64_t>(info.st_mtim.tv_sec) * kUnitsPerSecond +
                        static_cast<std::int64_t>(info.st_mtim.tv_nsec) / 100;
    return status;
}

bool remove_empty_folder(std::string_view path_text) {
    const auto native = native_path(path_text);
    if (!native) {
        errno = ENOENT;
        return false;
    }
    return rmdir(native->c_str()) == 0;
}

}  // namespace quillet::platform
