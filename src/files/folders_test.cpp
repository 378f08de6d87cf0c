#include "files/folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/posix/file_test_support.h"
#include "text/error.h"
#include "ui/busy.h"
#include "ui/recording_front_end.h"
#include "ui/reporting.h"

namespace quillet::lib_basFile {
namespace {

namespace fs = std::filesystem;

const testing::PrivateHome& home = testing::PrivateHome::get();

class Folders : public ::testing::Test {
protected:
    void SetUp() override { ShowErrorDetails = true; }
    void TearDown() override { ShowErrorDetails = false; }

    testing::RecordingFrontEnd screen_;
    FrontEndScope installed_{screen_};
    testing::ScratchFolder disk_;
};

TEST_F(Folders, MakePathCreatesEveryMissingLevel) {
    fs::create_directory(disk_.native("a"));
    EXPECT_TRUE(lib_MakePath(disk_.text("a") + "\\b\\c"));
    EXPECT_TRUE(lib_MakePath(" \"" + disk_.text() + "\\with blank\\x\" "));
    EXPECT_TRUE(fs::is_directory(disk_.native("a/b/c")));
    EXPECT_TRUE(fs::is_directory(disk_.native("with blank/x")));
    EXPECT_TRUE(screen_.boxes.empty());
}

TEST_F(Folders, MakePathReportsAndRaisesWhatStopsIt) {
    disk_.write("file", "in the way");
    const std::string path = disk_.text("file") + "\\sub";
    try {
        lib_MakePath(path);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 75);
        EXPECT_EQ(error.source(), "Base7.lib_MakePath");
    }
    ASSERT_EQ(screen_.boxes.size(), 1u);
    EXPECT_EQ(screen_.boxes[0].text,
              "An error has occurred in Base7.lib_MakePath\r\n\r\n(75) Path/File access error\r\nPath:" + path);
    EXPECT_FALSE(lib_basDisplay::BusyState);
}

TEST_F(Folders, DeltreeRefusesSharesBarePathsAndDriveRoots) {
    const std::pair<std::string, std::string> refusals[] = {
        {"\\\\server\\share\\old", "UNCs are not yet supported"},
        {"Data", "Directory Data invalid (either no drive or dir specified)"},
        {"Z:", "Directory Z: invalid (either no drive or dir specified)"},
        {" Z:\\ ", "Directory  Z:\\  invalid (drive root not allowed)"},
    };
    for (const auto& [folder, message] : refusals) {
        std::string argument = folder;
        EXPECT_FALSE(lib_Deltree(argument, false, 7, true)) << folder;
        ASSERT_FALSE(screen_.boxes.empty());
        EXPECT_EQ(screen_.boxes.back().text, message);
        EXPECT_EQ(screen_.boxes.back().icon, MsgBoxIcon::critical);
        EXPECT_EQ(screen_.boxes.back().countdown, 7);
    }
    EXPECT_EQ(screen_.boxes.size(), std::size(refusals));
}

TEST_F(Folders, DeltreeSendsTheTreeToTheTrash) {
    disk_.write("deltree snapshot/sub/deeper.txt", "1");
    std::string folder = disk_.text("deltree snapshot") + "\\";
    EXPECT_TRUE(lib_Deltree(folder, false, 0, false));
    EXPECT_EQ(folder, disk_.text("deltree snapshot"));
    EXPECT_FALSE(disk_.exists("deltree snapshot"));
    EXPECT_TRUE(fs::exists(home.trashed("deltree snapshot") / "sub" / "deeper.txt"));
}

TEST_F(Folders, DeltreeForGoodNeverFollowsLinks) {
    disk_.write("work/sub/b.txt", "2");
    disk_.write("outside/kept.txt", "kept");
    fs::create_directory_symlink(disk_.native("outside"), disk_.native("work/sub/link"));
    std::string work = disk_.text("work");

    EXPECT_TRUE(lib_Deltree(work, true, 0, true));  // contents only
    EXPECT_TRUE(fs::is_empty(disk_.native("work")));
    EXPECT_TRUE(lib_Deltree(work, false, 0, true));
    EXPECT_FALSE(disk_.exists("work"));
    EXPECT_FALSE(fs::exists(home.trashed("work")));
    EXPECT_EQ(disk_.read("outside/kept.txt"), "kept");
}

}  // namespace
}  // namespace quillet::lib_basFile
