// A whole snapshot with /S against cp -r --preserve=timestamps and rsync -a, on
// the same tree in the same run: one of 9,000 small files in 90 folders, one of
// four large files totalling 1 GiB, and an empty folder, which measures what a job
// costs before any file (start-up above all). The goals, against cp: small files
// at most 0.65 x on tmpfs and 0.8 x on a disk, large files 1.0 x, the empty job
// 1.5 x; a peak memory of the program below 16 MB. "scaling" times the program
// alone at 1,000 and 10,000 small files: the cost per file should stay flat.
//
//   snapshot_bench [small|large|empty|scaling|all=all] [rounds=5, 200 for empty]
//
// All sides run as processes of their own: the built quillet program in the
// console front end (writing straight into the target with /F=5), cp and rsync. The
// trees are built once in a fresh folder under $TMPDIR (else /tmp) and stay in
// the page cache. Every run writes a copy of its own, and all are removed only at
// the end: a file system that has just deleted many files is slow to create new
// ones for a while, which would punish whichever side ran next (the large files,
// only four, go after each round, or tmpfs would hold them all in memory). Before
// each timed run the earlier writes go to the disk (sync), so that neither side
// pays for the other's. The sides take turns going first.

#include <cstdint>
#include <fstream>
#include <random>
#include <vector>

#include "bench/harness.h"

namespace {

using namespace quillet;
using namespace quillet::bench;

// The goals against cp, by tree.
double time_goal(const std::string& what, const fs::path& folder) {
    if (what.find("small") != std::string::npos) return on_tmpfs(folder) ? 0.65 : 0.8;
    if (what.find("empty") != std::string::npos) return 1.5;
    return 1.0;
}

void write_random_file(const fs::path& path, std::uint64_t bytes, std::mt19937_64& random) {
    std::vector<std::uint64_t> block(std::min<std::uint64_t>(bytes, 1u << 20) / sizeof(std::uint64_t));
    std::ofstream out(path, std::ios::binary);
    for (std::uint64_t written = 0; written < bytes; written += block.size() * 8) {
        for (auto& word : block) word = random();
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 8));
    }
}

// Files of 1 to 4 KiB, a hundred in each subfolder, ten subfolders in each folder.
void make_small_files(const fs::path& root, int files) {
    std::mt19937_64 random(7);
    fs::create_directories(root);
    for (int file = 0; file < files; ++file) {
        const fs::path place =
            root / ("folder " + std::to_string(file / 1000)) / ("sub " + std::to_string(file / 100 % 10));
        if (file % 100 == 0) fs::create_directories(place);
        write_random_file(place / ("file " + std::to_string(file % 100) + ".dat"), 1024 * (1 + random() % 4), random);
    }
}

// 9,000 files in nine folders of ten subfolders.
void make_small_tree(const fs::path& root) { make_small_files(root, 9000); }

// Four files of 256 MiB, two of them in a subfolder.
void make_large_tree(const fs::path& root) {
    std::mt19937_64 random(11);
    fs::create_directories(root / "sub");
    for (const char* name : {"one.bin", "two.bin", "sub/three.bin", "sub/four.bin"}) {
        write_random_file(root / name, std::uint64_t{256} << 20, random);
    }
}

void make_empty_tree(const fs::path& root) { fs::create_directories(root); }

std::size_t count_files(const fs::path& root) {
    std::size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) files += entry.is_regular_file() ? 1 : 0;
    return files;
}

void compare(const std::string& what, const fs::path& folder, void (*make_tree)(const fs::path&), int rounds) {
    const fs::path source = folder / what;
    make_tree(source);
    ::sync();
    const bool large = make_tree == make_large_tree;

    Rounds against_cp;
    Rounds against_rsync;
    for (int round = 0; round < rounds; ++round) {
        const std::string number = std::to_string(round);
        const fs::path ours = folder / ("quillet " + number);
        const fs::path cp = folder / ("cp " + number);
        const fs::path rsync = folder / ("rsync " + number);
        ChildRun ours_run;
        Timing cp_timing;
        Timing rsync_timing;
        for (int turn = 0; turn < 3; ++turn) {
            switch ((round + turn) % 3) {
                case 0:
                    ours_run = run_quillet(QUILLET_BINARY, {text_of(source) + "\\*.*", text_of(ours), "/S", "/F=5"});
                    break;
                case 1:
                    cp_timing = run_timed({"cp", "-r", "--preserve=timestamps", source.string(), cp.string()});
                    break;
                default:
                    rsync_timing = run_timed({"rsync", "-a", source.string() + "/", rsync.string()});
            }
            ::sync();
        }
        if (!fs::is_directory(ours) || count_files(ours) != count_files(source)) {
            throw std::runtime_error("a snapshot of " + what + " is incomplete");
        }
        against_cp.add(ours_run, cp_timing);
        against_rsync.add(ours_run, rsync_timing);
        if (large) {
            for (const fs::path& copy : {ours, cp, rsync}) fs::remove_all(copy);
        }
    }
    const std::string title = "snapshot /S of " + what + " on " + place_of(folder);
    against_cp.report(title, "cp -r --preserve=timestamps", time_goal(what, folder));
    against_rsync.report(title, "rsync -a", 0);
    report_memory(title, against_cp.peak_megabytes());
}

// The cost per file at 1,000 files and at 10,000 (the most one run copies), each
// with what an empty job costs taken off: flat when they are about the same.
void report_scaling(const fs::path& folder, int rounds) {
    const std::vector<int> sizes{0, 1000, 10000};
    for (const int files : sizes) make_small_files(folder / ("tree " + std::to_string(files)), files);
    ::sync();
    std::vector<std::vector<double>> elapsed(sizes.size());
    double peak_megabytes = 0;
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t turn = 0; turn < sizes.size(); ++turn) {
            const std::size_t size = (round + turn) % sizes.size();
            const std::string files = std::to_string(sizes[size]);
            const fs::path tree = folder / ("tree " + files);
            const fs::path copy = folder / ("copy " + files + " " + std::to_string(round));
            const ChildRun run = run_quillet(QUILLET_BINARY, {text_of(tree) + "\\*.*", text_of(copy), "/S", "/F=5"});
            elapsed[size].push_back(run.timing.elapsed);
            peak_megabytes = std::max(peak_megabytes, run.peak_megabytes);
            ::sync();
        }
    }
    const double start_up = median(elapsed[0]);
    const auto per_file = [&](std::size_t size) { return (median(elapsed[size]) - start_up) / sizes[size] * 1e6; };
    const double ratio = per_file(2) / per_file(1);
    const std::string title = "snapshot /S cost per file on " + place_of(folder);
    std::printf(
        "%s: %d rounds, %.1f us at 1000 files, %.1f us at 10000 (an empty job's %.1f ms taken off); "
        "ratio %.3f (goal <= 1.10, flat): %s\n",
        title.c_str(), rounds, per_file(1), per_file(2), start_up * 1e3, ratio, ratio <= 1.1 ? "met" : "NOT met");
    report_memory(title + " at 10000 files", peak_megabytes);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string which = argc > 1 ? argv[1] : "all";
    if (which != "small" && which != "large" && which != "empty" && which != "scaling" && which != "all") {
        std::fprintf(stderr, "usage: snapshot_bench [small|large|empty|scaling|all] [rounds]\n");
        return 2;
    }
    const bool given = argc > 2;
    const int rounds = positive_argument(argc, argv, 2, 5);
    try {
        if (which == "small" || which == "all") {
            ScratchFolder folder("bench-snapshot-small");
            compare("9000 small files", folder.native(), make_small_tree, rounds);
        }
        if (which == "large" || which == "all") {
            ScratchFolder folder("bench-snapshot-large");
            compare("4 files of 256 MiB", folder.native(), make_large_tree, rounds);
        }
        if (which == "empty" || which == "all") {
            ScratchFolder folder("bench-snapshot-empty");
            compare("an empty folder", folder.native(), make_empty_tree, given ? rounds : 200);
        }
        if (which == "scaling" || which == "all") {
            ScratchFolder folder("bench-snapshot-scaling");
            report_scaling(folder.native(), rounds);
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "snapshot_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
