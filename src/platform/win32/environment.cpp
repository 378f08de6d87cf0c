// The program's own name and the environment's variables, read as UTF-16.

#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/running_program.h"
#include "platform/win32/wide_text.h"

namespace quillet::platform {

std::string executable_name() {
    const std::wstring path = win32::running_program_path();
    const auto separator = path.find_last_of(L"\\/");
    return win32::utf8(separator == std::wstring::npos ? path : path.substr(separator + 1));
}

std::optional<std::string> environment_variable(std::string_view name) {
    const std::wstring key = win32::wide(name);
    const DWORD needed = GetEnvironmentVariableW(key.c_str(), nullptr, 0);
    if (needed == 0) return std::nullopt;  // not set (a set one needs room for its NUL at least)
    std::wstring value(needed, L'\0');
    const DWORD length = GetEnvironmentVariableW(key.c_str(), value.data(), needed);
    if (length >= needed) return std::nullopt;  // changed meanwhile by another thread
    value.resize(length);
    return win32::utf8(value);
}

}  // namespace quillet::platform
