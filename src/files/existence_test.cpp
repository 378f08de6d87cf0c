#include "files/existence.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "support/files.h"

namespace quillet::lib_basFile {
namespace {

TEST(Existence, DirExistsOnlyForFoldersFileExistsForFilesAndPatterns) {
    testing::ScratchFolder folder;
    std::filesystem::create_directories(folder.native("looks.txt"));
    folder.write("Sub Dir/report.txt", "x");
    folder.write("plain", "x");
    // path text, lib_DirExists, lib_FileExists
    const std::tuple<std::string, bool, bool> cases[] = {
        {folder.text("Sub Dir") + "\\", true, false},
        {folder.text("plain"), false, true},
        {folder.text("missing"), false, false},
        {"", false, false},
        {"Q:\\unmapped", false, false},
        {" \"" + folder.text("Sub Dir/report.txt") + "\" ", false, true},
        {folder.text("Sub Dir/rep?rt.*"), false, true},
        {folder.text("*.txt"), false, false},  // only the folder looks.txt matches
        {folder.text("missing/*.*"), false, false},
    };
    for (const auto& [path, dir_exists, file_exists] : cases) {
        EXPECT_EQ(lib_DirExists(path), dir_exists) << path;
        EXPECT_EQ(lib_FileExists(path), file_exists) << path;
    }

    // Without a drive: a folder from the current drive's root, a file name in the
    // current directory. On Windows that drive may differ from the temporary folder's.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.native("Sub Dir"));
    EXPECT_TRUE(lib_DirExists(folder.text("Sub Dir").substr(2)));
    EXPECT_TRUE(lib_DirExists("..\\looks.txt"));
    EXPECT_TRUE(lib_FileExists("report.txt"));
    EXPECT_TRUE(lib_FileExists("rep*.txt"));
    std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace quillet::lib_basFile
