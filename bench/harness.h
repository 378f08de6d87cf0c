#pragma once
// A small harness for timing this program's routines against the command-line
// tools a user would pick instead: scratch folders, timed child processes,
// medians and the report line.

#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"

extern char** environ;

namespace quillet::bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A fresh folder under $TMPDIR (else /tmp), removed with its contents at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& purpose) {
        std::random_device random;
        const fs::path base = fs::canonical(fs::temp_directory_path());
        do {
            native_ = base / ("quillet-bench-" + purpose + "-" + std::to_string(random()));
        } while (!fs::create_directory(native_));
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(native_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const fs::path& native() const { return native_; }

private:
    fs::path native_;
};

// Path text for a native path, as the program's routines take it.
inline std::string text_of(const fs::path& native) {
    const auto text = platform::path_text(native.string());
    if (!text) throw std::runtime_error("no path text for " + native.string());
    return *text;
}

// Runs a program found on PATH with its standard output sent to /dev/null, and
// returns the elapsed seconds; throws when it does not end well.
inline double run_timed(const std::vector<std::string>& arguments) {
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
    waitpid(child, &status, 0);
    const double elapsed = seconds_since(start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(arguments[0] + " failed");
    return elapsed;
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Times of both sides, one pair per round.
struct Rounds {
    std::vector<double> ours;
    std::vector<double> theirs;
    std::vector<double> ratios;

    void add(double our_seconds, double their_seconds) {
        ours.push_back(our_seconds);
        theirs.push_back(their_seconds);
        ratios.push_back(our_seconds / their_seconds);
    }
    // One line a run, and the verdict against the goal.
    void report(const std::string& what, const std::string& tool, double goal) const {
        const double ratio = median(ratios);
        std::printf("%s: %zu rounds, median %.4f s against %s %.4f s, median ratio %.3f (goal <= %.2f): %s\n",
                    what.c_str(), ratios.size(), median(ours), tool.c_str(), median(theirs), ratio, goal,
                    ratio <= goal ? "met" : "NOT met");
    }
};

inline int positive_argument(int argc, char** argv, int index, int fallback) {
    if (argc <= index) return fallback;
    const int value = std::atoi(argv[index]);
    return value > 0 ? value : fallback;
}

}  // namespace quillet::bench
