// Interruption on Windows. Ctrl+C, Ctrl+Break, closing the console window,
// logging off and shutting down reach a console handler (SetConsoleCtrlHandler),
// which the system runs on a new thread of its own while the program's threads go
// on. The first event cleans up on that thread: it waits for the registry's lock
// (a step inside without_interruption ends first), deletes what the run has
// registered as half made, puts the console back and ends the process at once.
// A file that another thread still holds open cannot be deleted: the copy and the
// zip pass see interruption_started() and let go, and the deletion is tried again
// meanwhile. A write through a name (CopyFileExW's, the database engine's) is
// waited for first: deleted before it was opened, the file would be made again.
// A second event (two seconds on: Ctrl+C is often pressed twice), or a clean-up
// that outlasts its time, ends the process as it stands. The exit status is 128 +
// the number of the matching POSIX signal, as on the other hosts: 130 for Ctrl+C,
// 129 for a closed console (SIGHUP), 143 for log off and shut down (SIGTERM), 149
// for Ctrl+Break (SIGBREAK, 21).

#include "platform/win32/interruption.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "platform/interruption_common.h"
#include "platform/platform.h"
#include "platform/win32/deletion.h"
#include "platform/win32/system_paths.h"
#include "platform/win32/wide_text.h"

namespace quillet::platform {

namespace {

// How long the clean-up may take before the process ends without it. The system
// itself ends a process five seconds after a close, log off or shut down event.
constexpr std::chrono::seconds kCleanUpLimit{10};
// How long a second event leaves the clean-up: Ctrl-C is often pressed twice,
// and a clean-up that goes well takes milliseconds.
constexpr std::chrono::seconds kCleanUpAfterASecondEvent{2};
// How often and how long a deletion that another thread's open file refuses is
// tried again while that thread lets go.
constexpr int kAttempts = 20;
constexpr std::chrono::milliseconds kAttemptPause{50};

struct Registry {
    std::recursive_timed_mutex mutex;
    // System paths by the order they were registered in.
    std::map<std::uint64_t, std::wstring> items;
    std::uint64_t next_id = 1;
    std::atomic<bool> ending{false};
    // Apart from the registry: the console is put back even when the clean-up
    // cannot be waited for.
    std::mutex console_mutex;
    std::optional<DWORD> console_mode;
};

// Never destroyed: an event may come while the program's statics are torn down.
Registry& registry() {
    static Registry* const instance = new Registry;
    return *instance;
}

bool still_there(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// False when it is still there: a file that a thread of the program holds open
// without letting others delete it (as libzip holds the archive it writes) can
// only go once the process has ended, and then nobody is left to delete it.
bool delete_for_good(const std::wstring& path) {
    for (int attempt = 0; attempt < kAttempts && still_there(path); ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(kAttemptPause);
        win32::delete_native_permanently(path);
    }
    return !still_there(path);
}

struct Ending {
    const char* cause;
    int exit_status;
};

Ending ending_of(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
            return {"Ctrl+C", 128 + 2};
        case CTRL_BREAK_EVENT:
            return {"Ctrl+Break", 128 + 21};
        case CTRL_CLOSE_EVENT:
            return {"the console window closing", 128 + 1};
        case CTRL_LOGOFF_EVENT:
            return {"the user logging off", 128 + 15};
        default:
            return {"the system shutting down", 128 + 15};
    }
}

void put_console_back(Registry& items) {
    if (!items.console_mutex.try_lock()) return;
    if (items.console_mode) SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), *items.console_mode);
    items.console_mutex.unlock();
}

// As the console front end writes: UTF-16 to a console, the bytes to a pipe or file.
void write_to_standard_error(const std::string& text, bool console) {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    if (console) {
        const std::wstring wide = win32::wide(text);
        WriteConsoleW(error, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(error, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

// Where an ending says how the run ended. One that ends a clean-up that hangs says
// it only where it cannot wait: the clean-up may hang in writing to standard error
// itself (a pipe that nobody reads).
enum class Telling { log_and_standard_error, log_only };

// The outcome goes to the system log and to standard error, where a script's log
// finds it; on a console, below an activity line or a question that may stand
// unfinished.
[[noreturn]] void end_process(Registry& items, const std::string& outcome, int exit_status,
                              Telling telling = Telling::log_and_standard_error) {
    put_console_back(items);
    system_log(Severity::error, outcome);
    if (telling == Telling::log_and_standard_error) {
        const bool console = is_terminal(StandardStream::error);
        write_to_standard_error((console ? "\r\n" : "") + outcome + "\r\n", console);
    }
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exit_status));
    for (;;) Sleep(INFINITE);  // TerminateProcess does not return for the process itself
}

// The lock stays taken: from here on nothing is registered or forgotten. Without
// the lock within the time limit, the process ends as it stands. A write through a
// name that outlasts its share of the time (a copy that does not stop when told)
// may make its file again, or keep it open, after the deletion; everything else
// goes all the same.
[[noreturn]] void end_run(const std::string& cause, int exit_status) {
    Registry& items = registry();
    items.ending = true;
    const auto started = std::chrono::steady_clock::now();
    if (!items.mutex.try_lock_until(started + kCleanUpLimit)) {
        end_process(items, cause + "; half-made files were not removed in time", exit_status);
    }
    win32::stop_started_programs();
    const bool writes_ended = named_writes_ended(started + kCleanUpLimit / 2);
    // The latest first: what was made inside a registered folder goes before it.
    std::string left;
    for (auto it = items.items.rbegin(); it != items.items.rend(); ++it) {
        if (!delete_for_good(it->second)) left += (left.empty() ? "" : ", ") + win32::utf8(it->second);
    }
    end_process(items, clean_up_outcome(cause, left, writes_ended), exit_status);
}

// A little longer than the clean-up's own wait for the lock, so that it can say so.
void end_when_clean_up_hangs(std::string cause, int exit_status) {
    std::this_thread::sleep_for(kCleanUpLimit + std::chrono::seconds(2));
    end_process(registry(), cause + "; ended before half-made files were removed", exit_status, Telling::log_only);
}

BOOL WINAPI on_console_event(DWORD event) {
    const Ending ending = ending_of(event);
    const std::string cause = std::string("Run interrupted by ") + ending.cause;
    if (registry().ending.exchange(true)) {
        std::this_thread::sleep_for(kCleanUpAfterASecondEvent);
        end_process(registry(), cause + "; ended before half-made files were removed", ending.exit_status,
                    Telling::log_only);
    }
    try {
        std::thread(end_when_clean_up_hangs, cause, ending.exit_status).detach();
    } catch (const std::system_error&) {
        // At the limit of threads the clean-up runs without a watch.
    }
    end_run(cause, ending.exit_status);
}

// A run that comes to its end while the clean-up of an interruption goes on waits
// for the clean-up, which ends the process, with the interruption's status, in
// its own time.
void wait_for_clean_up() {
    if (registry().ending) Sleep(INFINITE);
}

}  // namespace

void watch_for_interruption() {
    static std::once_flag started;
    std::call_once(started, [] {
        SetConsoleCtrlHandler(on_console_event, TRUE);
        std::atexit(wait_for_clean_up);
    });
}

RemovedIfInterrupted::RemovedIfInterrupted(std::string_view path_text) {
    std::wstring path = win32::system_path(path_text);
    Registry& items = registry();
    const std::lock_guard lock(items.mutex);
    id_ = items.next_id++;
    items.items.emplace(id_, std::move(path));
}

void RemovedIfInterrupted::forget() {
    if (id_ == 0) return;
    Registry& items = registry();
    const std::lock_guard lock(items.mutex);
    items.items.erase(id_);
    id_ = 0;
}

void without_interruption(const std::function<void()>& step) {
    Registry& items = registry();
    run_step(items.mutex, items.ending, step);
}

void end_interrupted_run(int exit_status, std::string_view cause) {
    end_run("Run ended: " + std::string(cause), exit_status);
}

void win32::restore_console_mode_if_interrupted(const unsigned long* saved_mode) {
    Registry& items = registry();
    const std::lock_guard lock(items.console_mutex);
    if (saved_mode != nullptr) {
        items.console_mode = *saved_mode;
    } else {
        items.console_mode.reset();
    }
}

bool interruption_started() { return registry().ending.load(); }

}  // namespace quillet::platform
