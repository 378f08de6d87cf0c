#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "platform/posix/file_test_support.h"
#include "text/vb_errors.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;

// The language's error number a statement raised; 0 when it raised none.
template <typename Statement>
std::int32_t raised(Statement statement) {
    try {
        statement();
    } catch (const Error& error) {
        return error.number();
    }
    return 0;
}

class FileStatements : public ::testing::Test {
protected:
    void SetUp() override {
        folder_.write("file", "content");
        fs::create_directory(folder_.native("folder"));
    }
    // Path text of a place in the folder, written with backslashes.
    std::string text(const std::string& inside) const { return folder_.text() + "\\" + inside; }

    testing::ScratchFolder folder_;
};

TEST_F(FileStatements, MakeFolder) {
    EXPECT_EQ(raised([&] { make_folder(text("new")); }), 0);
    EXPECT_TRUE(fs::is_directory(folder_.native("new")));

    EXPECT_EQ(raised([&] { make_folder(text("folder")); }), vb::kPathFileAccessError);
    EXPECT_EQ(raised([&] { make_folder(text("file")); }), vb::kPathFileAccessError);
    EXPECT_EQ(raised([&] { make_folder(text("missing\\new")); }), vb::kPathNotFound);
    EXPECT_EQ(raised([&] { make_folder(text("file\\new")); }), vb::kPathNotFound);  // a file where a folder must be
    EXPECT_EQ(raised([&] { make_folder(text(std::string(300, 'n'))); }), vb::kPathFileAccessError);
    EXPECT_EQ(raised([&] { make_folder("Q:\\unmapped"); }), vb::kPathNotFound);
}

TEST_F(FileStatements, RemoveFile) {
    EXPECT_EQ(raised([&] { remove_file(text("file")); }), 0);
    EXPECT_FALSE(folder_.exists("file"));

    EXPECT_EQ(raised([&] { remove_file(text("file")); }), vb::kFileNotFound);
    EXPECT_EQ(raised([&] { remove_file(text("folder")); }), vb::kFileNotFound);
    EXPECT_TRUE(folder_.exists("folder"));
}

TEST_F(FileStatements, RenameFileNeverReplaces) {
    folder_.write("other", "other content");
    EXPECT_EQ(raised([&] { rename_file(text("file"), text("other")); }), vb::kFileAlreadyExists);
    EXPECT_EQ(folder_.read("file"), "content");
    EXPECT_EQ(folder_.read("other"), "other content");

    EXPECT_EQ(raised([&] { rename_file(text("file"), text("folder")); }), vb::kFileAlreadyExists);
    EXPECT_EQ(folder_.read("file"), "content");
}

TEST_F(FileStatements, RenameFile) {
    EXPECT_EQ(raised([&] { rename_file(text("file"), text("file")); }), 0);  // as itself: nothing happens
    EXPECT_EQ(raised([&] { rename_file(text("file"), text("folder\\moved")); }), 0);
    EXPECT_EQ(folder_.read("folder/moved"), "content");
    EXPECT_FALSE(folder_.exists("file"));

    EXPECT_EQ(raised([&] { rename_file(text("missing"), text("x")); }), vb::kFileNotFound);
    EXPECT_EQ(raised([&] { rename_file(text("missing"), text("missing")); }), vb::kFileNotFound);
    EXPECT_EQ(raised([&] { rename_file(text("folder\\moved"), text("no folder\\x")); }), vb::kPathNotFound);
}

}  // namespace
}  // namespace quillet::platform
