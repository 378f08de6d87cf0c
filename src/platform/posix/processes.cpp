// Programs started and waited for: posix_spawn to start them, waitpid, polled, to
// learn that they have ended. A process is known by its id until it is closed;
// its end is collected once and kept, so its exit code can be read as often as
// asked. An interrupted run stops the programs it has not closed.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <iterator>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/interruption.h"

extern char** environ;

namespace quillet::platform {

namespace {

struct StartedProcess {
    bool ended = false;
    std::int32_t exit_code = 0;
    bool closed = false;  // nobody asks for it any more; kept only until it ends
};

// How long a program that was asked to end may take before it is made to.
constexpr auto kStopLimit = std::chrono::seconds(2);
constexpr auto kPollInterval = std::chrono::milliseconds(5);

struct StartedProcesses {
    // The clean-up of an interrupted run reads them from a thread of its own.
    std::timed_mutex mutex;
    std::map<pid_t, StartedProcess> by_id;
    bool stopped = false;  // by that clean-up: nothing starts any more
};

// Never destroyed: an interruption may come while the program's statics are torn down.
StartedProcesses& started() {
    static StartedProcesses* const instance = new StartedProcesses;
    return *instance;
}

std::int32_t exit_code_from(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 0;
}

// Collects the process's end if it has come, without waiting.
bool has_ended(pid_t pid, StartedProcess& process) {
    if (process.ended) return true;
    int status = 0;
    pid_t result = 0;
    do {
        result = ::waitpid(pid, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == pid) {
        process.ended = true;
        process.exit_code = exit_code_from(status);
    } else if (result < 0) {
        // Collected elsewhere (SIGCHLD ignored): it is gone, its exit code unknown.
        process.ended = true;
        process.exit_code = -1;
    }
    return process.ended;
}

bool ended_by(pid_t pid, StartedProcess& process, std::chrono::steady_clock::time_point deadline) {
    while (!has_ended(pid, process)) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

// Closed processes are collected as they end, so none stays behind as a zombie.
void forget_ended_closed_processes() {
    auto& processes = started().by_id;
    for (auto entry = processes.begin(); entry != processes.end();) {
        const bool gone = entry->second.closed && has_ended(entry->first, entry->second);
        entry = gone ? processes.erase(entry) : std::next(entry);
    }
}

bool is_bare_name(std::string_view program_text) {
    return program_text.find_first_of("\\:") == std::string_view::npos;
}

class SpawnActions {
public:
    SpawnActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;

    // The child reads no input: the program's own prompts keep the terminal.
    void no_input() { ::posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0); }
    void change_folder(const std::string& native) { ::posix_spawn_file_actions_addchdir_np(&actions_, native.c_str()); }
    const posix_spawn_file_actions_t* get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

// The started program gets the signal mask the program started with, not the one
// that keeps the interruption signals for the thread that waits for them.
class SpawnAttributes {
public:
    SpawnAttributes() {
        ::posix_spawnattr_init(&attributes_);
        ::posix_spawnattr_setsigmask(&attributes_, &posix::signal_mask_at_start());
        ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnAttributes() { ::posix_spawnattr_destroy(&attributes_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;

    const posix_spawnattr_t* get() const { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
};

}  // namespace

ProcessHandle start_process(std::string_view program_text, const std::vector<std::string>& arguments,
                            std::string_view working_folder_text) {
    const std::lock_guard lock(started().mutex);
    if (started().stopped) {
        errno = EINTR;
        return 0;
    }
    forget_ended_closed_processes();
    const bool along_path = is_bare_name(program_text);
    const auto program = along_path ? std::optional<std::string>(program_text) : native_path(program_text);
    if (!program || program->empty()) {
        errno = ENOENT;
        return 0;
    }
    SpawnActions actions;
    actions.no_input();
    if (!working_folder_text.empty()) {
        const auto folder = native_path(working_folder_text);
        if (!folder) {
            errno = ENOENT;
            return 0;
        }
        actions.change_folder(*folder);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program->c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const SpawnAttributes attributes;
    pid_t pid = 0;
    const int result =
        along_path ? ::posix_spawnp(&pid, program->c_str(), actions.get(), attributes.get(), argv.data(), environ)
                   : ::posix_spawn(&pid, program->c_str(), actions.get(), attributes.get(), argv.data(), environ);
    if (result != 0) {
        errno = result;
        return 0;
    }
    started().by_id[pid] = StartedProcess{};
    return pid;
}

std::optional<ProcessStatus> wait_for_process(ProcessHandle process, std::uint32_t milliseconds) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    std::unique_lock lock(started().mutex);
    const auto found = started().by_id.find(process);
    if (found == started().by_id.end() || found->second.closed) {
        errno = ECHILD;
        return std::nullopt;
    }
    while (!has_ended(found->first, found->second)) {
        const auto now = Clock::now();
        if (now >= deadline) break;
        lock.unlock();
        std::this_thread::sleep_for(std::min<Clock::duration>(kPollInterval, deadline - now));
        lock.lock();
    }
    return ProcessStatus{found->second.ended, found->second.exit_code};
}

void close_process(ProcessHandle process) {
    const std::lock_guard lock(started().mutex);
    const auto found = started().by_id.find(process);
    if (found == started().by_id.end()) return;
    if (has_ended(found->first, found->second)) {
        started().by_id.erase(found);
    } else {
        found->second.closed = true;
    }
}

void posix::stop_started_programs() {
    StartedProcesses& all = started();
    // A thread that holds the lock gives it back at once; should it not, the
    // programs are left as they are rather than the clean-up held up.
    if (!all.mutex.try_lock_for(kStopLimit)) return;
    const std::lock_guard lock(all.mutex, std::adopt_lock);
    all.stopped = true;
    std::vector<pid_t> asked;
    for (auto& [pid, process] : all.by_id) {
        if (process.closed || has_ended(pid, process)) continue;
        ::kill(pid, SIGTERM);
        asked.push_back(pid);
    }
    const auto deadline = std::chrono::steady_clock::now() + kStopLimit;
    for (const pid_t pid : asked) {
        StartedProcess& process = all.by_id[pid];
        if (ended_by(pid, process, deadline)) continue;
        ::kill(pid, SIGKILL);
        // One stuck in the kernel (a mount that stopped answering) is left behind.
        ended_by(pid, process, std::chrono::steady_clock::now() + kStopLimit);
    }
}

}  // namespace quillet::platform
