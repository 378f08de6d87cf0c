// The log file: opened for appending and closed for every line. Other programs
// may read, write and even delete or rename it meanwhile (a log viewer, a second
// run), as they could with the original's Open For Append.

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/platform.h"
#include "platform/win32/language_errors.h"
#include "platform/win32/system_paths.h"
#include "platform/win32/wide_text.h"

namespace quillet::platform {

namespace {

bool write_all(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

void append_line_to_file(std::string_view path_text, std::string_view line) {
    const HANDLE file = CreateFileW(win32::system_path(path_text).c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw win32::language_error(GetLastError(), vb::kPathNotFound);
    const std::string record = std::string(line) + "\r\n";
    const bool written = write_all(file, record);
    const DWORD write_error = GetLastError();
    CloseHandle(file);
    if (!written) throw win32::language_error(write_error, vb::kPathNotFound);
}

}  // namespace quillet::platform
