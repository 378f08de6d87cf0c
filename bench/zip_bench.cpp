// Zipping a tree of mixed files at level "5": the archiver against Info-ZIP's
// "zip -r -5" on the same tree in the same run. The goal is at most 0.5 x the
// time of zip: the archiver compresses on every processor, zip on one.
//
//   zip_bench [megabytes=200] [rounds=5] [password=TEXT] [files=N] [threads=N]
//
// With a password both sides encrypt: the archiver with AES-256, zip with its
// own (traditional) scheme through -P. With files=N the tree is N small files
// (1 to 31 kB, 10 folders) instead of the mixed one, to see the cost per file.
// threads=N sets the archiver's compression threads (default: one per processor,
// at least two; 1 compresses while the archive is written).
//
// The tree is written once into a fresh folder under $TMPDIR (else /tmp) and
// read once before timing, so that both sides find it in the page cache. The two
// sides take turns going first. Processor time (user + system) is reported too:
// on a busy machine it is the steadier of the two measures.

#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/harness.h"
#include "zip/zip32.h"

namespace {

using namespace quillet;
using namespace quillet::bench;
using namespace quillet::zip32;

constexpr const char* kWords[] = {"snapshot", "folder", "archive", "quarterly", "report", "ledger", "invoice",
                                  "customer", "the",    "and",     "of",        "2024",   "total",  "value",
                                  "record",   "entry",  "status",  "pending",   "north",  "south",  "complete"};

// Text much like documents and logs: compresses well.
std::string text_content(std::mt19937_64& random, std::size_t size) {
    std::string text;
    text.reserve(size + 16);
    while (text.size() < size) {
        text += kWords[random() % std::size(kWords)];
        text += random() % 12 == 0 ? '\n' : ' ';
    }
    text.resize(size);
    return text;
}

// Records of numbers, as in databases and spreadsheets: compresses somewhat.
std::string record_content(std::mt19937_64& random, std::size_t size) {
    std::string records;
    records.reserve(size + 32);
    while (records.size() < size) {
        records += std::to_string(random() % 100000) + ';' + std::to_string(random() % 1000) + ';' +
                   std::to_string(random() % 7) + '\n';
    }
    records.resize(size);
    return records;
}

// Already-compressed data such as photos: does not compress.
std::string random_content(std::mt19937_64& random, std::size_t size) {
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    return bytes;
}

// `total` bytes in nested folders: mostly small files, some medium, a few large;
// a third each of text, records and incompressible data.
void write_tree(const fs::path& root, std::uint64_t total) {
    std::mt19937_64 random(20240501);
    std::uint64_t written = 0;
    for (int index = 0; written < total; ++index) {
        std::uint64_t size = 1'000 + random() % 30'000;
        if (index % 10 == 9) size = 4'000'000 + random() % 8'000'000;
        if (index % 10 == 7 || index % 10 == 8) size = 200'000 + random() % 800'000;
        size = std::min(size, total - written);
        const fs::path folder = root / ("dept" + std::to_string(index % 7)) / ("year" + std::to_string(index % 5));
        fs::create_directories(folder);
        const int kind = index % 3;
        const std::string content = kind == 0   ? text_content(random, size)
                                    : kind == 1 ? record_content(random, size)
                                                : random_content(random, size);
        std::ofstream(folder / ("file" + std::to_string(index) + (kind == 2 ? ".bin" : ".txt")), std::ios::binary)
            << content;
        written += size;
    }
}

// `count` files of 1 to 31 kB, a third each of text, records and incompressible data.
void write_small_files(const fs::path& root, int count) {
    std::mt19937_64 random(20240502);
    for (int index = 0; index < count; ++index) {
        const std::size_t size = 1'000 + random() % 30'000;
        const fs::path folder = root / ("folder" + std::to_string(index % 10));
        fs::create_directories(folder);
        const int kind = index % 3;
        const std::string content = kind == 0   ? text_content(random, size)
                                    : kind == 1 ? record_content(random, size)
                                                : random_content(random, size);
        std::ofstream(folder / ("file" + std::to_string(index)), std::ios::binary) << content;
    }
}

// What one run of the benchmark is asked for beyond size and rounds.
struct Knobs {
    std::string password;
    int files = 0;  // 0: the mixed tree
    int threads = 0;
};

Knobs read_knobs(int argc, char** argv) {
    Knobs knobs;
    for (int i = 3; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.starts_with("password=")) {
            knobs.password = argument.substr(9);
        } else if (argument.starts_with("threads=")) {
            knobs.threads = std::max(0, std::atoi(argument.c_str() + 8));
        } else if (argument.starts_with("files=")) {
            knobs.files = std::max(0, std::atoi(argument.c_str() + 6));
        } else {
            throw std::runtime_error("unknown argument " + argument);
        }
    }
    return knobs;
}

std::string bench_password;

int ignore_message(char*, unsigned long) { return 0; }
int no_comment(char*) { return 0; }
int give_password(char* buffer, int size, const char*, const char*) {
    if (bench_password.empty() || bench_password.size() >= static_cast<std::size_t>(size)) return 1;
    std::strcpy(buffer, bench_password.c_str());
    return 0;
}
int carry_on(const char*, unsigned long) { return 0; }

Timing time_ours(const fs::path& tree, const fs::path& archive) {
    fs::remove(archive);
    const ZIPUSERFUNCTIONS callbacks{ignore_message, no_comment, give_password, carry_on};
    ZpInit(&callbacks);
    const std::string root = text_of(tree);
    ZPOPT options;
    options.szRootDir = root.c_str();
    options.fRecurse = 1;
    options.fLevel = '5';
    options.fQuiet = 1;
    options.fEncrypt = bench_password.empty() ? 0 : 1;
    ZpSetOptions(&options);
    ZIPNAMES names;
    names.zipnames[0] = "*.*";
    const std::string archive_text = text_of(archive);
    int result = ZE_OK;
    const Timing timing = time_here([&] { result = ZpArchive(1, archive_text.c_str(), &names); });
    if (result != ZE_OK) throw std::runtime_error("ZpArchive returned " + std::to_string(result));
    return timing;
}

Timing time_info_zip(const fs::path& tree, const fs::path& archive) {
    fs::remove(archive);
    const std::string password = bench_password.empty() ? "" : " -P '" + bench_password + "'";
    return run_timed(
        {"sh", "-c", "cd '" + tree.string() + "' && exec zip -r -5 -q" + password + " '" + archive.string() + "' ."});
}

}  // namespace

int main(int argc, char** argv) {
    const int megabytes = positive_argument(argc, argv, 1, 200);
    const int rounds = positive_argument(argc, argv, 2, 5);
    try {
        const Knobs knobs = read_knobs(argc, argv);
        bench_password = knobs.password;
        set_compression_threads(knobs.threads);
        ScratchFolder folder("bench-zip");
        const fs::path tree = folder.native() / "tree";
        const fs::path ours = folder.native() / "ours.zip";
        const fs::path theirs = folder.native() / "theirs.zip";
        if (knobs.files > 0) {
            write_small_files(tree, knobs.files);
        } else {
            write_tree(tree, static_cast<std::uint64_t>(megabytes) * 1'000'000);
        }
        time_info_zip(tree, theirs);  // brings the tree into the page cache

        Rounds timings;
        std::vector<double> elapsed_ratios;
        std::vector<double> processor_ratios;
        for (int round = 0; round < rounds; ++round) {
            // Alternate who goes first, so that neither always meets a warmer cache.
            Timing our_time;
            Timing their_time;
            if (round % 2 == 0) {
                our_time = time_ours(tree, ours);
                their_time = time_info_zip(tree, theirs);
            } else {
                their_time = time_info_zip(tree, theirs);
                our_time = time_ours(tree, ours);
            }
            timings.add(our_time, their_time);
            elapsed_ratios.push_back(our_time.elapsed / their_time.elapsed);
            processor_ratios.push_back(our_time.processor / their_time.processor);
        }
        const std::string what = knobs.files > 0 ? std::to_string(knobs.files) + " small files"
                                                 : "a " + std::to_string(megabytes) + " MB tree";
        const std::string with = knobs.password.empty() ? "" : " with a password";
        timings.report("zip of " + what + " at level 5" + with, "zip -r -5", 0.5);
        const auto [least_elapsed, most_elapsed] = std::minmax_element(elapsed_ratios.begin(), elapsed_ratios.end());
        const auto [least_cpu, most_cpu] = std::minmax_element(processor_ratios.begin(), processor_ratios.end());
        std::printf("ratios from %.3f to %.3f elapsed, %.3f to %.3f processor\n", *least_elapsed, *most_elapsed,
                    *least_cpu, *most_cpu);
        std::printf("archives %ju and %ju bytes\n", static_cast<std::uintmax_t>(fs::file_size(ours)),
                    static_cast<std::uintmax_t>(fs::file_size(theirs)));
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "zip_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
