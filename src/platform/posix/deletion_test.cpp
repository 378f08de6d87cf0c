#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "platform/posix/file_test_support.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;

const testing::PrivateHome& home = testing::PrivateHome::get();

TEST(MoveToTrash, TakesFilesAndWholeFolders) {
    testing::ScratchFolder folder;
    folder.write("lonely.txt", "file content");
    folder.write("tree/sub/deep.txt", "deep content");

    ASSERT_TRUE(move_to_trash(folder.text("lonely.txt")));
    ASSERT_TRUE(move_to_trash(folder.text("tree")));

    EXPECT_FALSE(folder.exists("lonely.txt"));
    EXPECT_FALSE(folder.exists("tree"));
    EXPECT_TRUE(fs::exists(home.trashed("lonely.txt")));
    EXPECT_TRUE(fs::exists(home.trashed("tree") / "sub" / "deep.txt"));
}

TEST(MoveToTrash, FailsForWhatIsNotThere) {
    testing::ScratchFolder folder;
    EXPECT_FALSE(move_to_trash(folder.text("missing")));
    EXPECT_EQ(last_error(), ENOENT);
}

TEST(MoveToTrash, LeavesTheItemWhereTheTrashCannotTakeIt) {
    testing::ScratchFolder folder;
    folder.write("keep me", "precious");
    {
        testing::BrokenTrash broken;
        EXPECT_FALSE(move_to_trash(folder.text("keep me")));
    }
    EXPECT_EQ(folder.read("keep me"), "precious");
}

TEST(DeletePermanently, RemovesTreesButNothingTheirLinksPointTo) {
    testing::ScratchFolder folder;
    folder.write("tree/a.txt", "a");
    folder.write("tree/sub/deeper/b.txt", "b");
    fs::create_directories(folder.native("tree/empty"));
    folder.write("outside/kept.txt", "kept");
    fs::create_directory_symlink(folder.native("outside"), folder.native("tree/sub/link to folder"));
    fs::create_symlink(folder.native("outside/kept.txt"), folder.native("tree/link to file"));

    ASSERT_TRUE(delete_permanently(folder.text("tree")));

    EXPECT_FALSE(folder.exists("tree"));
    EXPECT_EQ(folder.read("outside/kept.txt"), "kept");
}

TEST(DeletePermanently, RemovesFilesAndLinksThemselves) {
    testing::ScratchFolder folder;
    folder.write("file", "x");
    fs::create_directories(folder.native("target"));
    fs::create_directory_symlink(folder.native("target"), folder.native("link"));

    EXPECT_TRUE(delete_permanently(folder.text("file")));
    EXPECT_TRUE(delete_permanently(folder.text("link")));
    EXPECT_FALSE(folder.exists("file"));
    EXPECT_FALSE(folder.exists("link"));
    EXPECT_TRUE(folder.exists("target"));

    EXPECT_FALSE(delete_permanently(folder.text("missing")));
    EXPECT_EQ(last_error(), ENOENT);
}

}  // namespace
}  // namespace quillet::platform
