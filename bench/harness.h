#pragma once
// A small harness for timing this program's routines against the command-line
// tools a user would pick instead: scratch folders, timed child processes,
// medians and the report line. Each side is timed both in elapsed time and in
// processor time (user + system), which other work on a shared machine disturbs
// less, and a child process's peak memory is read from its resource usage.

#include <fcntl.h>
#include <linux/magic.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "support/files.h"

extern char** environ;

namespace quillet::bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline double seconds_of(const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; }
inline double processor_seconds(const rusage& usage) { return seconds_of(usage.ru_utime) + seconds_of(usage.ru_stime); }

struct Timing {
    double elapsed = 0;
    double processor = 0;
};

// Times work done in this process.
template <typename Work>
Timing time_here(Work work) {
    rusage before{};
    rusage after{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = Clock::now();
    work();
    const double elapsed = seconds_since(start);
    getrusage(RUSAGE_SELF, &after);
    return {elapsed, processor_seconds(after) - processor_seconds(before)};
}

using testing::ScratchFolder;

// Path text for a native path, as the program's routines take it.
inline std::string text_of(const fs::path& native) {
    const auto text = platform::path_text(native.string());
    if (!text) throw std::runtime_error("no path text for " + native.string());
    return *text;
}

struct ChildRun {
    Timing timing;
    double peak_megabytes = 0;  // the child's peak resident memory
};

inline ChildRun finish_child(pid_t child, Clock::time_point start, const std::string& what) {
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const ChildRun run{{seconds_since(start), processor_seconds(usage)}, static_cast<double>(usage.ru_maxrss) / 1024.0};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(what + " ended with status " + std::to_string(WEXITSTATUS(status)));
    }
    return run;
}

// Runs a program (found on PATH when its name has no "/") with its standard
// output sent to /dev/null, in this environment or the one given, and times it;
// throws when it does not end well.
inline ChildRun run_child(const std::vector<std::string>& arguments,
                          const std::vector<std::string>* environment = nullptr) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    if (environment != nullptr) {
        for (const std::string& entry : *environment) envp.push_back(const_cast<char*>(entry.c_str()));
        envp.push_back(nullptr);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t child = 0;
    const int spawned =
        posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environment != nullptr ? envp.data() : environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + arguments[0]);
    return finish_child(child, start, arguments[0]);
}

inline Timing run_timed(const std::vector<std::string>& arguments) { return run_child(arguments).timing; }

// Runs the built quillet program in the console front end, without any QUILLET_
// setting of the caller's environment but the number of copy threads
// (QUILLET_COPY_THREADS=1 measures the program copying on one thread).
inline ChildRun run_quillet(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<std::string> command{program};
    command.insert(command.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment{"QUILLET_UI=console"};
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view entry_text = *entry;
        if (!entry_text.starts_with("QUILLET_") || entry_text.starts_with("QUILLET_COPY_THREADS=")) {
            environment.emplace_back(entry_text);
        }
    }
    return run_child(command, &environment);
}

// Whether a folder lies on tmpfs, where no disk is involved.
inline bool on_tmpfs(const fs::path& folder) {
    struct statfs facts {};
    return ::statfs(folder.c_str(), &facts) == 0 && facts.f_type == TMPFS_MAGIC;
}
inline std::string place_of(const fs::path& folder) { return on_tmpfs(folder) ? "tmpfs" : "disk"; }

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

inline double lowest(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }
inline double highest(const std::vector<double>& values) { return *std::max_element(values.begin(), values.end()); }

// Times of both sides, one pair per round, and the peak memory of ours where it
// ran as a child process.
class Rounds {
public:
    void add(const Timing& ours, const Timing& theirs) {
        ours_.push_back(ours.elapsed);
        theirs_.push_back(theirs.elapsed);
        elapsed_ratios_.push_back(ours.elapsed / theirs.elapsed);
        processor_ratios_.push_back(ours.processor / theirs.processor);
    }
    void add(const ChildRun& ours, const Timing& theirs) {
        add(ours.timing, theirs);
        peak_megabytes_ = std::max(peak_megabytes_, ours.peak_megabytes);
    }
    // The medians of the ratios with their spread (lowest to highest round), and
    // the verdict against the goal on elapsed time; a goal of 0 is none.
    void report(const std::string& what, const std::string& tool, double goal) const {
        const double ratio = median(elapsed_ratios_);
        std::printf(
            "%s against %s: %zu rounds, %.4f s against %.4f s; ratio "
            "elapsed %.3f (%.3f-%.3f), "
            "processor %.3f (%.3f-%.3f)",
            what.c_str(), tool.c_str(), elapsed_ratios_.size(), median(ours_), median(theirs_), ratio,
            lowest(elapsed_ratios_), highest(elapsed_ratios_), median(processor_ratios_), lowest(processor_ratios_),
            highest(processor_ratios_));
        if (goal > 0) std::printf(" (goal <= %.2f): %s", goal, ratio <= goal ? "met" : "NOT met");
        std::printf("\n");
        std::fflush(stdout);
    }
    double peak_megabytes() const { return peak_megabytes_; }

private:
    std::vector<double> ours_;
    std::vector<double> theirs_;
    std::vector<double> elapsed_ratios_;
    std::vector<double> processor_ratios_;
    double peak_megabytes_ = 0;
};

// The peak memory goal, for the programs that measure it.
inline constexpr double kMemoryGoalMegabytes = 16;
inline void report_memory(const std::string& what, double peak_megabytes) {
    std::printf("%s: peak memory %.1f MB (goal < %.0f MB): %s\n", what.c_str(), peak_megabytes, kMemoryGoalMegabytes,
                peak_megabytes < kMemoryGoalMegabytes ? "met" : "NOT met");
    std::fflush(stdout);
}

inline int positive_argument(int argc, char** argv, int index, int fallback) {
    if (argc <= index) return fallback;
    const int value = std::atoi(argv[index]);
    return value > 0 ? value : fallback;
}

}  // namespace quillet::bench
