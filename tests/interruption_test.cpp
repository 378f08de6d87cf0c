// A run that is interrupted, or killed outright, leaves nothing half made: no
// plain copy in the temporary folder, no partial archive or temporary copy beside
// the target. Work folders are the run's own, and an older archive that the trash
// cannot take survives.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <future>
#include <random>
#include <sstream>
#include <thread>

#include "sandbox.h"
#include "support/databases.h"

namespace quillet::end_to_end {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kAnotherUser = 65534;
// Above the largest process id Linux hands out (PID_MAX_LIMIT): a process that has ended.
constexpr pid_t kEndedProcess = 4194305;
constexpr const char* kClock = "2010-09-30 09:00:00";

// Bytes that do not compress, so that zipping them takes a while: a random
// block longer than deflate's window, written again and again.
void write_big_file(const Sandbox& box, const std::string& file, std::size_t megabytes, std::uint64_t seed) {
    std::independent_bits_engine<std::mt19937_64, 8, unsigned char> random(seed);
    std::string block(std::size_t{1} << 20, '\0');  // 1 MiB
    std::generate(block.begin(), block.end(), std::ref(random));
    std::ofstream out(box.native(file), std::ios::binary);
    for (std::size_t i = 0; i < megabytes; ++i) out << block;
}

// A file under its final name in a snapshot folder below: a finished copy.
bool holds_finished_copy(const Sandbox& box, const std::string& snapshot_parent) {
    for (const std::string& snapshot : box.names(snapshot_parent)) {
        for (const std::string& name : box.names(snapshot_parent + "/" + snapshot)) {
            if (name.find(".~") == std::string::npos) return true;
        }
    }
    return false;
}

// The archives a run on the real clock may write, started now: this minute's and
// the next one's names. The run must leave an older archive of either in place.
Lines archive_names_from_now() {
    Lines names;
    const std::time_t now = std::time(nullptr);
    for (const std::time_t at : {now, now + 60}) {
        std::tm local{};
        localtime_r(&at, &local);
        char name[32];
        std::strftime(name, sizeof name, "%Y-%m-%d   %H.%M.zip", &local);
        names.emplace_back(name);
    }
    return names;
}

// Sends a signal to the program the sandbox runs, this process's one child, once
// the condition holds, and a second one right behind it if asked; answers whether
// they were sent.
std::future<bool> signal_when(int signal, std::function<bool()> condition, int second_signal = 0) {
    return std::async(std::launch::async, [signal, second_signal, condition = std::move(condition)] {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > give_up) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::ifstream children("/proc/self/task/" + std::to_string(getpid()) + "/children");
        pid_t program = 0;
        return children >> program && kill(program, signal) == 0 &&
               (second_signal == 0 || kill(program, second_signal) == 0);
    });
}

struct InterruptedRun {
    const char* name;
    int signal;
    bool zip;
    // Where the signal waits for something to appear: the work folder (tmp), the
    // archive's folder, or a finished copy in the snapshot folder below.
    std::string watched;
    // Sent right behind the first, as systemd sends SIGHUP behind its SIGTERM: the
    // clean-up under way still finishes.
    int second_signal = 0;
};

void PrintTo(const InterruptedRun& run, std::ostream* out) { *out << run.name; }

class Interruption : public ::testing::TestWithParam<InterruptedRun> {};

// Wine turns only SIGINT into a console event for a Windows program (Ctrl+C);
// there every run is interrupted so, at the same moment.
TEST_P(Interruption, LeavesNothingHalfMadeAndEveryFinishedFileInPlace) {
    InterruptedRun run = GetParam();
    if (under_wine()) run = {run.name, SIGINT, run.zip, run.watched};
    Sandbox box;
    const std::size_t files = run.zip ? 4 : 8;
    box.make_folder("src");
    for (std::size_t i = 0; i < files; ++i) {
        write_big_file(box, "src/big" + std::to_string(i), run.zip ? 24 : 64, 0x9E3779B97F4A7C15ULL + i);
    }
    Lines older;
    if (run.zip) {
        for (const std::string& name : archive_names_from_now()) {
            box.write("dst/src/" + name, "an older archive");
            older.push_back("src/" + name);
        }
    }
    std::future<bool> signal = signal_when(run.signal, [&] {
        return run.zip ? box.names(run.watched).size() > (run.watched == "tmp" ? 0 : older.size())
                       : holds_finished_copy(box, run.watched);
    }, run.second_signal);
    Lines arguments{box.text("src") + "\\*.*", box.text("dst")};
    if (run.zip) arguments.push_back("/Z=secret");
    // The real clock: a clock faked by a program in between would take the signal.
    const Outcome outcome = box.run(arguments);
    ASSERT_TRUE(signal.get()) << "no signal was sent before the run ended with status " << outcome.status << ": "
                              << outcome.out << outcome.err;

    // Two signals pending together are taken in the system's order, not in the order sent.
    const bool ended_by_a_signal_sent =
        outcome.status == 128 + run.signal || (run.second_signal != 0 && outcome.status == 128 + run.second_signal);
    EXPECT_TRUE(ended_by_a_signal_sent) << "status " << outcome.status << ": " << outcome.out << outcome.err;
    // Said where cron's mail finds it.
    EXPECT_NE(outcome.err.find("; half-made files removed"), std::string::npos) << outcome.err;
    EXPECT_EQ(box.tree("tmp"), Lines{});
    if (run.zip) {
        // No new archive and nothing beside it: the older ones stand as they were.
        Lines expected{"src/"};
        expected.insert(expected.end(), older.begin(), older.end());
        EXPECT_EQ(box.tree("dst"), expected);
        for (const std::string& archive : older) EXPECT_EQ(box.read("dst/" + archive), "an older archive");
        return;
    }
    const Lines snapshot = box.names(run.watched);
    ASSERT_EQ(snapshot.size(), 1u);
    const std::string folder = "dst/src/" + snapshot.front();
    const Lines copied = box.tree(folder);
    EXPECT_TRUE(!copied.empty() && copied.size() < files) << ::testing::PrintToString(copied);
    for (const std::string& name : copied) {  // no temporary copy (.~) among them
        EXPECT_TRUE(box.exists("src/" + name) && box.read(folder + "/" + name) == box.read("src/" + name)) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Signals, Interruption,
    ::testing::Values(InterruptedRun{"SigtermWhileCopyingForZip", SIGTERM, true, "tmp"},
                      InterruptedRun{"SigtermAndSighupWhileWritingTheArchive", SIGTERM, true, "dst/src", SIGHUP},
                      InterruptedRun{"SigintWhileCopying", SIGINT, false, "dst/src"}),
    ::testing::PrintToStringParamName());

// A compaction under way lets go of its copy, so that the copy goes with the rest:
// some hosts cannot delete a file that is open. The side files its connection made
// beside a source in WAL mode go too.
TEST(Signals, SigintWhileCompactingLeavesNoPartOfTheCompactedCopy) {
    Sandbox box;
    box.make_folder("src");
    testing::make_database(box.native("src/DATA.mda"), 50000, "WAL");
    std::future<bool> signal = signal_when(SIGINT, [&] { return !box.tree("dst").empty(); });
    const Outcome outcome = box.run({box.text("src") + "\\*.*", box.text("dst"), "/C", "/F=5"});
    ASSERT_TRUE(signal.get()) << outcome.out << outcome.err;
    EXPECT_EQ(outcome.status, 128 + SIGINT) << outcome.out << outcome.err;
    for (const std::string& name : box.tree("dst")) EXPECT_EQ(name.find(".~"), std::string::npos) << name;
    EXPECT_EQ(box.tree("src"), std::vector<std::string>{"DATA.mda"});
}

std::string first_line_of(const std::string& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string this_machine() {
    const std::string id = first_line_of("/etc/machine-id");
    if (!id.empty()) return id;
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

std::string this_pid_namespace() {
    struct stat info {};
    stat("/proc/self/ns/pid", &info);
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
}

// Field 22 of /proc/PID/stat, the 20th after the command name.
std::string own_start_time() {
    const std::string stat = first_line_of("/proc/self/stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 1));
    std::string field;
    for (int i = 0; i < 20; ++i) fields >> field;
    return field;
}

// A work folder's mark: a process and its start time, then where it runs: its
// boot, machine and process id namespace. By default a process that has ended here.
struct Mark {
    pid_t pid = kEndedProcess;
    std::string start = "1";
    std::string boot = first_line_of("/proc/sys/kernel/random/boot_id");
    std::string machine = this_machine();
    std::string pid_namespace = this_pid_namespace();

    operator std::string() const {
        return "quillet-work " + std::to_string(pid) + " " + start + " " + boot + " " + machine + " " + pid_namespace +
               "\n";
    }
};

class WorkFolders : public ::testing::Test {
protected:
    WorkFolders() { box.write("src/a.txt"); }

    // A work or staging folder with a file in it, and its mark unless that is empty.
    void marked_folder(const std::string& folder, const std::string& mark) const {
        box.write(folder + "/copy.txt");
        if (!mark.empty()) box.write(folder + ".tmp", mark);
    }

    Outcome zip() const { return box.run({box.text("src") + "\\*.*", box.text("dst"), "/Z"}, {.clock = kClock}); }

    Sandbox box;
};

// A Windows run's mark names a Windows process; these marks name POSIX ones. Both
// the work folders in the temporary folder and the staging folders beside the
// archive are cleaned up so. An id handed out again, and a mark that is no mark,
// are the file services' tests'.
TEST_F(WorkFolders, OnlyThoseOfThisUsersRunsThatNoLongerLiveHereAreRemoved) {
    if (under_wine()) GTEST_SKIP() << "the marks here are a POSIX run's; the Windows build's name Windows processes";
    const std::string started = own_start_time();
    const std::string earlier_boot = "00000000-0000-0000-0000-000000000000";
    marked_folder("tmp/qtk1", Mark{});
    marked_folder("tmp/qtk2", Mark{getpid(), started});
    marked_folder("tmp/qtk4", Mark{getpid(), started, earlier_boot});
    marked_folder("tmp/qtk5", Mark{});
    for (const char* name : {"tmp/qtk5", "tmp/qtk5.tmp"}) {
        ASSERT_EQ(lchown(box.native(name).c_str(), kAnotherUser, kAnotherUser), 0);
    }
    marked_folder("tmp/qtk6", "");
    box.write("elsewhere/keep.txt");
    fs::create_directory_symlink(box.native("elsewhere"), box.native("tmp/qtk8"));
    box.write("tmp/qtk8.tmp", Mark{});
    // Runs whose ids cannot be looked up here, and a mark without the fields that say where it was made.
    marked_folder("tmp/qtk9", Mark{.boot = earlier_boot, .machine = "0123456789abcdef0123456789abcdef"});
    marked_folder("tmp/qtkA", Mark{.boot = earlier_boot, .pid_namespace = "1:1"});
    marked_folder("tmp/qtkB", "quillet-work " + std::to_string(kEndedProcess) + " 1 " + Mark{}.boot + "\n");
    marked_folder("dst/src/qzs1", Mark{});
    marked_folder("dst/src/qzs2", Mark{getpid(), started});

    EXPECT_EQ(zip(), (Outcome{0, "", ""}));
    EXPECT_EQ(box.names("tmp"), (Lines{"qtk2", "qtk2.tmp", "qtk5", "qtk5.tmp", "qtk6", "qtk8", "qtk8.tmp", "qtk9",
                                       "qtk9.tmp", "qtkA", "qtkA.tmp", "qtkB", "qtkB.tmp"}));
    EXPECT_TRUE(box.exists("tmp/qtk2/copy.txt"));
    EXPECT_TRUE(box.exists("elsewhere/keep.txt"));
    EXPECT_EQ(box.names("dst/src"), (Lines{"2010-09-30   09.00.zip", "qzs2", "qzs2.tmp"}));
}

// The temporary folder in memory, where making 65535 folders is quick.
TEST_F(WorkFolders, ANameThatSomeoneElseHasIsNeitherUsedNorDeleted) {
    if (!fs::is_directory("/dev/shm")) GTEST_SKIP() << "no /dev/shm";
    if (under_wine()) GTEST_SKIP() << "Wine shows Windows no other user's folders: every one is this user's";
    const testing::ScratchFolder memory("e2e", "/dev/shm");
    fs::remove(box.native("tmp"));
    fs::create_directory_symlink(memory.native(), box.native("tmp"));
    // Every name but one is another user's folder.
    constexpr unsigned kFreeNumber = 0x1234;
    for (unsigned number = 1; number <= 0xFFFF; ++number) {
        if (number == kFreeNumber) continue;
        char name[16];
        std::snprintf(name, sizeof name, "tmp/qtk%X", number);
        ASSERT_EQ(mkdir(box.native(name).c_str(), 0755), 0);
        ASSERT_EQ(lchown(box.native(name).c_str(), kAnotherUser, kAnotherUser), 0);
    }
    box.write("tmp/qtkFFFF/theirs.txt");

    EXPECT_EQ(zip(), (Outcome{0, "", ""}));
    EXPECT_TRUE(box.exists("dst/src/2010-09-30   09.00.zip"));
    EXPECT_EQ(box.names("tmp").size(), 0xFFFEu);
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
    EXPECT_EQ(zip(), (Outcome{1, "Failed to cleanup " + box.text(archive) + "\n", ""}));
    EXPECT_EQ(box.read(archive), first);
    EXPECT_EQ(box.tree("dst"), (Lines{"src/", "src/2010-09-30   09.00.zip"}));
    EXPECT_EQ(box.tree("tmp"), Lines{});
}

}  // namespace
}  // namespace quillet::end_to_end
