#include "files/file_deletion.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/posix/file_test_support.h"

namespace quillet::lib_basFile {
namespace {

const testing::PrivateHome& home = testing::PrivateHome::get();

TEST(KillFile, ToTheTrashOrForGood) {
    testing::ScratchFolder disk;
    disk.write("kill to trash.txt", "1");
    disk.write("kill for good.txt", "2");

    EXPECT_TRUE(lib_KillFile(disk.text("kill to trash.txt"), false));
    EXPECT_TRUE(lib_KillFile(disk.text("kill for good.txt"), true));
    EXPECT_TRUE(lib_KillFile(disk.text("missing.txt"), false));

    EXPECT_FALSE(disk.exists("kill to trash.txt"));
    EXPECT_FALSE(disk.exists("kill for good.txt"));
    EXPECT_TRUE(std::filesystem::exists(home.trashed("kill to trash.txt")));
    EXPECT_FALSE(std::filesystem::exists(home.trashed("kill for good.txt")));

    // Never deleted for good when it was meant for the trash.
    disk.write("precious.txt", "keep");
    {
        testing::BrokenTrash broken;
        EXPECT_FALSE(lib_KillFile(disk.text("precious.txt"), false));
    }
    EXPECT_EQ(disk.read("precious.txt"), "keep");
    EXPECT_FALSE(lib_FileInUse(disk.text("precious.txt")));
    EXPECT_FALSE(lib_FileInUse(disk.text("missing.txt")));
}

}  // namespace
}  // namespace quillet::lib_basFile
