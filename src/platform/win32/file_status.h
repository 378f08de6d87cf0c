#pragma once
// What the system tells of a file or folder, links followed, and its times as the
// FileTime of platform.h: a FILETIME is the same count (100-nanosecond units since
// 1601-01-01 UTC) in two halves.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/win32/handle.h"

namespace quillet::platform::win32 {

inline FileTime file_time(const FILETIME& time) {
    return static_cast<FileTime>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}
inline FILETIME filetime(FileTime time) {
    const auto units = static_cast<std::uint64_t>(time);
    return FILETIME{static_cast<DWORD>(units & 0xFFFFFFFFu), static_cast<DWORD>(units >> 32)};
}
inline std::uint64_t file_size(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

// Opens what a path names for the given access, sharing it with everyone, links
// followed; a folder too (FILE_FLAG_BACKUP_SEMANTICS).
Handle open_followed(const std::wstring& system_path, DWORD access);
// The same for a link itself, not followed.
Handle open_itself(const std::wstring& system_path, DWORD access);

// The attributes, size and times of what the path text names, links followed;
// empty when nothing is there (a dangling link included), reason in GetLastError.
std::optional<WIN32_FILE_ATTRIBUTE_DATA> followed_attributes(std::string_view path_text);

inline bool is_folder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

}  // namespace quillet::platform::win32
