#include "files/path_resolution.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/files.h"

namespace quillet::lib_basConversion {
namespace {

// Runs the test from inside a fresh folder, restoring the current directory after.
class PathResolution : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder_.native("a/b/c"));
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_.native() / "a" / "b");
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    testing::ScratchFolder folder_;
    std::filesystem::path previous_;
};

TEST_F(PathResolution, CurrentDriveIsTheDriveOfTheCurrentDirectory) {
    EXPECT_EQ(lib_GetCurrentDrive(), folder_.drive());
}

TEST_F(PathResolution, ParentStepsRemoveFoldersFromTheBase) {
    EXPECT_EQ(lib_ResolvePath("..\\..\\x", "C:\\a\\b\\c"), "C:\\a\\x");
    EXPECT_EQ(lib_ResolvePath("..\\x.txt", "\\\\srv\\share\\dir"), "\\\\srv\\share\\x.txt");
    EXPECT_EQ(lib_ResolvePath("..\\x", ""), folder_.text("a/x"));
}

TEST_F(PathResolution, PathsWithoutADriveJoinTheBaseOrTheCurrentDrive) {
    EXPECT_EQ(lib_ResolvePath("Data", "C:\\Base"), "C:\\Base\\Data");
    EXPECT_EQ(lib_ResolvePath("\\Data", ""), folder_.drive() + "\\Data");
    EXPECT_EQ(lib_ResolvePath("Data", ""), folder_.drive() + "\\Data");
    EXPECT_EQ(lib_ResolvePath("D:\\Data", "C:\\Base"), "D:\\Data");
    EXPECT_EQ(lib_ResolvePath("\\\\srv\\share\\Data", ""), "\\\\srv\\share\\Data");
}

TEST_F(PathResolution, PathLevelThatMustExistAsksTheDisk) {
    const std::string planned = folder_.text("a/b/new/newer");
    EXPECT_EQ(lib_GetPathLevel(planned, -1, false, false, true, false), "b");
    EXPECT_EQ(lib_GetPathLevel(planned, -1, true, false, true, false), folder_.text("a/b"));
    EXPECT_EQ(lib_GetPathLevel(planned, 0, false, false, true, false), "");
    EXPECT_EQ(lib_GetPathLevel(planned, 0, false, false, false, false), "newer");
    EXPECT_EQ(lib_GetPathLevel(folder_.text("a/b/c"), 0, false, true, true, false), "c");
    EXPECT_EQ(lib_GetPathLevel("Q:\\unmapped\\x", -1, false, false, true, false), "");
}

}  // namespace
}  // namespace quillet::lib_basConversion
