// The running program: its file, its arguments, and the modules (DLLs) stored in
// its folder. The modules are loaded by their full path, so that no other folder
// on the search path can hand over a module of the same name.

#include "platform/win32/running_program.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/wide_text.h"
#include "text/line_breaks.h"

namespace quillet::platform {

std::wstring win32::running_program_path() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // cut short: try again with more room
    }
}

// Windows' own folders come from the system, not from the environment.
void ignore_misleading_environment() {}

// argv comes in the ANSI code page, which cannot hold every file name: the
// arguments are read from the UTF-16 command line instead, split by the same rules.
std::vector<std::string> program_arguments(int /*argc*/, char** /*argv*/) {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    if (words == nullptr) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(win32::utf8(words[i]));
    LocalFree(words);
    return arguments;
}

// The program's name ends at its closing quote when it begins with one, else at
// the first blank or tab, as the C runtime reads it.
std::optional<std::string> command_line_as_typed() {
    const std::wstring_view line = GetCommandLineW();
    std::size_t at = 0;
    if (line.starts_with(L'"')) {
        at = line.find(L'"', 1);
        at = at == std::wstring_view::npos ? line.size() : at + 1;
    } else {
        at = std::min(line.find_first_of(L" \t"), line.size());
    }
    const std::size_t arguments = std::min(line.find_first_not_of(L" \t", at), line.size());
    return win32::utf8(line.substr(arguments));
}

std::optional<ProgramModule> load_program_module(std::string_view file_name, std::string& failure) {
    const std::wstring program = win32::running_program_path();
    const auto separator = program.find_last_of(L"\\/");
    if (separator == std::wstring::npos) {
        failure = "the folder of the running program cannot be found";
        return std::nullopt;
    }
    const std::wstring path = program.substr(0, separator + 1) + win32::wide(file_name);
    // A module that needs a function nothing exports would otherwise stop the
    // program with a message box about it.
    DWORD previous_mode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_mode);
    const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const DWORD error = GetLastError();
    SetThreadErrorMode(previous_mode, nullptr);
    if (module == nullptr) {
        SetLastError(error);
        const std::string reason = WithoutLineEnd(last_error_text());
        failure = win32::utf8(path) + ": " + (reason.empty() ? "cannot be loaded" : reason);
        return std::nullopt;
    }
    return ProgramModule(module);
}

void* ProgramModule::entry_point_address(std::string_view name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), std::string(name).c_str()));
}

}  // namespace quillet::platform
