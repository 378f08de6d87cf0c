// A run that is interrupted, or killed outright, leaves nothing half made: no
// plain copy in the temporary folder, no partial archive or temporary copy beside
// the target. Work folders are the run's own, and an older archive that the trash
// cannot take survives.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <thread>

#include "sandbox.h"

namespace quillet::end_to_end {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr uid_t kAnotherUser = 65534;
constexpr const char* kClock = "2010-09-30 09:00:00";

// Bytes that do not compress, so that zipping them takes a while.
void write_big_file(const fs::path& file, std::size_t megabytes, std::uint64_t seed) {
    fs::create_directories(file.parent_path());
    std::vector<std::uint64_t> block(std::size_t{1} << 17);  // 1 MiB
    std::ofstream out(file, std::ios::binary);
    for (std::size_t i = 0; i < megabytes; ++i) {
        for (std::uint64_t& word : block) {
            seed ^= seed << 13;
            seed ^= seed >> 7;
            seed ^= seed << 17;
            word = seed;
        }
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 8));
    }
}

bool holds_anything(const fs::path& folder) {
    std::error_code ignored;
    return fs::exists(folder, ignored) && !fs::is_empty(folder, ignored);
}

// The program the sandbox started from this process.
pid_t running_program() {
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        const std::size_t name_end = line.rfind(')');
        if (name_end == std::string::npos) continue;
        char state = 0;
        long parent = 0;
        if (std::sscanf(line.c_str() + name_end + 1, " %c %ld", &state, &parent) == 2 && parent == getpid()) {
            return static_cast<pid_t>(std::stol(entry.path().filename().string()));
        }
    }
    return 0;
}

// Sends a signal to the running program as soon as a condition holds.
class SignalWhen {
public:
    SignalWhen(int signal, std::function<bool()> condition)
        : thread_([this, signal, condition = std::move(condition)] {
              const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
              while (!condition()) {
                  if (std::chrono::steady_clock::now() > give_up) return;
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
              const pid_t program = running_program();
              if (program != 0) sent_ = kill(program, signal) == 0;
          }) {}
    ~SignalWhen() { wait(); }
    bool sent() {
        wait();
        return sent_;
    }

private:
    void wait() {
        if (thread_.joinable()) thread_.join();
    }

public:

private:
    std::atomic<bool> sent_ = false;
    std::thread thread_;
};

// The names in a folder; read while the program changes it, so nothing may throw.
std::vector<std::string> names_in(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        names.push_back(entry->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A file under its final name in the snapshot folder below: a finished copy.
bool holds_finished_copy(const fs::path& snapshot_parent) {
    for (const std::string& snapshot : names_in(snapshot_parent)) {
        const Lines names = names_in(snapshot_parent / snapshot);
        if (std::any_of(names.begin(), names.end(),
                        [](const std::string& name) { return name.find(".~") == std::string::npos; })) {
            return true;
        }
    }
    return false;
}

struct InterruptedRun {
    const char* name;
    int signal;
    bool zip;
    // Where the signal waits for something to appear: the work folder (tmp), the
    // archive's folder, or a finished copy in the snapshot folder below.
    std::string watched;
    int status;
};

void PrintTo(const InterruptedRun& run, std::ostream* out) { *out << run.name; }

class Interruption : public ::testing::TestWithParam<InterruptedRun> {};

// Wine turns only SIGINT into a console event for a Windows program (Ctrl+C);
// there every run is interrupted so, at the same moment.
TEST_P(Interruption, LeavesNothingHalfMadeAndEveryFinishedFileInPlace) {
    InterruptedRun run = GetParam();
    if (under_wine()) {
        run.signal = SIGINT;
        run.status = 128 + SIGINT;
    }
    Sandbox box;
    const std::size_t files = run.zip ? 4 : 8;
    const std::size_t megabytes = run.zip ? 24 : 64;
    for (std::size_t i = 0; i < files; ++i) {
        write_big_file(box.native("src/big" + std::to_string(i)), megabytes, 0x9E3779B97F4A7C15ULL + i);
    }
    const fs::path watched = box.native(run.watched);
    SignalWhen signal(run.signal, [&] { return run.zip ? holds_anything(watched) : holds_finished_copy(watched); });
    std::vector<std::string> arguments{box.text("src") + "\\*.*", box.text("dst")};
    if (run.zip) arguments.push_back("/Z=secret");
    // The real clock: a clock faked by a program in between would take the signal.
    const Outcome outcome = box.run(arguments);
    ASSERT_TRUE(signal.sent()) << "the run ended before the signal: " << outcome.out << outcome.err;

    EXPECT_EQ(outcome.status, run.status) << outcome.out << outcome.err;
    EXPECT_EQ(box.tree("tmp"), Lines{});
    if (run.zip) {
        // No archive, and nothing beside where it goes; the folder for it may not be made yet.
        const Lines left = box.tree("dst");
        EXPECT_TRUE(left.empty() || left == Lines{"src/"}) << ::testing::PrintToString(left);
        return;
    }
    const Lines snapshot = names_in(watched);
    ASSERT_EQ(snapshot.size(), 1u);
    const std::string folder = "dst/src/" + snapshot.front();
    const Lines copied = box.tree(folder);
    EXPECT_FALSE(copied.empty());
    EXPECT_LT(copied.size(), files);
    for (const std::string& name : copied) {
        EXPECT_EQ(name.find(".~"), std::string::npos) << name;
        EXPECT_TRUE(box.read(folder + "/" + name) == box.read("src/" + name)) << name << " differs from its source";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Signals, Interruption,
    ::testing::Values(InterruptedRun{"SigtermWhileCopyingForZip", SIGTERM, true, "tmp", 143},
                      InterruptedRun{"SighupWhileWritingTheArchive", SIGHUP, true, "dst/src", 129},
                      InterruptedRun{"SigintWhileCopying", SIGINT, false, "dst/src", 130}),
    [](const ::testing::TestParamInfo<InterruptedRun>& info) { return std::string(info.param.name); });

std::string first_line_of(const std::string& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// Field 22 of /proc/PID/stat, the 20th after the command name.
std::string own_start_time() {
    const std::string stat = first_line_of("/proc/self/stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 1));
    std::string field;
    for (int i = 0; i < 20; ++i) fields >> field;
    return field;
}

pid_t ended_process() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

// Where a process runs: its boot, machine and process id namespace.
struct Place {
    std::string boot = first_line_of("/proc/sys/kernel/random/boot_id");
    std::string machine = this_machine();
    std::string pid_namespace = this_pid_namespace();

    static std::string this_machine() {
        const std::string id = first_line_of("/etc/machine-id");
        if (!id.empty()) return id;
        char name[256] = {};
        gethostname(name, sizeof name - 1);
        return name;
    }
    static std::string this_pid_namespace() {
        struct stat info {};
        stat("/proc/self/ns/pid", &info);
        return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
    }
};

std::string mark(pid_t pid, const std::string& start, const Place& place) {
    return "quillet-work " + std::to_string(pid) + " " + start + " " + place.boot + " " + place.machine + " " +
           place.pid_namespace + "\n";
}

class WorkFolders : public ::testing::Test {
protected:
    WorkFolders() { box.write("src/a.txt"); }

    // A work folder with a file in it, and its mark unless that is empty.
    void work_folder(const std::string& name, const std::string& mark_text) const {
        box.write("tmp/" + name + "/copy.txt");
        if (!mark_text.empty()) box.write("tmp/" + name + ".tmp", mark_text);
    }

    Outcome zip() const { return box.run({box.text("src") + "\\*.*", box.text("dst"), "/Z"}, RunOptions().at(kClock)); }

    Sandbox box;
};

// A Windows run's mark names a Windows process; these marks name POSIX ones.
constexpr const char* kPosixMarks = "the marks here are a POSIX run's; the Windows build's name Windows processes";

TEST_F(WorkFolders, OnlyThoseOfThisUsersRunsThatNoLongerLiveHereAreRemoved) {
    if (under_wine()) GTEST_SKIP() << kPosixMarks;
    const Place here;
    Place earlier_boot = here;
    earlier_boot.boot = "00000000-0000-0000-0000-000000000000";
    Place another_machine = earlier_boot;
    another_machine.machine = "0123456789abcdef0123456789abcdef";
    Place another_namespace = earlier_boot;
    another_namespace.pid_namespace = "1:1";
    const std::string started = own_start_time();
    work_folder("qtk1", mark(ended_process(), "1", here));
    work_folder("qtk2", mark(getpid(), started, here));
    work_folder("qtk3", mark(getpid(), started + "0", here));  // the id was handed out again
    work_folder("qtk4", mark(getpid(), started, earlier_boot));
    work_folder("qtk5", mark(ended_process(), "1", here));
    ASSERT_EQ(lchown(box.native("tmp/qtk5").c_str(), kAnotherUser, kAnotherUser), 0);
    ASSERT_EQ(lchown(box.native("tmp/qtk5.tmp").c_str(), kAnotherUser, kAnotherUser), 0);
    work_folder("qtk6", "");
    work_folder("qtk7", "not a mark");
    box.write("elsewhere/keep.txt");
    fs::create_directory_symlink(box.native("elsewhere"), box.native("tmp/qtk8"));
    box.write("tmp/qtk8.tmp", mark(ended_process(), "1", here));
    // Runs whose ids cannot be looked up here, and a mark without the fields that say where it was made.
    work_folder("qtk9", mark(ended_process(), "1", another_machine));
    work_folder("qtkA", mark(ended_process(), "1", another_namespace));
    work_folder("qtkB", "quillet-work " + std::to_string(ended_process()) + " 1 " + here.boot + "\n");

    const Outcome outcome = zip();
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_EQ(names_in(box.native("tmp")),
              (Lines{"qtk2", "qtk2.tmp", "qtk5", "qtk5.tmp", "qtk6", "qtk7", "qtk7.tmp", "qtk8", "qtk8.tmp", "qtk9",
                     "qtk9.tmp", "qtkA", "qtkA.tmp", "qtkB", "qtkB.tmp"}));
    EXPECT_TRUE(box.exists("tmp/qtk2/copy.txt"));
    EXPECT_TRUE(box.exists("elsewhere/keep.txt"));
}

TEST_F(WorkFolders, StagingFoldersLeftBesideTheArchiveByRunsThatNoLongerLiveAreRemoved) {
    if (under_wine()) GTEST_SKIP() << kPosixMarks;
    const Place here;
    box.write("dst/src/qzs1/archive.zip", "half written");
    box.write("dst/src/qzs1.tmp", mark(ended_process(), "1", here));
    box.write("dst/src/qzs2/archive.zip", "being written");
    box.write("dst/src/qzs2.tmp", mark(getpid(), own_start_time(), here));

    const Outcome outcome = zip();
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_EQ(names_in(box.native("dst/src")), (Lines{"2010-09-30   09.00.zip", "qzs2", "qzs2.tmp"}));
}

// A folder in memory for the temporary folder, where making 65535 folders is quick.
class FolderInMemory {
public:
    FolderInMemory() : folder_("/dev/shm/quillet-e2e-" + std::to_string(getpid())) { fs::create_directory(folder_); }
    ~FolderInMemory() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    FolderInMemory(const FolderInMemory&) = delete;
    FolderInMemory& operator=(const FolderInMemory&) = delete;
    const fs::path& path() const { return folder_; }

private:
    fs::path folder_;
};

TEST_F(WorkFolders, ANameThatSomeoneElseHasIsNeitherUsedNorDeleted) {
    if (!fs::is_directory("/dev/shm")) GTEST_SKIP() << "no /dev/shm";
    if (under_wine()) GTEST_SKIP() << "Wine shows Windows no other user's folders: every one is this user's";
    const FolderInMemory memory;
    fs::remove(box.native("tmp"));
    fs::create_directory_symlink(memory.path(), box.native("tmp"));
    // Every name but one is another user's folder.
    constexpr unsigned kFreeNumber = 0x1234;
    for (unsigned number = 1; number <= 0xFFFF; ++number) {
        if (number == kFreeNumber) continue;
        char name[16];
        std::snprintf(name, sizeof name, "tmp/qtk%X", number);
        const std::string folder = box.native(name).string();
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
        ASSERT_EQ(lchown(folder.c_str(), kAnotherUser, kAnotherUser), 0);
    }
    box.write("tmp/qtkFFFF/theirs.txt");

    const Outcome outcome = zip();
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_TRUE(box.exists("dst/src/2010-09-30   09.00.zip"));
    EXPECT_EQ(names_in(box.native("tmp")).size(), 0xFFFEu);
    EXPECT_FALSE(box.exists("tmp/qtk1234"));
    EXPECT_TRUE(box.exists("tmp/qtkFFFF/theirs.txt"));
}

TEST(OldArchive, ThatTheTrashCannotTakeIsNeitherOverwrittenNorAddedTo) {
    Sandbox box;
    // A trash that is a file takes nothing.
    box.write("home/.local/share/Trash", "not a folder");
    box.write("src/a.txt");
    const std::vector<std::string> arguments{box.text("src") + "\\*.*", box.text("dst"), "/Z"};
    ASSERT_EQ(box.run(arguments, RunOptions().at(kClock)).status, 0);
    const std::string archive = "dst/src/2010-09-30   09.00.zip";
    const std::string first = box.read(archive);
    ASSERT_FALSE(first.empty());

    box.write("src/b.txt");
    const Outcome again = box.run(arguments, RunOptions().at(kClock));
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(lines_of(again.out), Lines{"Failed to cleanup " + box.text(archive)});
    EXPECT_EQ(box.read(archive), first);
    EXPECT_EQ(box.tree("dst"), (Lines{"src/", "src/2010-09-30   09.00.zip"}));
    EXPECT_EQ(box.tree("tmp"), Lines{});
}

}  // namespace
}  // namespace quillet::end_to_end
