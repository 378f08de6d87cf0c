#include "files/file_deletion.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/posix/file_test_support.h"
#include "ui/recording_front_end.h"

namespace quillet::lib_basFile {
namespace {

namespace fs = std::filesystem;

const testing::PrivateHome& home = testing::PrivateHome::get();

class KillFile : public ::testing::Test {
protected:
    testing::RecordingFrontEnd screen_;
    FrontEndScope installed_{screen_};
    testing::ScratchFolder disk_;
};

TEST_F(KillFile, AMissingFileIsNoFailure) {
    EXPECT_TRUE(lib_KillFile(disk_.text("missing.txt"), false));
    EXPECT_TRUE(screen_.boxes.empty());
}

TEST_F(KillFile, ToTheTrashOrForGood) {
    disk_.write("kill to trash.txt", "1");
    disk_.write("kill for good.txt", "2");

    EXPECT_TRUE(lib_KillFile(disk_.text("kill to trash.txt"), false));
    EXPECT_TRUE(lib_KillFile(disk_.text("kill for good.txt"), true));

    EXPECT_FALSE(disk_.exists("kill to trash.txt"));
    EXPECT_FALSE(disk_.exists("kill for good.txt"));
    EXPECT_TRUE(fs::exists(home.trashed("kill to trash.txt")));
    EXPECT_FALSE(fs::exists(home.trashed("kill for good.txt")));
}

TEST_F(KillFile, NeverDeletesForGoodWhatWasMeantForTheTrash) {
    disk_.write("precious.txt", "keep");
    {
        testing::BrokenTrash broken;
        EXPECT_FALSE(lib_KillFile(disk_.text("precious.txt"), false));
    }
    EXPECT_EQ(disk_.read("precious.txt"), "keep");
}

TEST_F(KillFile, FilesThatCanBeRenamedAreNotInUse) {
    disk_.write("free.txt", "1");
    EXPECT_FALSE(lib_FileInUse(disk_.text("free.txt")));
    EXPECT_FALSE(lib_FileInUse(disk_.text("missing.txt")));
    EXPECT_EQ(disk_.read("free.txt"), "1");
}

}  // namespace
}  // namespace quillet::lib_basFile
