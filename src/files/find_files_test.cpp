#include "files/find_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/posix/file_test_support.h"
#include "text/error.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;
using platform::DirectoryEntry;

// What a walk handed back, one line per entry:
// full path, "dir" or "file", RecursedDir, "changed" when DirChanged, level.
std::vector<std::string> walk(lib_clsFindFiles& finder, const std::string& filespec, const std::string& start,
                              bool subfolders) {
    std::vector<std::string> seen;
    for (bool found = finder.FindFirstFile(filespec, start, subfolders); found; found = finder.FindNextFile()) {
        seen.push_back(finder.FullFile() + " " + (finder.IsDir() ? "dir" : "file") + " [" + finder.RecursedDir() +
                       "]" + (finder.DirChanged() ? " changed" : "") + " " +
                       std::to_string(finder.CurrentFindLevel()));
    }
    return seen;
}

// Folders kept in memory and listed in the order written, so that a walk's order
// is known in advance. A folder not named here cannot be listed.
class MemoryTree {
public:
    explicit MemoryTree(std::map<std::string, std::vector<DirectoryEntry>> folders) : folders_(std::move(folders)) {}

    lib_clsFindFiles::FolderLister lister() const {
        return [this](std::string_view folder, std::string_view pattern) -> std::unique_ptr<platform::FolderListing> {
            const auto found = folders_.find(std::string(folder));
            if (found == folders_.end()) return nullptr;
            return std::make_unique<Listing>(found->second, pattern);
        };
    }

private:
    class Listing : public platform::FolderListing {
    public:
        Listing(const std::vector<DirectoryEntry>& entries, std::string_view pattern)
            : pattern_(pattern, CaseMode::ignore_case) {
            entries_ = {DirectoryEntry{".", true}, DirectoryEntry{"..", true}};
            entries_.insert(entries_.end(), entries.begin(), entries.end());
        }
        bool next(DirectoryEntry& entry) override {
            while (next_ < entries_.size()) {
                const DirectoryEntry& candidate = entries_[next_++];
                if (!pattern_.matches(candidate.name)) continue;
                entry = candidate;
                return true;
            }
            return false;
        }

    private:
        WildcardPattern pattern_;
        std::vector<DirectoryEntry> entries_;
        std::size_t next_ = 0;
    };

    std::map<std::string, std::vector<DirectoryEntry>> folders_;
};

DirectoryEntry file(const char* name) { return DirectoryEntry{name, false}; }
DirectoryEntry folder(const char* name) { return DirectoryEntry{name, true}; }

// R holds files and folders at three depths; S2 is empty.
MemoryTree three_levels() {
    return MemoryTree({
        {"R", {file("a.txt"), folder("S1"), file("b.txt"), folder("S2"), file("c.dat")}},
        {"R\\S1", {file("d.txt"), folder("T"), file("e.txt")}},
        {"R\\S1\\T", {file("f.txt")}},
        {"R\\S2", {}},
    });
}

TEST(FindFilesWalk, FilesAndFoldersDepthFirstWithTheirFlags) {
    const MemoryTree tree = three_levels();
    lib_clsFindFiles finder(tree.lister());
    finder.SearchType(3);
    EXPECT_THAT(walk(finder, "*", "R", true), ElementsAre("R\\a.txt file [] 1",
                                                          "R\\S1 dir [] 1",  // before its contents, as its parent's entry
                                                          "R\\S1\\d.txt file [S1] changed 2",
                                                          "R\\S1\\T dir [S1] 2",
                                                          "R\\S1\\T\\f.txt file [S1\\T] changed 3",
                                                          "R\\S1\\e.txt file [S1] changed 2",  // back in S1
                                                          "R\\b.txt file [] changed 1",
                                                          "R\\S2 dir [] 1",
                                                          "R\\c.dat file [] changed 1"));  // after the empty S2
    EXPECT_EQ(finder.CurrentFindLevel(), 1);
}

TEST(FindFilesWalk, FilesOnlyStillWalksFoldersThatDoNotMatch) {
    const MemoryTree tree = three_levels();
    lib_clsFindFiles finder(tree.lister());
    EXPECT_THAT(walk(finder, "R\\*.TXT", "", true),
                ElementsAre("R\\a.txt file [] 1", "R\\S1\\d.txt file [S1] changed 2",
                            "R\\S1\\T\\f.txt file [S1\\T] changed 3", "R\\S1\\e.txt file [S1] changed 2",
                            "R\\b.txt file [] changed 1"));
}

TEST(FindFilesWalk, FoldersOnly) {
    const MemoryTree tree = three_levels();
    lib_clsFindFiles finder(tree.lister());
    finder.SearchType(2);
    EXPECT_THAT(walk(finder, "*", "R", true),
                ElementsAre("R\\S1 dir [] 1", "R\\S1\\T dir [S1] changed 2", "R\\S2 dir [] changed 1"));
}

TEST(FindFilesWalk, WithoutSubfoldersNothingBelowIsWalked) {
    const MemoryTree tree = three_levels();
    lib_clsFindFiles finder(tree.lister());
    finder.SearchType(3);
    EXPECT_THAT(walk(finder, "S*", "R", false), ElementsAre("R\\S1 dir [] 1", "R\\S2 dir [] 1"));
    finder.SearchType(1);
    EXPECT_THAT(walk(finder, "*.*", "R", false), ElementsAre("R\\a.txt file [] 1", "R\\b.txt file [] 1",
                                                             "R\\c.dat file [] 1"));
}

TEST(FindFilesWalk, AFolderThatCannotBeListedIsGivenUp) {
    const MemoryTree tree({
        {"R", {folder("locked"), file("after.txt")}},
    });
    lib_clsFindFiles finder(tree.lister());
    EXPECT_THAT(walk(finder, "*", "R", true), ElementsAre("R\\after.txt file [] changed 1"));
}

TEST(FindFilesWalk, LinksToFoldersAreReturnedButNotWalked) {
    DirectoryEntry link = folder("loop");
    link.link = true;
    const MemoryTree tree({
        {"R", {link, file("x.txt")}},
        {"R\\loop", {file("never.txt")}},
    });
    lib_clsFindFiles finder(tree.lister());
    finder.SearchType(3);
    EXPECT_THAT(walk(finder, "*", "R", true), ElementsAre("R\\loop dir [] 1", "R\\x.txt file [] 1"));
}

TEST(FindFilesWalk, RefusesToGoDeeperThan9999Levels) {
    // Every folder holds one more, with an empty name, so that paths do not grow.
    const MemoryTree tree({{"R", {folder("")}}});
    lib_clsFindFiles finder(tree.lister());
    try {
        finder.FindFirstFile("*", "R", true);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), -2147220504);
        EXPECT_EQ(error.source(), "FindNextFile()");
        EXPECT_EQ(error.description(), "Too many dir levels (10000)");
    }
}

TEST(FindFilesLevels, FullDirAndClosingTheCurrentLevel) {
    const MemoryTree tree = three_levels();
    lib_clsFindFiles finder(tree.lister());
    ASSERT_TRUE(finder.FindFirstFile("f.txt", "R", true));
    EXPECT_EQ(finder.Dir(), "T");
    EXPECT_EQ(finder.CurrentFindLevel(), 3);

    std::int16_t level = 0;
    EXPECT_EQ(finder.FullDir(level), "R\\S1\\T");
    EXPECT_EQ(level, 3);
    level = 2;
    EXPECT_EQ(finder.FullDir(level), "R\\S1");
    EXPECT_EQ(finder.CurrentFindLevelFullPath(), "R\\S1\\T");

    finder.CloseCurrentFindLevel();
    EXPECT_EQ(finder.CurrentFindLevel(), 2);
    EXPECT_EQ(finder.RecursedDir(), "S1");
    EXPECT_FALSE(finder.FindNextFile());  // S1 and R hold no other f.txt
}

// The same walker on real folders, listed in the file system's own order.
class FindFilesOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        disk_.write("top.txt", "1");
        disk_.write("README", "2");
        disk_.write("one/mid.txt", "3");
        disk_.write("one/two/deep.txt", "4");
        disk_.write("one/two/three/deepest", "5");
    }
    std::string text(const std::string& inside = {}) const { return disk_.text(inside); }

    testing::ScratchFolder disk_;
};

TEST_F(FindFilesOnDisk, WalksThreeDepthsInTheFileSystemsOrder) {
    lib_clsFindFiles finder;
    finder.SearchType(3);
    std::vector<std::string> entries;
    std::vector<std::string> top_level;
    bool changed_on_every_new_folder = true;
    std::string previous_folder;
    for (bool found = finder.FindFirstFile("*.*", text(), true); found; found = finder.FindNextFile()) {
        entries.push_back(finder.RecursedDir() + "|" + finder.File() + (finder.IsDir() ? "\\" : ""));
        if (finder.RecursedDir().empty()) top_level.push_back(finder.File());
        if (entries.size() > 1 && finder.RecursedDir() != previous_folder && !finder.DirChanged()) {
            changed_on_every_new_folder = false;
        }
        previous_folder = finder.RecursedDir();
    }

    EXPECT_THAT(entries, UnorderedElementsAre("|top.txt", "|README", "|one\\", "one|mid.txt", "one|two\\",
                                              "one\\two|deep.txt", "one\\two|three\\", "one\\two\\three|deepest"));
    EXPECT_TRUE(changed_on_every_new_folder);
    // Each folder comes before everything in it.
    const auto position = [&](const std::string& entry) {
        return std::find(entries.begin(), entries.end(), entry) - entries.begin();
    };
    EXPECT_LT(position("|one\\"), position("one|mid.txt"));
    EXPECT_LT(position("one|two\\"), position("one\\two|deep.txt"));
    EXPECT_LT(position("one\\two|three\\"), position("one\\two\\three|deepest"));

    std::vector<std::string> listed;
    for (const auto& entry : fs::directory_iterator(disk_.native())) listed.push_back(entry.path().filename().string());
    EXPECT_EQ(top_level, listed);
}

TEST_F(FindFilesOnDisk, StarDotStarMatchesNamesWithoutADot) {
    lib_clsFindFiles finder;
    EXPECT_THAT(walk(finder, text("*.*"), "", false),
                UnorderedElementsAre(text("top.txt") + " file [] 1", text("README") + " file [] 1"));
}

TEST_F(FindFilesOnDisk, NothingInEmptyOrMissingFolders) {
    fs::create_directory(disk_.native("empty"));
    lib_clsFindFiles finder;
    finder.SearchType(3);
    EXPECT_FALSE(finder.FindFirstFile("*", text("empty"), true));
    EXPECT_FALSE(finder.FindFirstFile("*", text("missing"), true));
    EXPECT_FALSE(finder.FindFirstFile("*.none", text(), false));
}

TEST_F(FindFilesOnDisk, ALoopOfLinksDoesNotTrapTheWalk) {
    fs::create_directory_symlink(disk_.native(), disk_.native("one/back to the top"));
    lib_clsFindFiles finder;
    finder.SearchType(3);
    const std::vector<std::string> entries = walk(finder, "*", text(), true);
    EXPECT_EQ(entries.size(), 9u);
    EXPECT_THAT(entries, ::testing::Contains(::testing::StartsWith(text("one/back to the top") + " dir [one]")));
}

}  // namespace
}  // namespace quillet
