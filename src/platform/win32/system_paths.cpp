#include "platform/win32/system_paths.h"

#include <algorithm>

#include "platform/win32/wide_text.h"

namespace quillet::platform::win32 {

namespace {

// CreateDirectoryW leaves room for an 8.3 name inside the folder: it refuses
// paths from MAX_PATH - 12 units on, where the other calls refuse MAX_PATH.
constexpr std::size_t kLongestShortPath = MAX_PATH - 12;

bool has_long_prefix(std::wstring_view path) { return path.starts_with(L"\\\\?\\"); }

std::wstring full_path(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    return full;
}

}  // namespace

std::wstring system_path(std::wstring path) {
    if (path.size() < kLongestShortPath || has_long_prefix(path) || path.starts_with(L"\\\\.\\")) return path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    // The prefix turns off the system's own reading of "." and "..": it must
    // come after the path is made full.
    std::wstring full = full_path(path);
    if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\")) return full;
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::wstring system_path(std::string_view path_text) { return system_path(wide(path_text)); }

namespace {

bool in_device_namespace(std::wstring_view path) {
    std::wstring_view rest;
    if (path.starts_with(L"\\\\.\\") || path.starts_with(L"\\\\?\\") || path.starts_with(L"//./") ||
        path.starts_with(L"//?/")) {
        rest = path.substr(4);
    } else {
        return false;
    }
    // A drive ("\\?\C:\") or a share ("\\?\UNC\server\share") is the file system.
    const bool drive = rest.size() >= 2 && rest[1] == L':';
    const bool share = rest.size() >= 4 && (rest.substr(0, 4) == L"UNC\\" || rest.substr(0, 4) == L"unc\\");
    return !drive && !share;
}

}  // namespace

bool is_device_path(std::wstring_view path) {
    if (in_device_namespace(path)) return true;
    // A reserved name ("NUL", "COM1") is a device wherever it stands; the system
    // says so by making it "\\.\NUL".
    return in_device_namespace(full_path(std::wstring(path)));
}

std::wstring parent_of(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring_view::npos) return std::wstring(path);
    return std::wstring(path.substr(0, separator));
}

}  // namespace quillet::platform::win32
