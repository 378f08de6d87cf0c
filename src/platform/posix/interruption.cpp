// Interruption. SIGINT, SIGTERM and SIGHUP are blocked in every thread from the
// start of main, and one thread of the program's own waits for them with sigwait.
// Being an ordinary thread, not a signal handler, it may take the registry's lock
// and delete files. It deletes what the run has registered as half made, puts the
// terminal back and ends the process at once: whatever the other threads are still
// doing lands nowhere, since the folders they write into are gone, and so is the
// process a moment later.

#include "platform/posix/interruption.h"

#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "platform/posix/permanent_delete.h"

namespace quillet::platform {

namespace {

struct Registry {
    std::recursive_mutex mutex;
    // Native paths by the order they were registered in.
    std::map<std::uint64_t, std::string> items;
    std::uint64_t next_id = 1;
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
// the folder is then emptied again.
void delete_for_good(const std::string& native) {
    constexpr int kAttempts = 5;
    for (int attempt = 0; attempt < kAttempts && still_there(native); ++attempt) {
        posix::delete_native_permanently(native);
    }
}

// The lock stays taken: from here on nothing is registered or forgotten.
[[noreturn]] void end_run(int exit_status) {
    Registry& items = registry();
    items.mutex.lock();
    // The latest first: what was made inside a registered folder goes before it.
    for (auto it = items.items.rbegin(); it != items.items.rend(); ++it) delete_for_good(it->second);
    if (items.terminal) ::tcsetattr(STDIN_FILENO, TCSANOW, &*items.terminal);
    // The activity line or a prompt may stand unfinished: the shell's prompt goes below it.
    if (::isatty(STDERR_FILENO) == 1) {
        [[maybe_unused]] const ssize_t ended_line = ::write(STDERR_FILENO, "\n", 1);
    }
    ::_exit(exit_status);
}

void wait_for_signals(sigset_t signals) {
    int signal = 0;
    while (::sigwait(&signals, &signal) != 0) {
    }
    end_run(128 + signal);
}

}  // namespace

void watch_for_interruption() {
    static std::once_flag started;
    std::call_once(started, [] {
        const sigset_t signals = watched_signals();
        ::pthread_sigmask(SIG_BLOCK, &signals, &registry().mask_at_start);
        std::thread(wait_for_signals, signals).detach();
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

RemovedIfInterrupted::~RemovedIfInterrupted() { forget(); }

RemovedIfInterrupted::RemovedIfInterrupted(RemovedIfInterrupted&& other) noexcept : id_(other.id_) { other.id_ = 0; }

RemovedIfInterrupted& RemovedIfInterrupted::operator=(RemovedIfInterrupted&& other) noexcept {
    if (this != &other) {
        forget();
        id_ = other.id_;
        other.id_ = 0;
    }
    return *this;
}

void RemovedIfInterrupted::forget() {
    if (id_ == 0) return;
    Registry& items = registry();
    const std::lock_guard lock(items.mutex);
    items.items.erase(id_);
    id_ = 0;
}

void without_interruption(const std::function<void()>& step) {
    const std::lock_guard lock(registry().mutex);
    step();
}

void end_interrupted_run(int exit_status) { end_run(exit_status); }

void posix::restore_terminal_if_interrupted(const termios* saved) {
    Registry& items = registry();
    const std::lock_guard lock(items.mutex);
    if (saved != nullptr) {
        items.terminal = *saved;
    } else {
        items.terminal.reset();
    }
}

const sigset_t& posix::signal_mask_at_start() { return registry().mask_at_start; }

}  // namespace quillet::platform
