// Zipping a tree of mixed files at level "5": the archiver against Info-ZIP's
// "zip -r -5" and 7-Zip's "7z a -tzip -mx5" on the same tree in the same run,
// without a password and with one (zip -P, 7z -p with AES-256 as ours). The goal
// is at most 0.5 x the time of zip.
//
//   zip_bench [megabytes=200] [rounds=5]
//
// The tree is written once into a fresh folder under $TMPDIR (else /tmp) and
// read once before timing, so that all sides find it in the page cache. The
// sides take turns going first. Ours runs in a process of its own, so that its
// peak memory can be read. Processor time (user + system) is reported too:
// on a busy machine it is the steadier of the two measures.

#include <sys/resource.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

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

// The tree is written by a process of its own. Making a large file's content
// takes memory, and every child this process starts afterwards would report this
// process's peak as its own: the kernel carries the spawning process's peak
// resident memory over to a child started with vfork, as posix_spawn starts them.
void write_tree_apart(const fs::path& root, std::uint64_t total) {
    const pid_t writer = fork();
    if (writer == 0) {
        try {
            write_tree(root, total);
            _exit(0);
        } catch (...) {
            _exit(1);
        }
    }
    int status = 0;
    if (writer < 0 || waitpid(writer, &status, 0) != writer || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("the tree to zip could not be written");
    }
}

constexpr const char* kPassword = "bench password";
// The password of the archives being timed; empty for none.
std::string password;

int ignore_message(char*, unsigned long) { return 0; }
int no_comment(char*) { return 0; }
int give_password(char* buffer, int size, const char*, const char*) {
    if (password.empty() || static_cast<int>(password.size()) >= size) return 1;
    std::memcpy(buffer, password.c_str(), password.size() + 1);
    return 0;
}
int carry_on(const char*, unsigned long) { return 0; }

// The archiver's side, run in a process of its own (this program started with
// --archive), so that its peak memory is its own.
int archive_here(const fs::path& tree, const fs::path& archive) {
    const ZIPUSERFUNCTIONS callbacks{ignore_message, no_comment, give_password, carry_on};
    ZpInit(&callbacks);
    const std::string root = text_of(tree);
    ZPOPT options;
    options.szRootDir = root.c_str();
    options.fRecurse = 1;
    options.fLevel = '5';
    options.fQuiet = 1;
    options.fEncrypt = password.empty() ? 0 : 1;
    ZpSetOptions(&options);
    ZIPNAMES names;
    names.zipnames[0] = "*.*";
    return ZpArchive(1, text_of(archive).c_str(), &names);
}

ChildRun time_ours(const fs::path& tree, const fs::path& archive) {
    fs::remove(archive);
    return run_child({"/proc/self/exe", "--archive", tree.string(), archive.string(), password});
}

Timing time_info_zip(const fs::path& tree, const fs::path& archive) {
    fs::remove(archive);
    const std::string with_password = password.empty() ? "" : " -P '" + password + "'";
    return run_timed(
        {"sh", "-c",
         "cd '" + tree.string() + "' && exec zip -r -5 -q" + with_password + " '" + archive.string() + "' ."});
}

Timing time_7z(const fs::path& tree, const fs::path& archive) {
    fs::remove(archive);
    const std::string with_password = password.empty() ? "" : " '-p" + password + "' -mem=AES256";
    return run_timed({"sh", "-c",
                      "cd '" + tree.string() + "' && exec 7z a -tzip -mx5 -bd" + with_password + " '" +
                          archive.string() + "' . >/dev/null"});
}

void compare(const fs::path& folder, const fs::path& tree, int megabytes, int rounds) {
    const fs::path ours = folder / "ours.zip";
    const fs::path zip = folder / "zip.zip";
    const fs::path seven = folder / "7z.zip";
    Rounds against_zip;
    Rounds against_7z;
    for (int round = 0; round < rounds; ++round) {
        // Take turns going first, so that none always meets a warmer cache.
        ChildRun our_run;
        Timing zip_time;
        Timing seven_time;
        for (int turn = 0; turn < 3; ++turn) {
            switch ((round + turn) % 3) {
                case 0:
                    our_run = time_ours(tree, ours);
                    break;
                case 1:
                    zip_time = time_info_zip(tree, zip);
                    break;
                default:
                    seven_time = time_7z(tree, seven);
            }
        }
        against_zip.add(our_run, zip_time);
        against_7z.add(our_run, seven_time);
    }
    const std::string what = "zip of a " + std::to_string(megabytes) + " MB tree at level 5" +
                             (password.empty() ? "" : " with a password") + " on " + place_of(folder);
    against_zip.report(what, password.empty() ? "zip -r -5" : "zip -r -5 -P", 0.5);
    against_7z.report(what, password.empty() ? "7z a -tzip -mx5" : "7z a -tzip -mx5 -p -mem=AES256", 0);
    report_memory(what, against_zip.peak_megabytes());
    std::printf("archives %ju (ours), %ju (zip) and %ju (7z) bytes\n", static_cast<std::uintmax_t>(fs::file_size(ours)),
                static_cast<std::uintmax_t>(fs::file_size(zip)), static_cast<std::uintmax_t>(fs::file_size(seven)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--archive") {
        password = argv[4];
        return archive_here(argv[2], argv[3]);
    }
    const int megabytes = positive_argument(argc, argv, 1, 200);
    const int rounds = positive_argument(argc, argv, 2, 5);
    try {
        ScratchFolder folder("bench-zip");
        const fs::path tree = folder.native() / "tree";
        write_tree_apart(tree, static_cast<std::uint64_t>(megabytes) * 1'000'000);
        time_info_zip(tree, folder.native() / "zip.zip");  // brings the tree into the page cache
        for (const char* each : {"", kPassword}) {
            password = each;
            compare(folder.native(), tree, megabytes, rounds);
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "zip_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
