// Path text is the native path on Windows: drive letters and \\server\share roots
// are the system's own, and no QUILLET_DRIVES mapping applies. Native paths are
// handed around as UTF-8 and turned into UTF-16 only at the wide calls.

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/platform.h"
#include "platform/win32/file_status.h"
#include "platform/win32/system_paths.h"
#include "platform/win32/wide_text.h"

namespace quillet::platform {

namespace {

bool is_absolute(std::string_view text) {
    const bool drive_root = text.size() >= 3 && text[1] == ':' && text[2] == '\\';
    return drive_root || text.starts_with("\\\\");
}

// The full path of a relative one ("dir\x", "\dir", "C:dir") as the system reads it.
std::optional<std::string> full_path(std::string_view text) {
    const std::wstring relative = win32::wide(text);
    const DWORD needed = GetFullPathNameW(relative.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return std::nullopt;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(relative.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return std::nullopt;
    full.resize(length);
    return win32::utf8(full);
}

}  // namespace

// For the libraries that open files themselves (libzip, SQLite): a long path in
// the "\\?\" form that the system reads past MAX_PATH, as system_path makes it;
// any other as it stands.
std::optional<std::string> native_path(std::string_view path_text) {
    const std::wstring system = win32::system_path(path_text);
    if (!system.starts_with(L"\\\\?\\") || path_text.starts_with("\\\\?\\")) return std::string(path_text);
    return win32::utf8(system);
}

std::optional<std::string> path_text(std::string_view native) {
    std::string text(native);
    std::replace(text.begin(), text.end(), '/', '\\');
    if (is_absolute(text)) return text;
    return full_path(text);
}

std::string current_directory() {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return {};
    std::wstring current(needed, L'\0');
    const DWORD length = GetCurrentDirectoryW(needed, current.data());
    if (length == 0 || length >= needed) return {};
    current.resize(length);
    std::string text = win32::utf8(current);
    if (text.ends_with('\\')) text.pop_back();
    return text;
}

// The final path of an open handle, without the \\?\ that the system puts before it.
std::optional<std::string> resolved_path(std::string_view path_text) {
    const win32::Handle file = win32::open_followed(win32::system_path(path_text), FILE_READ_ATTRIBUTES);
    if (!file.valid()) return std::nullopt;
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(file.get(), path.data(), static_cast<DWORD>(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return std::nullopt;
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(length + 1);
    }
    if (path.starts_with(L"\\\\?\\UNC\\")) {
        path.replace(0, 8, L"\\\\");
    } else if (path.starts_with(L"\\\\?\\")) {
        path.erase(0, 4);
    }
    return win32::utf8(path);
}

}  // namespace quillet::platform
