// The temporary folder and unique temporary files, with GetTempPathW and
// GetTempFileNameW themselves: "PRE" + up to four hexadecimal digits + ".tmp",
// created by the system so that no existing file is ever taken over.
//
// Unfinished: create_marked_temp_folder and remove_abandoned_temp_folders are not
// written for Windows yet, and a temporary file is not made owner-only: it has the
// permissions it inherits from its folder (the user's own, for the user's
// temporary folder).

#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/wide_text.h"
#include "text/unicode.h"

namespace quillet::platform {

namespace {

// The first three characters of the prefix, as far as they fit GetTempFileNameW's
// three UTF-16 units without splitting a surrogate pair.
std::wstring name_start(std::string_view prefix) {
    std::wstring start;
    for (const char32_t c : unicode::decode(prefix)) {
        const std::wstring unit = win32::wide(unicode::encode(std::u32string(1, c)));
        if (start.size() + unit.size() > 3) break;
        start += unit;
    }
    return start;
}

}  // namespace

std::string temp_folder() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return {};
    std::string text = win32::utf8(std::wstring_view(folder, length));
    if (!text.ends_with('\\')) text += '\\';
    return text;
}

std::string create_temp_file(std::string_view folder_text, std::string_view prefix) {
    wchar_t name[MAX_PATH];
    const std::wstring folder = win32::wide(folder_text);
    if (GetTempFileNameW(folder.c_str(), name_start(prefix).c_str(), 0, name) == 0) return {};
    return win32::utf8(name);
}

}  // namespace quillet::platform
