#include "files/path_resolution.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/files.h"

namespace quillet::lib_basConversion {
namespace {

TEST(PathResolution, AgainstTheBaseOrTheCurrentDirectoryAndItsDrive) {
    testing::ScratchFolder folder;
    std::filesystem::create_directories(folder.native("a/b/c"));
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.native("a/b"));

    EXPECT_EQ(lib_GetCurrentDrive(), folder.drive());
    EXPECT_EQ(lib_ResolvePath("..\\..\\x", "C:\\a\\b\\c"), "C:\\a\\x");
    EXPECT_EQ(lib_ResolvePath("..\\x.txt", "\\\\srv\\share\\dir"), "\\\\srv\\share\\x.txt");
    EXPECT_EQ(lib_ResolvePath("..\\x", ""), folder.text("a/x"));
    EXPECT_EQ(lib_ResolvePath("Data", "C:\\Base"), "C:\\Base\\Data");
    EXPECT_EQ(lib_ResolvePath("Data", ""), folder.drive() + "\\Data");
    EXPECT_EQ(lib_ResolvePath("D:\\Data", "C:\\Base"), "D:\\Data");

    // A level that must exist asks the disk, moving towards the root for a negative level.
    const std::string planned = folder.text("a/b/new/newer");
    EXPECT_EQ(lib_GetPathLevel(planned, -1, false, false, true, false), "b");
    EXPECT_EQ(lib_GetPathLevel(planned, -1, true, false, true, false), folder.text("a/b"));
    EXPECT_EQ(lib_GetPathLevel(planned, 0, false, false, true, false), "");
    EXPECT_EQ(lib_GetPathLevel("Q:\\unmapped\\x", -1, false, false, true, false), "");
    std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace quillet::lib_basConversion
