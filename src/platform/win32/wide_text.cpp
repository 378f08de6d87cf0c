#include "platform/win32/wide_text.h"

#include <windows.h>

#include "text/unicode.h"

namespace quillet::platform::win32 {

std::wstring wide(std::string_view text) {
    const std::string valid = unicode::from_windows_1252_unless_utf8(text);
    if (valid.empty()) return {};
    const int size = static_cast<int>(valid.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, valid.data(), size, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, valid.data(), size, result.data(), units);
    return result;
}

std::string utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, result.data(), bytes, nullptr, nullptr);
    return result;
}

}  // namespace quillet::platform::win32
