#include "text/paths.h"

#include <gtest/gtest.h>

#include <tuple>

#include "text/error.h"

namespace quillet::lib_basConversion {
namespace {

TEST(Paths, JoiningStrippingCountingAndSearching) {
    EXPECT_EQ(lib_AddPath("C:\\Data\\", "\\x"), "C:\\Data\\x");
    EXPECT_EQ(lib_AddPath("C:\\Data\\", "x"), "C:\\Data\\x");
    EXPECT_EQ(lib_AddPath("C:", "x"), "C:\\x");
    EXPECT_EQ(lib_AddPath("", "x"), "x");
    EXPECT_EQ(lib_AddPath("C:\\Data", ""), "C:\\Data");

    // trimmed, then the piece removed from one end
    EXPECT_EQ(lib_StripString("  \\\\a\\b\\  ", "\\", true, false), "\\\\a\\b");
    EXPECT_EQ(lib_StripString("  ab  ", "", true, true), "ab");

    EXPECT_EQ(lib_CountString("aaaa", "aa", kBinaryCompare), 3);  // overlapping hits count
    EXPECT_EQ(lib_CountString("Über über", "ÜBER", kTextCompare), 2);

    EXPECT_EQ(lib_InStrLast("Zürich.txt", ".", kBinaryCompare), 7);  // in code points
    EXPECT_EQ(lib_InStrLast("aXbxc", "x", kTextCompare), 4);
    EXPECT_EQ(lib_InStrLast(std::int16_t{3}, "a.b.c", ".", kBinaryCompare), 2);
    EXPECT_EQ(lib_TrimNull(std::string("C:\\TEMP\\\0\0junk", 14)), "C:\\TEMP\\");
}

TEST(Paths, TakingAPathApart) {
    // The path, then its drive, file name, extension, base with its path, base, folder, folder without the drive.
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {" \"C:\\My Data\\a b.txt\" ", {"C:", "a b.txt", "txt", "C:\\My Data\\a b", "a b", "C:\\My Data", "\\My Data"}},
        {"\\\\s\\sh\\d\\f.txt", {"\\\\s\\sh", "f.txt", "txt", "\\\\s\\sh\\d\\f", "f", "\\\\s\\sh\\d", "\\\\s\\sh\\d"}},
        {"\\\\srv\\share", {"\\\\srv\\share", "", "", "", "", "\\\\srv", "\\\\srv"}},
        {"\\\\srv", {"\\\\srv", "", "", "", "", "\\", "\\"}},
        {"\\Data\\file.txt", {"", "file.txt", "txt", "\\Data\\file", "file", "\\Data", "\\Data"}},
        {"file.txt", {"", "file.txt", "txt", "file", "file", "", ""}},
        {"C:", {"C:", "", "", "", "", "C:", ""}},
        {"C:\\", {"C:", "", "", "", "", "C:", ""}},
        {"C:\\a\\file.tar.gz", {"C:", "file.tar.gz", "gz", "C:\\a\\file.tar", "file.tar", "C:\\a", "\\a"}},
        {"C:\\a.b\\readme", {"C:", "readme", "", "C:\\a", "", "C:\\a.b", "\\a.b"}},
        {"C:\\a\\.profile", {"C:", ".profile", "profile", "C:\\a\\", "", "C:\\a", "\\a"}},
        {"C:file.txt", {"", "C:file.txt", "txt", "C:file", "C:file", "C:", ""}},
    };
    for (const auto& [path, parts] : cases) {
        EXPECT_EQ((std::vector<std::string>{lib_GetDrive(path), lib_GetFileName(path), lib_GetFileExt(path),
                                            lib_GetFileBase(path, true), lib_GetFileBase(path, false),
                                            lib_GetPath(path, true), lib_GetPath(path, false)}),
                  parts)
            << path;
    }
}

// The file name is read off the text without splitting it; it must be the last
// component all the same, unless that is the drive or the share. More than a
// hundred components are refused.
TEST(Paths, FileNameIsTheLastOfUpToAHundredComponents) {
    const std::string paths[] = {"\\\\srv\\share\\ dir \\\\ file ", "\\\\srv\\ share \\", "\\\\srv\\share\\", "\\\\",
                                 "C:\\a\\   \\", " C: \\x", "C:\\", "  x  ", "", "a\\\\\\b\\\\", "x:",
                                 "C:\\\"my\\docs\"\\f", "\\\"q\"",
                                 // too long to be sure of holding at most a hundred components
                                 "C:\\" + std::string(250, 'n') + "\\f", "\\\\s\\" + std::string(250, 'n') + "\\"};
    for (const std::string& path : paths) {
        const std::vector<std::string> components = path_components(path);
        const std::size_t drive_components = lib_GetDrive(path).empty() ? 0 : path.starts_with("\\\\") ? 2 : 1;
        const std::string expected = components.size() > drive_components ? components.back() : "";
        EXPECT_EQ(lib_GetFileName(path), expected) << path;
    }

    std::string path = "C:";
    for (int i = 0; i < 99; ++i) path += "\\d";
    EXPECT_EQ(path_components(path).size(), 100u);
    EXPECT_THROW(path_components(path + "\\one too many"), Error);
    EXPECT_THROW(lib_GetFileName(path + "\\one too many"), Error);  // read off the text, refused all the same
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
        {path, 2, false, false, true, "Data\\Sub.v1\\Deep"},
        // how "..\" pieces are resolved (Existence's "..\looks.txt"): the path less its
        // last k folders, drive or share kept
        {path, -5, true, false, false, ""},
        {share, -2, true, false, false, "\\\\srv\\share\\dir"},
        {share, 1, false, true, false, "dir"},  // without the drive a share skips two elements
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
        {"\"C:\\My Data\"", "My Data", "C:"},
        {"C:\\", "", ""},
        {"\\\\srv\\share", "", "\\\\srv"},
    };
    for (const auto& [path, deepest, parent] : cases) {
        EXPECT_EQ(deepest_folder_name(path), deepest) << path;
        EXPECT_EQ(parent_folder(path), parent) << path;
    }
}

}  // namespace
}  // namespace quillet::lib_basConversion
