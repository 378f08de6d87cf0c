// The last failure of a Windows call: GetLastError, and its text in the system's words.

#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/wide_text.h"

namespace quillet::platform {

int last_error() { return static_cast<int>(GetLastError()); }

bool last_error_means_missing() {
    const DWORD code = GetLastError();
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

std::string last_error_text() {
    const DWORD code = GetLastError();
    if (code == 0) return {};
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length > 0 ? win32::utf8(std::wstring_view(buffer, length)) : std::string();
    LocalFree(buffer);
    // A code the system has no words for (Wine lacks many) still tells what failed.
    if (text.empty()) text = "System error " + std::to_string(code);
    SetLastError(code);
    if (!text.empty() && !text.ends_with("\r\n")) text += "\r\n";
    return text;
}

}  // namespace quillet::platform
