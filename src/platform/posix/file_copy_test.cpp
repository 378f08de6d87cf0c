#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "platform/posix/file_test_support.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;

// Before GIO's first use: the trash is the tests' own.
const testing::PrivateHome& home = testing::PrivateHome::get();

class FileCopy : public ::testing::Test {
protected:
    testing::ScratchFolder folder_;
};

TEST_F(FileCopy, CopiesContentPermissionBitsAndTimes) {
    // Larger than one read buffer, so that a copy in pieces would show.
    std::string content((3u << 20) + 12345, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>((i * 7919) % 251);
    folder_.write("source.bin", content);
    fs::permissions(folder_.native("source.bin"), fs::perms(0764));
    fs::create_symlink(folder_.native("source.bin"), folder_.native("link"));

    const FileTimes before = *file_times(folder_.text("source.bin"));

    ASSERT_EQ(copy_file(folder_.text("link"), folder_.text("target.bin")), CopyResult::copied);

    // The times as they stood before the copy, which reading the source may move.
    const FileTimes copied = *file_times(folder_.text("target.bin"));
    EXPECT_EQ(copied.last_write, before.last_write);
    EXPECT_EQ(copied.last_access, before.last_access);
    EXPECT_EQ(folder_.read("target.bin"), content);
    // Bits the umask would take from a new file are set all the same.
    EXPECT_EQ(fs::symlink_status(folder_.native("target.bin")).permissions(), fs::perms(0764));

    // Pseudo-files report a size of 0 and are read the ordinary way.
    ASSERT_EQ(copy_file("Z:\\proc\\self\\status", folder_.text("status")), CopyResult::copied);
    EXPECT_NE(folder_.read("status").find("Name:"), std::string::npos);
}

TEST_F(FileCopy, FailuresLeaveNothingBehindAndReplaceNothing) {
    folder_.write("source", "new");
    folder_.write("target", "old");
    fs::create_directory(folder_.native("folder"));

    EXPECT_EQ(copy_file(folder_.text("source"), folder_.text("target")), CopyResult::target_exists);
    EXPECT_EQ(folder_.read("target"), "old");
    EXPECT_EQ(copy_file(folder_.text("missing"), folder_.text("target")), CopyResult::source_failed);
    EXPECT_EQ(last_error(), ENOENT);
    EXPECT_EQ(folder_.read("target"), "old");

    EXPECT_EQ(copy_file(folder_.text("folder"), folder_.text("t1")), CopyResult::source_failed);
    EXPECT_EQ(last_error(), EISDIR);
    EXPECT_EQ(copy_file(folder_.text("source"), folder_.text("source") + "\\t2"), CopyResult::failed);
    EXPECT_FALSE(folder_.exists("t1"));
}

// Copies keep the folder they write into open; a path must still lead to the
// folder that stands at it now.
TEST_F(FileCopy, CopiesGoToTheFolderNowAtTheirPath) {
    folder_.write("source", "data");
    const std::string source = folder_.text("source");
    const auto copy_into_a = [&](const std::string& name) {
        return copy_file(source, folder_.text("a/" + name)) == CopyResult::copied;
    };
    make_folder(folder_.text("a"));

    ASSERT_TRUE(copy_into_a("1"));
    rename_file(folder_.text("a/1"), folder_.text("a/one"));
    rename_file(folder_.text("a"), folder_.text("renamed"));
    make_folder(folder_.text("a"));
    ASSERT_TRUE(copy_into_a("2"));

    ASSERT_TRUE(move_to_trash(folder_.text("a")));
    make_folder(folder_.text("a"));
    ASSERT_TRUE(copy_into_a("3"));

    // Deleted and made again behind the program's back.
    fs::remove_all(folder_.native("a"));
    fs::create_directory(folder_.native("a"));
    ASSERT_TRUE(copy_into_a("4"));
    EXPECT_EQ(folder_.read("a/4"), "data");
    fs::remove_all(folder_.native("a"));
    fs::create_directory(folder_.native("a"));
    folder_.write("a/5", "data");
    rename_file(folder_.text("a/5"), folder_.text("a/five"));

    EXPECT_TRUE(folder_.exists("renamed/one"));
    EXPECT_FALSE(folder_.exists("renamed/2"));
    EXPECT_TRUE(fs::exists(home.trashed("a") / "2"));
    EXPECT_TRUE(folder_.exists("a/five"));
    EXPECT_FALSE(folder_.exists("a/5"));
    EXPECT_FALSE(folder_.exists("a/3"));
}

}  // namespace
}  // namespace quillet::platform
