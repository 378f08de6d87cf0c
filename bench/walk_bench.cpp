// Walking a tree of files: lib_clsFindFiles against find, on the same tree in the
// same run. The goal is at most 1.2 x the time of find.
//
//   walk_bench [files=10000] [rounds=15]
//
// Both sides run as processes of their own and write every path they meet to
// standard output (sent to /dev/null): find, and this program started again as
// "walk_bench --walk FOLDER", which walks with subfolders, files and folders.
// The tree is built once in a fresh folder under $TMPDIR (else /tmp): ten
// folders of ten subfolders, the files spread over the subfolders. The two sides
// take turns going first.

#include <cstdio>
#include <fstream>
#include <string>

#include "bench/harness.h"
#include "files/find_files.h"

namespace {

using namespace quillet;
using namespace quillet::bench;

constexpr int kFolders = 10;
constexpr int kSubfolders = 10;

void make_tree(const fs::path& root, int files) {
    const int per_subfolder = files / (kFolders * kSubfolders);
    int made = 0;
    for (int folder = 0; folder < kFolders; ++folder) {
        for (int sub = 0; sub < kSubfolders; ++sub) {
            const fs::path place = root / ("folder " + std::to_string(folder)) / ("sub " + std::to_string(sub));
            fs::create_directories(place);
            const int here = (folder == kFolders - 1 && sub == kSubfolders - 1) ? files - made : per_subfolder;
            for (int file = 0; file < here; ++file, ++made) {
                std::ofstream(place / ("file " + std::to_string(file) + ".txt")) << file;
            }
        }
    }
}

int walk(const std::string& folder_text) {
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    lib_clsFindFiles finder;
    finder.SearchType(3);
    for (bool found = finder.FindFirstFile("*", folder_text, true); found; found = finder.FindNextFile()) {
        const std::string path = finder.FullFile();
        std::fwrite(path.data(), 1, path.size(), stdout);
        std::fputc('\n', stdout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--walk") return walk(argv[2]);
    const int files = positive_argument(argc, argv, 1, 10000);
    const int rounds = positive_argument(argc, argv, 2, 15);
    try {
        ScratchFolder folder("bench-walk");
        make_tree(folder.native(), files);
        const std::string self = fs::read_symlink("/proc/self/exe").string();
        const std::vector<std::string> ours = {self, "--walk", text_of(folder.native())};
        const std::vector<std::string> theirs = {"find", folder.native().string()};
        run_timed(ours);  // warm the page cache and the program's own pages
        run_timed(theirs);

        Rounds timings;
        for (int round = 0; round < rounds; ++round) {
            if (round % 2 == 0) {
                const Timing our_time = run_timed(ours);
                timings.add(our_time, run_timed(theirs));
            } else {
                const Timing their_time = run_timed(theirs);
                timings.add(run_timed(ours), their_time);
            }
        }
        timings.report("walk of " + std::to_string(files) + " files", "find", 1.2);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "walk_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
