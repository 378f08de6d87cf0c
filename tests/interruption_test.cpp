// A run that is interrupted, or killed outright, leaves nothing half made: no
// plain copy in the temporary folder, no partial archive or temporary copy beside
// the target. Work folders are the run's own, and an older archive that the trash
// cannot take survives.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <future>
#include <random>
#include <sstream>
#include <thread>

#include "sandbox.h"

namespace quillet::end_to_end {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kAnotherUser = 65534;
constexpr const char* kClock = "2010-09-30 09:00:00";

// Bytes that do not compress, so that zipping them takes a while.
void write_big_file(const fs::path& file, std::size_t megabytes, std::uint64_t seed) {
    fs::create_directories(file.parent_path());
    std::mt19937_64 random(seed);
    std::vector<std::uint64_t> block(std::size_t{1} << 17);  // 1 MiB
    std::ofstream out(file, std::ios::binary);
    for (std::size_t i = 0; i < megabytes; ++i) {
        std::generate(block.begin(), block.end(), std::ref(random));
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 8));
    }
}

// The names in a folder; read while the program changes it, so nothing may throw.
Lines names_in(const fs::path& folder) {
    Lines names;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        names.push_back(entry->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A file under its final name in a snapshot folder below: a finished copy.
bool holds_finished_copy(const fs::path& snapshot_parent) {
    for (const std::string& snapshot : names_in(snapshot_parent)) {
        const Lines names = names_in(snapshot_parent / snapshot);
        const auto finished = [](const std::string& name) { return name.find(".~") == std::string::npos; };
        if (std::any_of(names.begin(), names.end(), finished)) return true;
    }
    return false;
}

// Sends a signal to the program the sandbox runs, this process's one child, once
// the condition holds; answers whether it was sent.
std::future<bool> signal_when(int signal, std::function<bool()> condition) {
    return std::async(std::launch::async, [signal, condition = std::move(condition)] {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > give_up) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::ifstream children("/proc/self/task/" + std::to_string(getpid()) + "/children");
        pid_t program = 0;
        return children >> program && kill(program, signal) == 0;
    });
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
    for (std::size_t i = 0; i < files; ++i) {
        write_big_file(box.native("src/big" + std::to_string(i)), run.zip ? 24 : 64, 0x9E3779B97F4A7C15ULL + i);
    }
    const fs::path watched = box.native(run.watched);
    std::future<bool> signal = signal_when(
        run.signal, [&] { return run.zip ? !names_in(watched).empty() : holds_finished_copy(watched); });
    Lines arguments{box.text("src") + "\\*.*", box.text("dst")};
    if (run.zip) arguments.push_back("/Z=secret");
    // The real clock: a clock faked by a program in between would take the signal.
    const Outcome outcome = box.run(arguments);
    ASSERT_TRUE(signal.get()) << "no signal was sent before the run ended: " << outcome.out << outcome.err;

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

pid_t ended_process() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

// Where a process runs: its boot, machine and process id namespace, the fields of
// a work folder's mark after the process id and its start time.
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
    std::string mark(pid_t pid, const std::string& start) const {
        return "quillet-work " + std::to_string(pid) + " " + start + " " + boot + " " + machine + " " +
               pid_namespace + "\n";
    }
};

// Field 22 of /proc/PID/stat, the 20th after the command name.
std::string own_start_time() {
    const std::string stat = first_line_of("/proc/self/stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 1));
    std::string field;
    for (int i = 0; i < 20; ++i) fields >> field;
    return field;
}

class WorkFolders : public ::testing::Test {
protected:
    WorkFolders() { box.write("src/a.txt"); }

    // A work folder with a file in it, and its mark unless that is empty.
    void work_folder(const std::string& name, const std::string& mark) const {
        box.write("tmp/" + name + "/copy.txt");
        if (!mark.empty()) box.write("tmp/" + name + ".tmp", mark);
    }

    Outcome zip() const { return box.run({box.text("src") + "\\*.*", box.text("dst"), "/Z"}, RunOptions().at(kClock)); }

    Sandbox box;
};

// A Windows run's mark names a Windows process; these marks name POSIX ones. Both
// the work folders in the temporary folder and the staging folders beside the
// archive are cleaned up so.
TEST_F(WorkFolders, OnlyThoseOfThisUsersRunsThatNoLongerLiveHereAreRemoved) {
    if (under_wine()) GTEST_SKIP() << "the marks here are a POSIX run's; the Windows build's name Windows processes";
    const Place here;
    Place earlier_boot = here;
    earlier_boot.boot = "00000000-0000-0000-0000-000000000000";
    Place another_machine = earlier_boot;
    another_machine.machine = "0123456789abcdef0123456789abcdef";
    Place another_namespace = earlier_boot;
    another_namespace.pid_namespace = "1:1";
    const std::string started = own_start_time();
    work_folder("qtk1", here.mark(ended_process(), "1"));
    work_folder("qtk2", here.mark(getpid(), started));
    work_folder("qtk3", here.mark(getpid(), started + "0"));  // the id was handed out again
    work_folder("qtk4", earlier_boot.mark(getpid(), started));
    work_folder("qtk5", here.mark(ended_process(), "1"));
    ASSERT_EQ(lchown(box.native("tmp/qtk5").c_str(), kAnotherUser, kAnotherUser), 0);
    ASSERT_EQ(lchown(box.native("tmp/qtk5.tmp").c_str(), kAnotherUser, kAnotherUser), 0);
    work_folder("qtk6", "");
    work_folder("qtk7", "not a mark");
    box.write("elsewhere/keep.txt");
    fs::create_directory_symlink(box.native("elsewhere"), box.native("tmp/qtk8"));
    box.write("tmp/qtk8.tmp", here.mark(ended_process(), "1"));
    // Runs whose ids cannot be looked up here, and a mark without the fields that say where it was made.
    work_folder("qtk9", another_machine.mark(ended_process(), "1"));
    work_folder("qtkA", another_namespace.mark(ended_process(), "1"));
    work_folder("qtkB", "quillet-work " + std::to_string(ended_process()) + " 1 " + here.boot + "\n");
    box.write("dst/src/qzs1/archive.zip", "half written");
    box.write("dst/src/qzs1.tmp", here.mark(ended_process(), "1"));
    box.write("dst/src/qzs2/archive.zip", "being written");
    box.write("dst/src/qzs2.tmp", here.mark(getpid(), started));

    const Outcome outcome = zip();
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_EQ(names_in(box.native("tmp")),
              (Lines{"qtk2", "qtk2.tmp", "qtk5", "qtk5.tmp", "qtk6", "qtk7", "qtk7.tmp", "qtk8", "qtk8.tmp", "qtk9",
                     "qtk9.tmp", "qtkA", "qtkA.tmp", "qtkB", "qtkB.tmp"}));
    EXPECT_TRUE(box.exists("tmp/qtk2/copy.txt"));
    EXPECT_TRUE(box.exists("elsewhere/keep.txt"));
    EXPECT_EQ(names_in(box.native("dst/src")), (Lines{"2010-09-30   09.00.zip", "qzs2", "qzs2.tmp"}));
}

// The temporary folder in memory, where making 65535 folders is quick.
TEST_F(WorkFolders, ANameThatSomeoneElseHasIsNeitherUsedNorDeleted) {
    if (!fs::is_directory("/dev/shm")) GTEST_SKIP() << "no /dev/shm";
    if (under_wine()) GTEST_SKIP() << "Wine shows Windows no other user's folders: every one is this user's";
    const struct InMemory {
        fs::path path = "/dev/shm/quillet-e2e-" + std::to_string(getpid());
        InMemory() { fs::create_directory(path); }
        ~InMemory() {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } memory;
    fs::remove(box.native("tmp"));
    fs::create_directory_symlink(memory.path, box.native("tmp"));
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

// A trash that is a file takes nothing.
TEST_F(WorkFolders, AnOldArchiveThatTheTrashCannotTakeIsNeitherOverwrittenNorAddedTo) {
    box.write("home/.local/share/Trash", "not a folder");
    ASSERT_EQ(zip().status, 0);
    const std::string archive = "dst/src/2010-09-30   09.00.zip";
    const std::string first = box.read(archive);
    ASSERT_FALSE(first.empty());

    box.write("src/b.txt");
    const Outcome again = zip();
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(lines_of(again.out), Lines{"Failed to cleanup " + box.text(archive)});
    EXPECT_EQ(box.read(archive), first);
    EXPECT_EQ(box.tree("dst"), (Lines{"src/", "src/2010-09-30   09.00.zip"}));
    EXPECT_EQ(box.tree("tmp"), Lines{});
}

}  // namespace
}  // namespace quillet::end_to_end
