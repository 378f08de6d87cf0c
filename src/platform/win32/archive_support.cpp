// The file services the zip archiver needs beyond the common ones: one look per
// file for its size and time, and removing folders emptied by a move.

#include "platform/platform.h"
#include "platform/win32/file_status.h"
#include "platform/win32/system_paths.h"

namespace quillet::platform {

std::optional<ArchiveStatus> archive_status(std::string_view path_text) {
    const auto data = win32::followed_attributes(path_text);
    if (!data) return std::nullopt;
    ArchiveStatus status;
    status.directory = win32::is_folder(data->dwFileAttributes);
    status.size = status.directory ? 0 : win32::file_size(data->nFileSizeHigh, data->nFileSizeLow);
    status.last_write = win32::file_time(data->ftLastWriteTime);
    return status;
}

bool remove_empty_folder(std::string_view path_text) {
    return RemoveDirectoryW(win32::system_path(path_text).c_str()) != 0;
}

}  // namespace quillet::platform
