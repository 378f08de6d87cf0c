#include "files/existence.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/files.h"

namespace quillet::lib_basFile {
namespace {

class Existence : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder_.native("Sub Dir/deeper"));
        std::filesystem::create_directories(folder_.native("looks.txt"));
        folder_.write("Sub Dir/report.txt", "x");
        folder_.write("plain", "x");
    }

    testing::ScratchFolder folder_;
};

TEST_F(Existence, DirExistsOnlyForFolders) {
    EXPECT_TRUE(lib_DirExists(folder_.text()));
    EXPECT_TRUE(lib_DirExists(folder_.text("Sub Dir/deeper")));
    EXPECT_TRUE(lib_DirExists(folder_.text("Sub Dir") + "\\"));
    EXPECT_FALSE(lib_DirExists(folder_.text("plain")));
    EXPECT_FALSE(lib_DirExists(folder_.text("missing")));
    EXPECT_FALSE(lib_DirExists(""));
    EXPECT_FALSE(lib_DirExists("Q:\\unmapped"));
}

TEST_F(Existence, DirExistsTakesPathsWithoutADriveFromTheDrivesRoot) {
    // The drive is the current directory's, which on Windows may differ from the
    // temporary folder's.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder_.native() / "Sub Dir" / "deeper");
    const std::string without_drive = folder_.text("Sub Dir").substr(2);  // \tmp\...\Sub Dir
    EXPECT_TRUE(lib_DirExists(without_drive));
    EXPECT_TRUE(lib_DirExists(without_drive.substr(1)));
    EXPECT_TRUE(lib_DirExists("..\\..\\looks.txt"));
    EXPECT_FALSE(lib_DirExists("..\\..\\plain"));
    std::filesystem::current_path(previous);
}

TEST_F(Existence, FileExistsForFilesAndPatternsButNotFolders) {
    EXPECT_TRUE(lib_FileExists(folder_.text("plain")));
    EXPECT_TRUE(lib_FileExists(" \"" + folder_.text("Sub Dir/report.txt") + "\" "));
    EXPECT_TRUE(lib_FileExists(folder_.text("Sub Dir/*.TXT")));
    EXPECT_TRUE(lib_FileExists(folder_.text("Sub Dir/rep?rt.*")));

    EXPECT_FALSE(lib_FileExists(folder_.text("Sub Dir")));
    EXPECT_FALSE(lib_FileExists(folder_.text("*.txt")));  // only the folder looks.txt matches
    EXPECT_FALSE(lib_FileExists(folder_.text("Sub Dir") + "\\"));
    EXPECT_FALSE(lib_FileExists(folder_.text("missing/*.*")));
    EXPECT_FALSE(lib_FileExists(""));
}

TEST_F(Existence, FileExistsLooksForABareNameInTheCurrentDirectory) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder_.native());
    EXPECT_TRUE(lib_FileExists("plain"));
    EXPECT_TRUE(lib_FileExists("Sub Dir\\report.txt"));
    EXPECT_FALSE(lib_FileExists("looks.txt"));
    std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace quillet::lib_basFile
