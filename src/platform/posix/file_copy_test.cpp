#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/files.h"
#include "support/unit_checks.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;

// Before GIO's first use: the trash is the tests' own.
const testing::PrivateHome& home = testing::PrivateHome::get();

class FileCopy : public ::testing::Test {
protected:
    std::vector<std::string> names_in(const std::string& inside) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_.native(inside))) names.push_back(entry.path().filename());
        return names;
    }

    testing::ScratchFolder folder_;
};

// Where the file system makes files without a name, a copy has none until its
// bytes are complete: a run cut short leaves no part of a file behind.
TEST_F(FileCopy, CopiesContentAndPermissionBitsThroughALinkNamedOnlyWhenComplete) {
    // Larger than one read buffer, so that a copy in pieces would show.
    std::string content((3u << 20) + 12345, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>((i * 7919) % 251);
    folder_.write("source.bin", content);
    fs::permissions(folder_.native("source.bin"), fs::perms(0764));
    fs::create_symlink(folder_.native("source.bin"), folder_.native("link"));
    fs::create_directory(folder_.native("to"));
    const int probe = ::open(folder_.native("to").c_str(), O_TMPFILE | O_WRONLY, 0600);
    if (probe >= 0) ::close(probe);
    std::vector<std::string> seen_while_copying{"no progress heard"};
    const CopyProgress look = [&](std::uint64_t, std::uint64_t) { seen_while_copying = names_in("to"); };
    CopyFacts facts;

    ASSERT_EQ(copy_file(folder_.text("link"), folder_.text("to/target.bin"), look, &facts), CopyResult::copied);
    if (probe >= 0) {
        EXPECT_EQ(seen_while_copying, std::vector<std::string>{});
    }
    EXPECT_FALSE(facts.source_changed);
    EXPECT_EQ(folder_.read("to/target.bin"), content);
    // Bits the umask would take from a new file are set all the same.
    EXPECT_EQ(fs::symlink_status(folder_.native("to/target.bin")).permissions(), fs::perms(0764));
    // A source written to while it is copied is told apart.
    const auto write_source = [&](std::uint64_t, std::uint64_t) { folder_.write("source.bin", "changed"); };
    ASSERT_EQ(copy_file(folder_.text("link"), folder_.text("to/changed.bin"), write_source, &facts), CopyResult::copied);
    EXPECT_TRUE(facts.source_changed);
}

// What the kernel refuses a child process from the point it is asked to.
enum class Refused {
    threads,        // as over the limit on the processes a user or a container may run
    unnamed_files,  // as a file system that cannot make a file without a name does
    reads,          // as a disk that fails under the source does
};

void refuse_either(std::vector<sock_filter>& filter, unsigned first, unsigned second, unsigned error) {
    filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, first, 1, 0));
    filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, second, 0, 1));
    filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | error));
}

void refuse(Refused what) {
    std::vector<sock_filter> filter{BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr))};
    if (what == Refused::threads) {
        refuse_either(filter, SYS_clone, SYS_clone3, EAGAIN);
    } else if (what == Refused::reads) {
        refuse_either(filter, SYS_read, SYS_copy_file_range, EIO);
    } else {
        filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat, 0, 3));
        filter.push_back(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args) + 2 * sizeof(std::uint64_t)));
        filter.push_back(BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, __O_TMPFILE, 0, 1));
        filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP));
    }
    filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    const sock_fprog program{static_cast<unsigned short>(filter.size()), filter.data()};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
        ::_exit(2);
    }
}

// Ends the child process with 0 when the check holds; _exit, for a leak check at
// the exit would want a thread of its own.
[[noreturn]] void end_child(bool holds) { ::_exit(holds ? 0 : 1); }

// A missing source is CopyFile.AFailedCopyLeavesTheOldTargetAndNoTemporary's and the end-to-end SourceFaults tests'.
TEST_F(FileCopy, FailuresLeaveNothingBehindAndReplaceNothing) {
    // Opening a FIFO for reading would wait for a writer.
    ASSERT_EQ(::mkfifo(folder_.native("fifo").c_str(), 0644), 0);
    EXPECT_EQ(copy_file(folder_.text("fifo"), folder_.text("t1")), CopyResult::not_regular);
    // The kernel's own files say they are regular, and some answer reads without end.
    EXPECT_EQ(copy_file("Z:\\proc\\self\\pagemap", folder_.text("t1")), CopyResult::not_regular);
    // Reading fails once the copy has been made.
    folder_.write("source", "bytes");
    const auto reading_fails = [&] {
        refuse(Refused::reads);
        end_child(copy_file(folder_.text("source"), folder_.text("t1")) == CopyResult::source_failed &&
                  last_error() == EIO);
    };
    EXPECT_EXIT(reading_fails(), ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(folder_.exists("t1"));
}

// A file with holes keeps them: a copy of a sparse disk image takes the room of
// its data, not of its size.
TEST_F(FileCopy, HolesStayHoles) {
    constexpr std::uint64_t kSize = std::uint64_t{64} << 20;
    {
        std::ofstream out(folder_.native("sparse"), std::ios::binary);
        out << "head";
        out.seekp(48 << 20);
        out << "tail";
    }
    fs::resize_file(folder_.native("sparse"), kSize);
    struct stat source {};
    ASSERT_EQ(::stat(folder_.native("sparse").c_str(), &source), 0);
    if (static_cast<std::uint64_t>(source.st_blocks) * 512 >= kSize) GTEST_SKIP() << "this file system has no holes";

    // Beside the source, and on another file system, where the kernel does not copy.
    const testing::ScratchFolder memory("holes", fs::is_directory("/dev/shm") ? "/dev/shm" : folder_.native());
    for (const std::string& target : {folder_.text("copy"), *path_text(memory.native("copy").string())}) {
        ASSERT_EQ(copy_file(folder_.text("sparse"), target), CopyResult::copied) << target;
        struct stat copy {};
        ASSERT_EQ(::stat(native_path(target)->c_str(), &copy), 0);
        EXPECT_EQ(testing::file_bytes(*native_path(target)), folder_.read("sparse")) << target;
        EXPECT_LT(copy.st_blocks * 512, 1 << 20) << target;
    }
}

// A large file is copied on a thread of its own while the progress routine is
// told; where no thread can be started, it is still copied, on the calling thread.
TEST_F(FileCopy, ALargeFileIsCopiedWhenNoThreadCanBeStarted) {
    constexpr std::uint64_t kSize = std::uint64_t{16} << 20;
    folder_.write("source", "");
    fs::resize_file(folder_.native("source"), kSize);
    const auto copy_told = [&] {
        refuse(Refused::threads);
        std::uint64_t told = 0;
        const CopyProgress tell = [&](std::uint64_t copied, std::uint64_t) { told = copied; };
        end_child(copy_file(folder_.text("source"), folder_.text("copy"), tell) == CopyResult::copied && told == kSize);
    };
    EXPECT_EXIT(copy_told(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(fs::file_size(folder_.native("copy")), kSize);
}

// A progress routine that throws stops a copy on its own thread, and the copy
// leaves nothing behind: neither a file without a name nor one that had to claim
// a name first. Nor does a complete copy that is dropped before it is named.
TEST_F(FileCopy, ACopyCutShortLeavesNothingBehind) {
    folder_.write("source", "");
    fs::resize_file(folder_.native("source"), std::uintmax_t{64} << 20);
    for (const bool unnamed_files : {true, false}) {
        SCOPED_TRACE(unnamed_files ? "without a name" : "named first");
        fs::create_directory(folder_.native("to"));
        const auto cut_short_and_dropped = [&] {
            if (!unnamed_files) refuse(Refused::unnamed_files);
            const CopyProgress killed = [](std::uint64_t, std::uint64_t) { throw std::runtime_error("killed"); };
            bool stopped = false;
            try {
                copy_file(folder_.text("source"), folder_.text("to/cut"), killed);
            } catch (const std::runtime_error&) {
                stopped = true;
            }
            const auto made_and_dropped = [&] {
                const std::string target = folder_.text("to/dropped");
                MadeCopy made;
                return make_copy(folder_.text("source"), testing::copy_names(target, {target + ".~01"}), {}, made) ==
                       CopyResult::copied;
            };
            end_child(stopped && made_and_dropped());
        };
        EXPECT_EXIT(cut_short_and_dropped(), ::testing::ExitedWithCode(0), "");
        EXPECT_EQ(names_in("to"), std::vector<std::string>{});
        fs::remove_all(folder_.native("to"));
    }
}

int descriptors_on(const fs::path& folder) {
    std::error_code unreadable;
    return static_cast<int>(std::ranges::count_if(fs::directory_iterator("/proc/self/fd"), [&](const auto& fd) {
        return fs::read_symlink(fd.path(), unreadable) == fs::canonical(folder);
    }));
}

// Copies made during a walk keep the folder they write into open; a path must
// still lead to the folder that stands at it now, and the walk's end lets it go.
TEST_F(FileCopy, CopiesGoToTheFolderNowAtTheirPath) {
    folder_.write("source", "data");
    const auto copy_into_a = [&](const std::string& name) {
        return copy_file(folder_.text("source"), folder_.text("a/" + name)) == CopyResult::copied;
    };
    make_folder(folder_.text("a"));
    auto walk = list_folder(folder_.text(), "*");

    ASSERT_TRUE(copy_into_a("1"));
    rename_file(folder_.text("a/1"), folder_.text("a/one"));
    rename_file(folder_.text("a"), folder_.text("renamed"));
    make_folder(folder_.text("a"));
    ASSERT_TRUE(copy_into_a("2"));

    ASSERT_TRUE(move_to_trash(folder_.text("a")));
    make_folder(folder_.text("a"));
    ASSERT_TRUE(copy_into_a("3"));
    EXPECT_TRUE(folder_.exists("a/3"));  // not in the folder in the trash

    // Deleted and made again behind the program's back.
    fs::remove_all(folder_.native("a"));
    fs::create_directory(folder_.native("a"));
    ASSERT_TRUE(copy_into_a("4"));
    EXPECT_EQ(folder_.read("a/4"), "data");
    fs::remove_all(folder_.native("a"));
    fs::create_directory(folder_.native("a"));
    folder_.write("a/5", "data");
    rename_file(folder_.text("a/5"), folder_.text("a/five"));

    EXPECT_EQ(names_in("renamed"), std::vector<std::string>{"one"});
    EXPECT_TRUE(fs::exists(home.trashed("a") / "2"));
    EXPECT_EQ(names_in("a"), std::vector<std::string>{"five"});

    ASSERT_TRUE(copy_into_a("6"));
    EXPECT_EQ(descriptors_on(folder_.native("a")), 1);
    walk.reset();
    EXPECT_EQ(descriptors_on(folder_.native("a")), 0);
}

}  // namespace
}  // namespace quillet::platform
