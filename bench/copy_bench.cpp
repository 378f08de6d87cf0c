// Copying one large file: lib_CopyFile against cp, on the same file in the same
// run. The goal is at most 1.1 x the time of cp.
//
//   copy_bench [mebibytes=1024] [rounds=5]
//
// The source is written once into a fresh folder under $TMPDIR (else /tmp) and
// stays in the page cache; before each timed copy the previous copies are removed
// and written back (sync), so that neither side pays for the other's writes. The
// two sides take turns going first.

#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <random>
#include <vector>

#include "bench/harness.h"
#include "files/copy_file.h"
#include "ui/user_side.h"

namespace {

using namespace quillet;
using namespace quillet::bench;

void write_source(const fs::path& path, int mebibytes) {
    std::mt19937_64 random(42);
    std::vector<std::uint64_t> block((1u << 20) / sizeof(std::uint64_t));
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < mebibytes; ++i) {
        for (auto& word : block) word = random();
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 8));
    }
}

void start_clean(const fs::path& ours, const fs::path& theirs) {
    fs::remove(ours);
    fs::remove(theirs);
    ::sync();
}

Timing time_ours(const fs::path& source, const fs::path& target) {
    return time_here([&] {
        if (!lib_basFile::lib_CopyFile(FrontEndUserSide(), text_of(source), text_of(target), true)) {
            throw std::runtime_error("no copy");
        }
    });
}

}  // namespace

int main(int argc, char** argv) {
    const int mebibytes = positive_argument(argc, argv, 1, 1024);
    const int rounds = positive_argument(argc, argv, 2, 5);
    try {
        ScratchFolder folder("bench-copy");
        const fs::path source = folder.native() / "source.bin";
        const fs::path ours = folder.native() / "ours.bin";
        const fs::path theirs = folder.native() / "theirs.bin";
        write_source(source, mebibytes);

        Rounds timings;
        for (int round = 0; round < rounds; ++round) {
            Timing our_time;
            Timing their_time;
            for (int turn = 0; turn < 2; ++turn) {
                start_clean(ours, theirs);
                if ((round + turn) % 2 == 0) {
                    our_time = time_ours(source, ours);
                } else {
                    their_time = run_timed({"cp", source.string(), theirs.string()});
                }
            }
            timings.add(our_time, their_time);
        }
        timings.report("copy of " + std::to_string(mebibytes) + " MiB", "cp", 1.1);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "copy_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
