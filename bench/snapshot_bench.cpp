// A whole snapshot with /S against cp -r --preserve=timestamps, on the same tree
// in the same run: one of 10,000 small files in 100 folders, and one of four large
// files totalling 1 GiB. The goals: at most 1.25 x the time of cp, and a peak
// memory of the program below 50 MB.
//
//   snapshot_bench [small|large|both=both] [rounds=5]
//
// Both sides run as processes of their own: the built quillet program in the
// console front end (writing straight into the target with /F=5), and cp. The
// trees are built once in a fresh folder under $TMPDIR (else /tmp) and stay in
// the page cache. Every run writes a copy of its own, and all are removed only at
// the end: a file system that has just deleted many files is slow to create new
// ones for a while, which would punish whichever side ran next. Before each timed
// run the earlier writes go to the disk (sync), so that neither side pays for the
// other's. The two sides take turns going first. QUILLET_COPY_THREADS in the
// environment reaches the program: 1 measures it copying on one thread.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <vector>

#include "bench/harness.h"

namespace {

using namespace quillet;
using namespace quillet::bench;

constexpr double kTimeGoal = 1.25;
constexpr double kMemoryGoalMegabytes = 50;

struct ChildRun {
    Timing timing;
    double peak_megabytes = 0;
};

// Runs the program in the console front end and reads its peak resident memory.
ChildRun run_quillet(const std::vector<std::string>& arguments) {
    std::vector<std::string> command{QUILLET_BINARY};
    command.insert(command.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& part : command) argv.push_back(part.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment{"QUILLET_UI=console"};
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "QUILLET_", 8) != 0 || std::strncmp(*entry, "QUILLET_COPY_THREADS=", 21) == 0) {
            environment.emplace_back(*entry);
        }
    }
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    const auto start = Clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) {
        throw std::runtime_error("cannot start " + command[0]);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    ChildRun run{{seconds_since(start), processor_seconds(usage)}, static_cast<double>(usage.ru_maxrss) / 1024.0};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("quillet ended with status " + std::to_string(WEXITSTATUS(status)));
    }
    return run;
}

void write_random_file(const fs::path& path, std::uint64_t bytes, std::mt19937_64& random) {
    std::vector<std::uint64_t> block(std::min<std::uint64_t>(bytes, 1u << 20) / sizeof(std::uint64_t));
    std::ofstream out(path, std::ios::binary);
    for (std::uint64_t written = 0; written < bytes; written += block.size() * 8) {
        for (auto& word : block) word = random();
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 8));
    }
}

// 10,000 files of 1 to 4 KiB, a hundred in each of ten folders of ten subfolders.
void make_small_tree(const fs::path& root) {
    std::mt19937_64 random(7);
    for (int folder = 0; folder < 10; ++folder) {
        for (int sub = 0; sub < 10; ++sub) {
            const fs::path place = root / ("folder " + std::to_string(folder)) / ("sub " + std::to_string(sub));
            fs::create_directories(place);
            for (int file = 0; file < 100; ++file) {
                write_random_file(place / ("file " + std::to_string(file) + ".dat"), 1024 * (1 + random() % 4),
                                  random);
            }
        }
    }
}

// Four files of 256 MiB, two of them in a subfolder.
void make_large_tree(const fs::path& root) {
    std::mt19937_64 random(11);
    fs::create_directories(root / "sub");
    for (const char* name : {"one.bin", "two.bin", "sub/three.bin", "sub/four.bin"}) {
        write_random_file(root / name, std::uint64_t{256} << 20, random);
    }
}

std::size_t count_files(const fs::path& root) {
    std::size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) files += entry.is_regular_file() ? 1 : 0;
    return files;
}

void compare(const std::string& what, const fs::path& folder, void (*make_tree)(const fs::path&), int rounds) {
    const fs::path source = folder / what;
    make_tree(source);
    ::sync();

    Rounds timings;
    std::vector<double> elapsed_ratios;
    std::vector<double> processor_ratios;
    double peak = 0;
    for (int round = 0; round < rounds; ++round) {
        const fs::path ours = folder / ("quillet " + std::to_string(round));
        const fs::path theirs = folder / ("cp " + std::to_string(round));
        Timing ours_timing;
        Timing theirs_timing;
        for (int turn = 0; turn < 2; ++turn) {
            if ((round + turn) % 2 == 0) {
                const ChildRun run = run_quillet({text_of(source) + "\\*.*", text_of(ours), "/S", "/F=5"});
                ours_timing = run.timing;
                peak = std::max(peak, run.peak_megabytes);
            } else {
                theirs_timing = run_timed({"cp", "-r", "--preserve=timestamps", source.string(), theirs.string()});
            }
            ::sync();
        }
        if (count_files(ours) != count_files(source)) throw std::runtime_error("a snapshot of " + what + " is incomplete");
        timings.add(ours_timing, theirs_timing);
        elapsed_ratios.push_back(ours_timing.elapsed / theirs_timing.elapsed);
        processor_ratios.push_back(ours_timing.processor / theirs_timing.processor);
    }
    timings.report("snapshot /S of " + what, "cp -r --preserve=timestamps", kTimeGoal);
    const auto [elapsed_low, elapsed_high] = std::minmax_element(elapsed_ratios.begin(), elapsed_ratios.end());
    const auto [processor_low, processor_high] = std::minmax_element(processor_ratios.begin(), processor_ratios.end());
    std::printf("snapshot /S of %s: ratios from %.3f to %.3f elapsed, %.3f to %.3f processor\n", what.c_str(),
                *elapsed_low, *elapsed_high, *processor_low, *processor_high);
    std::printf("snapshot /S of %s: peak memory %.1f MB (goal < %.0f MB): %s\n", what.c_str(), peak,
                kMemoryGoalMegabytes, peak < kMemoryGoalMegabytes ? "met" : "NOT met");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string which = argc > 1 ? argv[1] : "both";
    const int rounds = positive_argument(argc, argv, 2, 5);
    if (which != "small" && which != "large" && which != "both") {
        std::fprintf(stderr, "usage: snapshot_bench [small|large|both] [rounds]\n");
        return 2;
    }
    try {
        if (which != "large") {
            ScratchFolder folder("bench-snapshot-small");
            compare("10000 small files", folder.native(), make_small_tree, rounds);
        }
        if (which != "small") {
            ScratchFolder folder("bench-snapshot-large");
            compare("4 files of 256 MiB", folder.native(), make_large_tree, rounds);
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "snapshot_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
