#include "files/file_deletion.h"

#include <gtest/gtest.h>

#include "support/recording_user_side.h"
#include "support/files.h"

namespace quillet::lib_basFile {
namespace {

// That lib_KillFile leaves what the trash cannot take is CopyFile.TargetsThatCannotTakeTheCopy's.
TEST(FileDeletion, DeltreeRefusesSharesBarePathsAndDriveRootsAndAMissingFileIsNotInUse) {
    testing::RecordingUserSide user;
    for (const char* folder : {"\\\\server\\share\\old", "Data", " Z:\\ "}) {
        EXPECT_FALSE(lib_Deltree(user, folder, false, 7, true)) << folder;
    }
    using Box = std::pair<std::string, std::int16_t>;
    EXPECT_EQ(user.boxes, (std::vector<Box>{{"UNCs are not yet supported", 7},
                                            {"Directory Data invalid (either no drive or dir specified)", 7},
                                            {"Directory  Z:\\  invalid (drive root not allowed)", 7}}));
    EXPECT_FALSE(lib_FileInUse(testing::ScratchFolder().text("missing.txt")));
}

}  // namespace
}  // namespace quillet::lib_basFile
