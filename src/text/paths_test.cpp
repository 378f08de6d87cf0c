#include "text/paths.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "text/error.h"

namespace quillet::lib_basConversion {
namespace {

TEST(Paths, AddPathPutsExactlyOneBackslashBetweenNonEmptyPieces) {
    EXPECT_EQ(lib_AddPath("C:\\Data\\", "\\x"), "C:\\Data\\x");
    EXPECT_EQ(lib_AddPath("C:\\Data\\", "x"), "C:\\Data\\x");
    EXPECT_EQ(lib_AddPath("C:\\Data", "\\x"), "C:\\Data\\x");
    EXPECT_EQ(lib_AddPath("C:", "x"), "C:\\x");
    EXPECT_EQ(lib_AddPath("", "x"), "x");
    EXPECT_EQ(lib_AddPath("C:\\Data", ""), "C:\\Data");
}

TEST(Paths, CountStringCountsOverlappingHits) {
    EXPECT_EQ(lib_CountString("aaaa", "aa", kBinaryCompare), 3);
    EXPECT_EQ(lib_CountString("..\\..\\X", "..\\", kBinaryCompare), 2);
    EXPECT_EQ(lib_CountString("Über über", "ÜBER", kBinaryCompare), 0);
    EXPECT_EQ(lib_CountString("Über über", "ÜBER", kTextCompare), 2);
    EXPECT_EQ(lib_CountString("abc", "", kBinaryCompare), 0);
}

TEST(Paths, DriveOfDrivesSharesAndRelativePaths) {
    EXPECT_EQ(lib_GetDrive("C:\\Data\\file.txt"), "C:");
    EXPECT_EQ(lib_GetDrive(" \"C:\\My Data\" "), "C:");
    EXPECT_EQ(lib_GetDrive("\\\\server\\share\\dir\\file"), "\\\\server\\share");
    EXPECT_EQ(lib_GetDrive("\\\\server"), "\\\\server");
    EXPECT_EQ(lib_GetDrive("\\Data\\file.txt"), "");
    EXPECT_EQ(lib_GetDrive("Data"), "");
}

TEST(Paths, FileNameIsTheLastComponentButNeverADriveOrShare) {
    EXPECT_EQ(lib_GetFileName("C:\\Data\\file.txt"), "file.txt");
    EXPECT_EQ(lib_GetFileName("file.txt"), "file.txt");
    EXPECT_EQ(lib_GetFileName("C:"), "");
    EXPECT_EQ(lib_GetFileName("C:\\"), "");
    EXPECT_EQ(lib_GetFileName("\\\\srv\\share"), "");
    EXPECT_EQ(lib_GetFileName("\\\\srv\\share\\f"), "f");
    EXPECT_EQ(lib_GetFileName("\"C:\\My Data\\a b.txt\""), "a b.txt");
}

TEST(Paths, ExtensionAndBaseLookAtTheRightDot) {
    EXPECT_EQ(lib_GetFileExt("C:\\a\\file.TXT"), "TXT");
    EXPECT_EQ(lib_GetFileExt("C:\\a\\file.tar.gz"), "gz");
    EXPECT_EQ(lib_GetFileExt("C:\\a\\file."), "");
    EXPECT_EQ(lib_GetFileExt("C:\\a.b\\file"), "");

    EXPECT_EQ(lib_GetFileBase("C:\\a\\file.txt", true), "C:\\a\\file");
    EXPECT_EQ(lib_GetFileBase("C:\\a\\file.txt", false), "file");
    EXPECT_EQ(lib_GetFileBase("C:\\a\\readme", false), "");
    EXPECT_EQ(lib_GetFileBase("C:\\a.b\\readme", true), "C:\\a");
    EXPECT_EQ(lib_GetFileBase("C:\\a\\.profile", false), "");
    EXPECT_EQ(lib_GetFileBase("C:\\", true), "");
}

TEST(Paths, FolderPartWithAndWithoutDrive) {
    EXPECT_EQ(lib_GetPath("C:\\Data\\Sub\\*.*", true), "C:\\Data\\Sub");
    EXPECT_EQ(lib_GetPath("C:\\Data\\Sub\\*.*", false), "\\Data\\Sub");
    EXPECT_EQ(lib_GetPath("C:\\file.txt", true), "C:");
    EXPECT_EQ(lib_GetPath("C:\\file.txt", false), "");
    EXPECT_EQ(lib_GetPath("C:file.txt", true), "C:");
    EXPECT_EQ(lib_GetPath("\\\\srv\\share\\f.txt", false), "\\\\srv\\share");
    EXPECT_EQ(lib_GetPath("file.txt", true), "");
    EXPECT_EQ(lib_GetPath("Dir.v2\\file", true), "Dir.v2");
}

TEST(Paths, StripStringTrimsThenRemovesThePieceAtOneEnd) {
    EXPECT_EQ(lib_StripString("  \\\\a\\b\\  ", "\\", true, false), "\\\\a\\b");
    EXPECT_EQ(lib_StripString("C:\\old\\\\", "\\", false, false), "C:\\old\\");
    EXPECT_EQ(lib_StripString("\\\\a", "\\", true, true), "a");
    EXPECT_EQ(lib_StripString("XyXyz", "xY", true, true), "z");
    EXPECT_EQ(lib_StripString("XyXyz", "xY", false, true), "Xyz");
    EXPECT_EQ(lib_StripString("  ab  ", "", true, true), "ab");
}

TEST(Paths, InStrLastAndTrimNull) {
    EXPECT_EQ(lib_InStrLast("a.b.c", ".", kBinaryCompare), 4);
    EXPECT_EQ(lib_InStrLast("Zürich.txt", ".", kBinaryCompare), 7);
    EXPECT_EQ(lib_InStrLast("abc", "x", kBinaryCompare), 0);
    EXPECT_EQ(lib_InStrLast("aXbxc", "x", kTextCompare), 4);
    EXPECT_EQ(lib_InStrLast(std::int16_t{2}, "a.b.c", ".", kBinaryCompare), 4);
    EXPECT_EQ(lib_InStrLast(std::int16_t{3}, "a.b.c", ".", kBinaryCompare), 2);

    EXPECT_EQ(lib_TrimNull(std::string("C:\\TEMP\\\0\0junk", 14)), "C:\\TEMP\\");
    EXPECT_EQ(lib_TrimNull("no null"), "no null");
}

TEST(Paths, ComponentsAreCountedUpToAHundred) {
    std::string path = "C:";
    for (int i = 0; i < 99; ++i) path += "\\d";
    EXPECT_EQ(path_components(path).size(), 100u);
    try {
        path_components(path + "\\one too many");
        ADD_FAILURE() << "no error raised";
    } catch (const Error& error) {
        EXPECT_EQ(error.description(), "LineParts array too small");
    }
}

// The file name is read off the text without splitting it; it must be the last
// component all the same, unless that is the drive or the share.
TEST(Paths, FileNameIsTheLastOfTheComponents) {
    const std::vector<std::string> paths{"\\\\srv\\share\\ dir \\\\ file ", "\\\\srv\\share\\", "\\\\srv\\ share \\",
                                         "C:\\a\\   \\", " C: \\x", "C:\\", "\\\\", "  x  ", "", "a\\\\\\b\\\\",
                                         "C:\\\"my\\docs\"\\f", "x:", "x:\\f", "\\\"q\"", "Zürich\\Straße.txt",
                                         // too long to be sure of holding at most a hundred components
                                         "C:\\" + std::string(250, 'n') + "\\f", "\\\\s\\" + std::string(250, 'n') + "\\"};
    for (const std::string& path : paths) {
        const std::vector<std::string> components = path_components(path);
        const std::size_t drive_components = lib_GetDrive(path).empty() ? 0 : path.starts_with("\\\\") ? 2 : 1;
        const std::string expected = components.size() > drive_components ? components.back() : "";
        EXPECT_EQ(lib_GetFileName(path), expected) << path;
    }
    std::string deep = "C:";
    for (int i = 0; i < 100; ++i) deep += "\\d";
    EXPECT_THROW(lib_GetFileName(deep), Error);  // as the split refuses it
}

struct LevelCase {
    std::string path;
    std::int16_t level;
    bool from_start, without_drive, to_end;
    std::string chosen;
};

TEST(Paths, PathLevelPicksOneComponentOrARunOfThem) {
    const std::string path = "C:\\Data\\Sub.v1\\Deep";
    const std::string share = "\\\\srv\\share\\dir\\file";
    const LevelCase cases[] = {
        {path, 1, false, false, false, "C:"},
        {path, 0, false, false, false, "Deep"},
        {path, -2, false, false, false, "Sub.v1"},
        {path, 2, false, false, true, "Data\\Sub.v1\\Deep"},
        // how "..\\" is resolved: the path less its last k folders, drive and share kept
        {path, -3, true, false, false, "C:\\Data"},
        {path, -5, true, false, false, ""},
        {share, -2, true, false, false, "\\\\srv\\share\\dir"},
        {share, 1, false, true, false, "dir"},
        {"Data\\\\x", -2, false, false, false, ""},  // a doubled backslash leaves an empty element
    };
    for (const LevelCase& c : cases) {
        EXPECT_EQ(lib_GetPathLevel(c.path, c.level, c.from_start, c.without_drive, false, c.to_end, {}), c.chosen)
            << c.path << " " << c.level;
    }
}

TEST(Paths, DeepestFolderNameAndParentFolder) {
    // path, its deepest folder's name, its parent folder
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"C:\\Data\\Sub", "Sub", "C:\\Data"},
        {"\"C:\\My Data\"", "My Data", "C:"},
        {"C:\\", "", ""},
        {"C:", "", ""},
        {"\\\\srv\\share", "", "\\\\srv"},
        {"\\\\srv\\share\\d", "d", "\\\\srv\\share"},
        {"Data\\x", "x", "Data"},
    };
    for (const auto& [path, deepest, parent] : cases) {
        EXPECT_EQ(deepest_folder_name(path), deepest) << path;
        EXPECT_EQ(parent_folder(path), parent) << path;
    }
}

TEST(Paths, PathLevelThatMustExistMovesTowardsTheRootForANegativeLevelOnly) {
    std::vector<std::string> asked;
    const FolderExistsTest exists = [&](const std::string& folder) {
        asked.push_back(folder);
        return folder == "C:" || folder == "C:\\Data";
    };
    const std::string path = "C:\\Data\\New\\Newer";
    EXPECT_EQ(lib_GetPathLevel(path, -1, false, false, true, false, exists), "Data");
    EXPECT_THAT(asked, ::testing::ElementsAre("C:\\Data\\New\\Newer", "C:\\Data\\New", "C:\\Data"));
    EXPECT_EQ(lib_GetPathLevel(path, -1, true, true, true, false, exists), "Data");  // the drive still counts
    EXPECT_EQ(lib_GetPathLevel(path, 3, false, false, true, false, exists), "");
}

}  // namespace
}  // namespace quillet::lib_basConversion
