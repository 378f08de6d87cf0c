// The file services the zip archiver needs beyond the common ones: one stat per
// file for its size and time, and removing folders emptied by a move.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"
#include "platform/posix/last_folder.h"
#include "platform/posix/native_paths.h"

namespace quillet::platform {

std::optional<ArchiveStatus> archive_status(std::string_view path_text) {
    const auto found = posix::status_of(path_text);
    if (!found) return std::nullopt;
    const struct stat& info = *found;
    constexpr std::int64_t kUnitsPerSecond = 10'000'000;
    ArchiveStatus status;
    status.directory = S_ISDIR(info.st_mode);
    status.size = status.directory ? 0 : static_cast<std::uint64_t>(info.st_size);
    status.permissions = info.st_mode & 07777;
    status.last_write = kUnixEpochFileTime + static_cast<std::int64_t>(info.st_mtim.tv_sec) * kUnitsPerSecond +
                        static_cast<std::int64_t>(info.st_mtim.tv_nsec) / 100;
    return status;
}

bool remove_empty_folder(std::string_view path_text) {
    const auto native = posix::native_or_missing(path_text);
    if (!native) return false;
    posix::forget_last_folder();
    return rmdir(native->c_str()) == 0;
}

}  // namespace quillet::platform
