#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "platform/posix/file_test_support.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;

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
    EXPECT_EQ(copy_file(folder_.text("missing"), folder_.text("target")), CopyResult::failed);
    EXPECT_EQ(last_error(), ENOENT);
    EXPECT_EQ(folder_.read("target"), "old");

    EXPECT_EQ(copy_file(folder_.text("folder"), folder_.text("t1")), CopyResult::failed);
    EXPECT_EQ(last_error(), EISDIR);
    EXPECT_EQ(copy_file(folder_.text("source"), folder_.text("source") + "\\t2"), CopyResult::failed);
    EXPECT_FALSE(folder_.exists("t1"));
}

}  // namespace
}  // namespace quillet::platform
