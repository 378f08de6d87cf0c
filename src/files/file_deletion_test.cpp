#include "files/file_deletion.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/recording_user_side.h"
#include "support/files.h"
#include "support/links.h"

namespace quillet::lib_basFile {
namespace {

namespace fs = std::filesystem;

const testing::PrivateHome& home = testing::PrivateHome::get();

TEST(Deltree, RefusesSharesBarePathsAndDriveRoots) {
    testing::RecordingUserSide user;
    for (const char* folder : {"\\\\server\\share\\old", "Data", " Z:\\ "}) {
        EXPECT_FALSE(lib_Deltree(user, folder, false, 7, true)) << folder;
    }
    using Box = std::pair<std::string, std::int16_t>;
    EXPECT_EQ(user.boxes, (std::vector<Box>{{"UNCs are not yet supported", 7},
                                            {"Directory Data invalid (either no drive or dir specified)", 7},
                                            {"Directory  Z:\\  invalid (drive root not allowed)", 7}}));
}

TEST(Deltree, SendsTheTreeToTheTrashOrDeletesItForGoodWithoutFollowingLinks) {
    testing::RecordingUserSide user;
    testing::ScratchFolder disk;
    disk.write("deltree snapshot/sub/deeper.txt", "1");
    EXPECT_TRUE(lib_Deltree(user, disk.text("deltree snapshot") + "\\", false, 0, false));
    EXPECT_FALSE(disk.exists("deltree snapshot"));
    EXPECT_TRUE(fs::exists(home.trashed("deltree snapshot") / "sub" / "deeper.txt"));

    disk.write("work/sub/b.txt", "2");
    disk.write("outside/kept.txt", "kept");
    if (!testing::make_link(disk.native("outside"), disk.native("work/sub/link"), true)) {
        GTEST_SKIP() << testing::kNoLinksHere;
    }
    EXPECT_TRUE(lib_Deltree(user, disk.text("work"), true, 0, true));  // contents only
    EXPECT_TRUE(fs::is_empty(disk.native("work")));
    EXPECT_TRUE(lib_Deltree(user, disk.text("work"), false, 0, true));
    EXPECT_FALSE(disk.exists("work"));
    EXPECT_FALSE(fs::exists(home.trashed("work")));
    EXPECT_EQ(disk.read("outside/kept.txt"), "kept");
}

TEST(KillFile, ToTheTrashOrForGood) {
    testing::RecordingUserSide user;
    testing::ScratchFolder disk;
    disk.write("kill to trash.txt", "1");
    disk.write("kill for good.txt", "2");

    EXPECT_TRUE(lib_KillFile(user, disk.text("kill to trash.txt"), false));
    EXPECT_TRUE(lib_KillFile(user, disk.text("kill for good.txt"), true));
    EXPECT_TRUE(lib_KillFile(user, disk.text("missing.txt"), false));

    EXPECT_FALSE(disk.exists("kill to trash.txt"));
    EXPECT_FALSE(disk.exists("kill for good.txt"));
    EXPECT_TRUE(fs::exists(home.trashed("kill to trash.txt")));
    EXPECT_FALSE(fs::exists(home.trashed("kill for good.txt")));

    // Never deleted for good when it was meant for the trash.
    disk.write("precious.txt", "keep");
    {
        testing::BrokenTrash broken;
        EXPECT_FALSE(lib_KillFile(user, disk.text("precious.txt"), false));
    }
    EXPECT_EQ(disk.read("precious.txt"), "keep");
    EXPECT_FALSE(lib_FileInUse(disk.text("precious.txt")));
    EXPECT_FALSE(lib_FileInUse(disk.text("missing.txt")));
}

}  // namespace
}  // namespace quillet::lib_basFile
