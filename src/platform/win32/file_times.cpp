// File times through GetFileTime and SetFileTime, on a handle that follows links.
// A FILETIME counts as FileTime does, so the times pass unchanged; the creation
// time is kept by every Windows file system, and set too.

#include "platform/platform.h"
#include "platform/win32/file_status.h"
#include "platform/win32/system_paths.h"

namespace quillet::platform {

std::optional<FileTimes> file_times(std::string_view path_text) {
    const win32::Handle file = win32::open_followed(win32::system_path(path_text), FILE_READ_ATTRIBUTES);
    FILETIME creation{}, access{}, write{};
    if (!file.valid() || !GetFileTime(file.get(), &creation, &access, &write)) return std::nullopt;
    return FileTimes{.creation = win32::file_time(creation),
                     .last_access = win32::file_time(access),
                     .last_write = win32::file_time(write)};
}

// A time of 0 is left as it is: the callers that only mean to set the access and
// write times pass no creation time.
bool set_file_times(std::string_view path_text, const FileTimes& times) {
    const win32::Handle file = win32::open_followed(win32::system_path(path_text), FILE_WRITE_ATTRIBUTES);
    if (!file.valid()) return false;
    const FILETIME creation = win32::filetime(times.creation);
    const FILETIME access = win32::filetime(times.last_access);
    const FILETIME write = win32::filetime(times.last_write);
    return SetFileTime(file.get(), times.creation != 0 ? &creation : nullptr,
                       times.last_access != 0 ? &access : nullptr, times.last_write != 0 ? &write : nullptr) != 0;
}

}  // namespace quillet::platform
