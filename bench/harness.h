#pragma once
// A small harness for timing this program's routines against the command-line
// tools a user would pick instead: scratch folders, timed child processes,
// medians and the report line. Each side is timed both in elapsed time and in
// processor time (user + system), which other work on a shared machine disturbs
// less.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
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

// Runs a program found on PATH with its standard output sent to /dev/null, and
// times it; throws when it does not end well.
inline Timing run_timed(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + arguments[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double elapsed = seconds_since(start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(arguments[0] + " failed");
    return {elapsed, processor_seconds(usage)};
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Times of both sides, one pair per round.
class Rounds {
public:
    void add(const Timing& ours, const Timing& theirs) {
        ours_.push_back(ours.elapsed);
        theirs_.push_back(theirs.elapsed);
        elapsed_ratios_.push_back(ours.elapsed / theirs.elapsed);
        processor_ratios_.push_back(ours.processor / theirs.processor);
    }
    // The medians, and the verdict against the goal on elapsed time.
    void report(const std::string& what, const std::string& tool, double goal) const {
        const double ratio = median(elapsed_ratios_);
        std::printf("%s: %zu rounds, median %.4f s against %s %.4f s; median ratio %.3f elapsed, %.3f processor "
                    "(goal <= %.2f): %s\n",
                    what.c_str(), elapsed_ratios_.size(), median(ours_), tool.c_str(), median(theirs_), ratio,
                    median(processor_ratios_), goal, ratio <= goal ? "met" : "NOT met");
    }

private:
    std::vector<double> ours_;
    std::vector<double> theirs_;
    std::vector<double> elapsed_ratios_;
    std::vector<double> processor_ratios_;
};

inline int positive_argument(int argc, char** argv, int index, int fallback) {
    if (argc <= index) return fallback;
    const int value = std::atoi(argv[index]);
    return value > 0 ? value : fallback;
}

}  // namespace quillet::bench
