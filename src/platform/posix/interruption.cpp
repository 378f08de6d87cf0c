// Interruption. SIGINT, SIGTERM and SIGHUP are blocked in every thread from the
// start of main, and one thread of the program's own waits for them with sigwait.
// The first signal starts the clean-up on a thread of its own: being an ordinary
// thread, not a signal handler, it may take the registry's lock and delete files.
// It deletes what the run has registered as half made, puts the terminal back and
// ends the process at once: whatever the other threads are still doing lands
// nowhere, since the folders they write into are gone, and so is the process a
// moment later. A write that opens its file by name (the database engine's) is
// waited for first: deleted before it was opened, the file would be made again.
// The clean-up may wait: for a step that holds the lock (a file on a mount that
// stopped answering, a question on the screen) or for a deletion on such a mount.
// So the waiting thread goes on waiting, and a second signal (two seconds on, as
// signals come in pairs), or the clean-up's time running out, ends the process as
// it stands.

#include "platform/posix/interruption.h"

#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "platform/interruption_common.h"
#include "platform/platform.h"
#include "platform/posix/deletion.h"

namespace quillet::platform {

namespace {

// How long the clean-up may take before the process ends without it.
constexpr std::chrono::seconds kCleanUpLimit{10};
// How long a second signal leaves the clean-up: signals come in pairs (systemd's
// SIGHUP right behind its SIGTERM, Ctrl-C pressed twice), and one that goes well
// takes milliseconds.
constexpr std::chrono::seconds kCleanUpAfterASecondSignal{2};

struct Registry {
    std::recursive_timed_mutex mutex;
    // Native paths by the order they were registered in.
    std::map<std::uint64_t, std::string> items;
    std::uint64_t next_id = 1;
    std::atomic<bool> ending{false};
    // Apart from the registry: the terminal is put back even when the clean-up
    // cannot be waited for.
    std::mutex terminal_mutex;
    std::optional<termios> terminal;
    sigset_t mask_at_start{};
};

// Never destroyed: a signal may come while the program's statics are torn down.
Registry& registry() {
    static Registry* const instance = new Registry;
    return *instance;
}

// A signal that the program was started with ignored (nohup, a shell's background
// job) stays ignored: blocked, it would be kept for sigwait instead of dropped.
bool ignored(int signal) {
    struct sigaction action {};
    return ::sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN;
}

sigset_t watched_signals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        if (!ignored(signal)) sigaddset(&signals, signal);
    }
    return signals;
}

bool still_there(const std::string& native) {
    struct stat info {};
    return ::lstat(native.c_str(), &info) == 0;
}

// Another thread may make a file in a folder between its emptying and its removal:
// the folder is then emptied again. False when it is still there.
bool delete_for_good(const std::string& native) {
    constexpr int kAttempts = 5;
    for (int attempt = 0; attempt < kAttempts && still_there(native); ++attempt) {
        posix::delete_native_permanently(native);
    }
    return !still_there(native);
}

const char* signal_name(int signal) {
    switch (signal) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        default:
            return "another signal";
    }
}

std::string signal_cause(int signal) {
    return "Run interrupted by signal " + std::to_string(signal) + " (" + signal_name(signal) + ")";
}

void put_terminal_back(Registry& items) {
    if (!items.terminal_mutex.try_lock()) return;
    if (items.terminal) ::tcsetattr(STDIN_FILENO, TCSANOW, &*items.terminal);
    items.terminal_mutex.unlock();
}

// Where an ending says how the run ended. One that ends a clean-up that hangs says
// it only where it cannot wait: the clean-up may hang in writing to standard error
// itself (a pipe that nobody reads).
enum class Telling { log_and_standard_error, log_only };

// The outcome goes to the system log and to standard error, where cron's mail and a
// script's log find it; on a terminal, below an activity line or a prompt that may
// stand unfinished.
[[noreturn]] void end_process(Registry& items, const std::string& outcome, int exit_status,
                              Telling telling = Telling::log_and_standard_error) {
    put_terminal_back(items);
    system_log(Severity::error, outcome);
    if (telling == Telling::log_and_standard_error) {
        const std::string line = (::isatty(STDERR_FILENO) == 1 ? "\n" : "") + outcome + "\n";
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
    }
    ::_exit(exit_status);
}

// The lock stays taken: from here on nothing is registered or forgotten. Without
// the lock within the time limit, the process ends as it stands. A write through a
// name that outlasts its share of the time may make its file again after the
// deletion; everything else goes all the same.
[[noreturn]] void end_run(const std::string& cause, int exit_status) {
    Registry& items = registry();
    items.ending = true;
    const auto started = std::chrono::steady_clock::now();
    if (!items.mutex.try_lock_until(started + kCleanUpLimit)) {
        end_process(items, cause + "; half-made files were not removed in time", exit_status);
    }
    posix::stop_started_programs();
    const bool writes_ended = named_writes_ended(started + kCleanUpLimit / 2);
    // The latest first: what was made inside a registered folder goes before it.
    std::string left;
    for (auto it = items.items.rbegin(); it != items.items.rend(); ++it) {
        if (!delete_for_good(it->second)) left += (left.empty() ? "" : ", ") + it->second;
    }
    end_process(items, clean_up_outcome(cause, left, writes_ended), exit_status);
}

// Waits for a signal until the deadline; 0 when none came.
int next_signal(const sigset_t& signals, const std::optional<std::chrono::steady_clock::time_point>& deadline) {
    while (true) {
        if (!deadline) {
            int signal = 0;
            if (::sigwait(&signals, &signal) == 0) return signal;
            continue;
        }
        const auto left = *deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) return 0;
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        const timespec wait{static_cast<std::time_t>(seconds.count()),
                            static_cast<long>(std::chrono::nanoseconds(left - seconds).count())};
        const int signal = ::sigtimedwait(&signals, nullptr, &wait);
        if (signal > 0) return signal;
    }
}

[[noreturn]] void wait_for_signals(sigset_t signals) {
    const int first = next_signal(signals, std::nullopt);
    // Before the clean-up's thread starts: a run that reaches its end meanwhile
    // must wait for it, not end with status 0.
    registry().ending = true;
    try {
        std::thread([first] { end_run(signal_cause(first), 128 + first); }).detach();
    } catch (const std::system_error&) {
        // At the user's limit of threads: the clean-up runs here, without a watch.
        end_run(signal_cause(first), 128 + first);
    }
    // A little longer than the clean-up's own wait for the lock, so that it can say so.
    const auto deadline = std::chrono::steady_clock::now() + kCleanUpLimit + std::chrono::seconds(2);
    const int second = next_signal(signals, deadline);
    if (second != 0) std::this_thread::sleep_for(kCleanUpAfterASecondSignal);
    const int ending = second != 0 ? second : first;
    end_process(registry(), signal_cause(ending) + "; ended before half-made files were removed", 128 + ending,
                Telling::log_only);
}

// A run that comes to its end while the clean-up of an interruption goes on waits
// for the clean-up, which ends the process, with the interruption's status, in
// its own time.
void wait_for_clean_up() {
    while (registry().ending) ::pause();
}

// A reader that has gone (a pipe into head or logger) makes the writing of rows
// fail, and a file-size limit (ulimit -f) the writing of a copy: the program says
// so, instead of ending unseen and without its clean-up. Caught rather than
// ignored, so that started programs get the signals back.
void let_refused_writes_fail() {
    struct sigaction action {};
    action.sa_handler = [](int) {};
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGPIPE, SIGXFSZ}) {
        if (!ignored(signal)) ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace

void watch_for_interruption() {
    static std::once_flag started;
    std::call_once(started, [] {
        let_refused_writes_fail();
        const sigset_t signals = watched_signals();
        ::pthread_sigmask(SIG_BLOCK, &signals, &registry().mask_at_start);
        try {
            std::thread(wait_for_signals, signals).detach();
        } catch (...) {
            ::pthread_sigmask(SIG_SETMASK, &registry().mask_at_start, nullptr);
            throw;
        }
        std::atexit(wait_for_clean_up);
    });
}

RemovedIfInterrupted::RemovedIfInterrupted(std::string_view path_text) {
    auto native = native_path(path_text);
    if (!native) return;  // nothing can have been made there
    Registry& items = registry();
    const std::lock_guard lock(items.mutex);
    id_ = items.next_id++;
    items.items.emplace(id_, std::move(*native));
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

void posix::restore_terminal_if_interrupted(const termios* saved) {
    Registry& items = registry();
    const std::lock_guard lock(items.terminal_mutex);
    if (saved != nullptr) {
        items.terminal = *saved;
    } else {
        items.terminal.reset();
    }
}

bool interruption_started() { return registry().ending.load(); }

const sigset_t& posix::signal_mask_at_start() { return registry().mask_at_start; }

}  // namespace quillet::platform
