#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "platform/posix/file_test_support.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;

std::string patterned_content(std::size_t size) {
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i) content[i] = static_cast<char>((i * 7919) % 251);
    return content;
}

class FileCopy : public ::testing::Test {
protected:
    testing::ScratchFolder folder_;
};

TEST_F(FileCopy, CopiesContentAndPermissionBits) {
    // Larger than one read buffer, so that a copy in pieces would show.
    const std::string content = patterned_content((3u << 20) + 12345);
    folder_.write("source.bin", content);
    fs::permissions(folder_.native("source.bin"), fs::perms(0754));

    ASSERT_TRUE(copy_file(folder_.text("source.bin"), folder_.text("target.bin")));

    EXPECT_EQ(folder_.read("target.bin"), content);
    EXPECT_EQ(fs::status(folder_.native("target.bin")).permissions(), fs::perms(0754));
}

TEST_F(FileCopy, CopiesEmptyFilesAndFilesThatReportNoSize) {
    folder_.write("empty", "");
    ASSERT_TRUE(copy_file(folder_.text("empty"), folder_.text("empty copy")));
    EXPECT_EQ(folder_.read("empty copy"), "");

    // Pseudo-files report a size of 0 and must be read the ordinary way.
    ASSERT_TRUE(copy_file("Z:\\proc\\self\\status", folder_.text("status")));
    EXPECT_NE(folder_.read("status").find("Name:"), std::string::npos);
}

TEST_F(FileCopy, ToldProgressUpToTheWholeSize) {
    const std::string content = patterned_content(100000);
    folder_.write("source", content);
    std::uint64_t last_copied = 0;
    std::uint64_t total = 0;
    ASSERT_TRUE(copy_file(folder_.text("source"), folder_.text("target"), [&](std::uint64_t copied, std::uint64_t size) {
        last_copied = copied;
        total = size;
    }));
    EXPECT_EQ(last_copied, content.size());
    EXPECT_EQ(total, content.size());
}

TEST_F(FileCopy, NeverReplacesAnExistingTarget) {
    folder_.write("source", "new");
    folder_.write("target", "old");
    EXPECT_FALSE(copy_file(folder_.text("source"), folder_.text("target")));
    EXPECT_EQ(last_error(), EEXIST);
    EXPECT_EQ(folder_.read("target"), "old");
}

TEST_F(FileCopy, FailuresLeaveNoTargetBehind) {
    folder_.write("source", "content");
    fs::create_directory(folder_.native("folder"));

    EXPECT_FALSE(copy_file(folder_.text("missing"), folder_.text("t1")));
    EXPECT_EQ(last_error(), ENOENT);
    EXPECT_FALSE(copy_file(folder_.text("folder"), folder_.text("t2")));
    EXPECT_EQ(last_error(), EISDIR);
    EXPECT_FALSE(copy_file(folder_.text("source"), folder_.text() + "\\no such folder\\t3"));
    EXPECT_FALSE(copy_file(folder_.text("source"), folder_.text("source") + "\\t4"));  // a file where a folder must be
    EXPECT_FALSE(copy_file(folder_.text("source"), folder_.text(std::string(300, 'n'))));

    for (const char* name : {"t1", "t2", "no such folder", "source/t4"}) EXPECT_FALSE(folder_.exists(name)) << name;
}

TEST_F(FileCopy, FollowsLinksToFiles) {
    folder_.write("real", "through the link");
    fs::create_symlink(folder_.native("real"), folder_.native("link"));
    ASSERT_TRUE(copy_file(folder_.text("link"), folder_.text("copy")));
    EXPECT_FALSE(fs::is_symlink(folder_.native("copy")));
    EXPECT_EQ(folder_.read("copy"), "through the link");
}

}  // namespace
}  // namespace quillet::platform
