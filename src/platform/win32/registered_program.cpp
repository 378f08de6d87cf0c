// The program registered to open a file, as the shell finds it (FindExecutableW:
// the file's extension, its file type and the type's open command), and whether a
// file is a program the system runs.

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/system_paths.h"
#include "platform/win32/wide_text.h"
#include "text/unicode.h"

namespace quillet::platform {

namespace {

// The extensions that name programs (PATHEXT; the system's own list without it).
std::wstring program_extensions() {
    const auto listed = environment_variable("PATHEXT");
    const std::string extensions = listed && !listed->empty() ? *listed : ".COM;.EXE;.BAT;.CMD";
    return win32::wide(";" + unicode::to_upper(extensions) + ";");
}

}  // namespace

std::string registered_program(std::string_view file_text) {
    const std::wstring file = win32::wide(file_text);
    wchar_t program[MAX_PATH] = {};
    const auto result = reinterpret_cast<INT_PTR>(FindExecutableW(file.c_str(), nullptr, program));
    if (result <= 32) {
        // Below 32 the shell's codes are the system's (2 file, 3 path not found,
        // 5 access denied), all but "no association".
        SetLastError(result == SE_ERR_NOASSOC ? ERROR_NO_ASSOCIATION : static_cast<DWORD>(result));
        return {};
    }
    return win32::utf8(program);
}

bool is_program(std::string_view path_text) {
    const std::string path(path_text);
    const DWORD attributes = GetFileAttributesW(win32::system_path(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
    const auto dot = path.find_last_of(".\\");
    if (dot == std::string::npos || path[dot] != '.') return false;
    const std::wstring extension = win32::wide(";" + unicode::to_upper(path.substr(dot)) + ";");
    return program_extensions().find(extension) != std::wstring::npos;
}

}  // namespace quillet::platform
