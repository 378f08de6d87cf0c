// Process marks: "quillet-work", the process id, its creation time as a file time
// and the computer's name. Ids are handed out again, so the creation time must
// match too; a temporary folder on a share may hold another machine's marks,
// which this machine cannot judge.

#include "platform/win32/process_marks.h"

#include <windows.h>

#include <optional>
#include <sstream>

#include "platform/win32/file_status.h"
#include "platform/win32/handle.h"
#include "platform/win32/wide_text.h"

namespace quillet::platform::win32 {

namespace {

constexpr std::string_view kMarkWord = "quillet-work";

std::optional<std::string> machine_name() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &size) || size == 0) return std::nullopt;
    const std::string text = utf8(std::wstring_view(name, size));
    if (text.find_first_of(" \t") != std::string::npos) return std::nullopt;
    return text;
}

// The creation time of a process that still runs; empty when none runs with that id.
enum class Lookup { running, not_running, unknown };
Lookup start_time(DWORD pid, FileTime& started) {
    const Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process.valid()) return GetLastError() == ERROR_INVALID_PARAMETER ? Lookup::not_running : Lookup::unknown;
    FILETIME creation{}, exit{}, kernel{}, user{};
    DWORD code = 0;
    if (!GetProcessTimes(process.get(), &creation, &exit, &kernel, &user) ||
        !GetExitCodeProcess(process.get(), &code)) {
        return Lookup::unknown;
    }
    // A process that has ended lives on as long as someone holds a handle to it.
    if (code != STILL_ACTIVE) return Lookup::not_running;
    started = file_time(creation);
    return Lookup::running;
}

struct Mark {
    unsigned long pid = 0;
    FileTime start = 0;
    std::string machine;
};

std::optional<Mark> read_mark(std::string_view text) {
    std::istringstream words{std::string(text)};
    std::string word;
    Mark mark;
    if (!(words >> word) || word != kMarkWord || !(words >> mark.pid >> mark.start >> mark.machine)) {
        return std::nullopt;
    }
    if (mark.pid == 0 || mark.start <= 0 || words >> word) return std::nullopt;
    return mark;
}

}  // namespace

std::string current_process_mark() {
    const DWORD pid = GetCurrentProcessId();
    FileTime started = 0;
    start_time(pid, started);
    return std::string(kMarkWord) + " " + std::to_string(pid) + " " + std::to_string(started) + " " +
           machine_name().value_or("?") + "\n";
}

MarkedProcess marked_process(std::string_view text) {
    const auto mark = read_mark(text);
    if (!mark || mark->machine != machine_name()) return MarkedProcess::unknown;
    FileTime started = 0;
    switch (start_time(static_cast<DWORD>(mark->pid), started)) {
        case Lookup::not_running:
            return MarkedProcess::gone;
        case Lookup::unknown:
            return MarkedProcess::unknown;
        case Lookup::running:
            break;
    }
    return started == mark->start ? MarkedProcess::lives : MarkedProcess::gone;
}

}  // namespace quillet::platform::win32
