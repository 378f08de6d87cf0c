#include "files/file_deletion.h"

#include <gtest/gtest.h>

#include "support/recording_user_side.h"
#include "support/files.h"

namespace quillet::lib_basFile {
namespace {

// The trash is the tests' own, and one they can break.
[[maybe_unused]] const testing::PrivateHome& home = testing::PrivateHome::get();

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

// Never deleted for good when it was meant for the trash.
TEST(KillFile, WhatTheTrashCannotTakeStays) {
    testing::RecordingUserSide user;
    testing::ScratchFolder disk;
    disk.write("precious.txt", "keep");
    {
        testing::BrokenTrash broken;
        EXPECT_FALSE(lib_KillFile(user, disk.text("precious.txt"), false));
    }
    EXPECT_EQ(disk.read("precious.txt"), "keep");
    EXPECT_FALSE(lib_FileInUse(disk.text("missing.txt")));
}

}  // namespace
}  // namespace quillet::lib_basFile
