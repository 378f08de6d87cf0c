#include "files/find_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/unit_checks.h"

namespace quillet {
namespace {

using ::testing::ElementsAre;
using platform::DirectoryEntry;

// One line per entry handed back: full path, dir, special or file, [RecursedDir],
// "changed" when DirChanged, and the current level.
std::vector<std::string> walk(lib_clsFindFiles& finder, const std::string& filespec, const std::string& start,
                              bool subfolders) {
    std::vector<std::string> seen;
    for (bool found = finder.FindFirstFile(filespec, start, subfolders); found; found = finder.FindNextFile()) {
        const char* kind = finder.IsDir() ? " dir [" : finder.IsSpecial() ? " special [" : " file [";
        seen.push_back(finder.FullFile() + kind + finder.RecursedDir() + "]" +
                       (finder.DirChanged() ? " changed " : " ") + std::to_string(finder.CurrentFindLevel()));
    }
    return seen;
}

// Folders listed in the order written, so that a walk's order is known. A folder
// not named here cannot be listed; one that holds kFailsHere fails there.
using Tree = std::map<std::string, std::vector<DirectoryEntry>>;
constexpr const char* kFailsHere = "?fails";

class TreeListing : public platform::FolderListing {
public:
    TreeListing(const std::vector<DirectoryEntry>& entries, std::string_view pattern)
        : entries_{{".", true}, {"..", true}}, pattern_(pattern, CaseMode::ignore_case) {
        entries_.insert(entries_.end(), entries.begin(), entries.end());
    }
    bool next(DirectoryEntry& entry) override {
        while (next_ < entries_.size()) {
            entry = entries_[next_++];
            if (entry.name == kFailsHere) {
                fail();
                break;
            }
            if (pattern_.matches(entry.name)) return true;
        }
        return false;
    }

private:
    std::vector<DirectoryEntry> entries_;
    WildcardPattern pattern_;
    std::size_t next_ = 0;
};

lib_clsFindFiles finder_of(const Tree& tree, std::int32_t search_type) {
    lib_clsFindFiles finder([&tree](std::string_view folder, std::string_view pattern) {
        const auto found = tree.find(std::string(folder));
        return found == tree.end() ? nullptr : std::make_unique<TreeListing>(found->second, pattern);
    });
    finder.SearchType(search_type);
    return finder;
}

const Tree kThreeLevels = {
    {"R", {{"a.txt", false}, {"S1", true}, {"b.txt", false}, {"S2", true}, {"c.dat", false}}},
    // locked cannot be listed; loop, a link to a folder, is listed and never walked
    {"R\\S1", {{"d.txt", false}, {"locked", true}, {"T", true}, {"e.txt", false}, {"loop", true, true}}},
    {"R\\S1\\T", {{"f.txt", false}}},
    {"R\\S2", {}},
};

TEST(FindFilesWalk, DepthFirstWithTheFlagsOfEachEntry) {
    lib_clsFindFiles finder = finder_of(kThreeLevels, 3);
    EXPECT_THAT(walk(finder, "*", "R", true),
                ElementsAre("R\\a.txt file [] 1",
                            "R\\S1 dir [] 1",  // before its contents, as an entry of its parent
                            "R\\S1\\d.txt file [S1] changed 2",
                            "R\\S1\\locked dir [S1] 2",  // given up at once
                            "R\\S1\\T dir [S1] changed 2",
                            "R\\S1\\T\\f.txt file [S1\\T] changed 3",
                            "R\\S1\\e.txt file [S1] changed 2",  // back in S1
                            "R\\S1\\loop dir [S1] 2",
                            "R\\b.txt file [] changed 1", "R\\S2 dir [] 1",
                            "R\\c.dat file [] changed 1"));  // after the empty S2

    lib_clsFindFiles without_subfolders = finder_of(kThreeLevels, 2);  // "*.*" takes names without a dot
    EXPECT_THAT(walk(without_subfolders, "*.*", "R", false), ElementsAre("R\\S1 dir [] 1", "R\\S2 dir [] 1"));
}

// Files only: folders that do not match are walked; a folder that cannot be
// listed is told of. Keeping the walk out of a folder (WalkFolderIf) is
// SourceFaults.ATargetOrZipWorkFolderInsideTheSourceIsNotWalked's.
TEST(FindFilesWalk, TellsOfFoldersItCannotListAndMarksSpecialFiles) {
    Tree tree = kThreeLevels;
    tree["R"].push_back({"fifo.txt", false, false, true});
    // A listing that fails on the way is told too: what it did not give is missing.
    tree["R\\S2"] = {{"g.txt", false}, {kFailsHere, false}, {"h.txt", false}};
    lib_clsFindFiles finder = finder_of(tree, 1);
    std::vector<std::string> unreadable;
    finder.OnUnreadableFolder([&](const std::string& folder) { unreadable.push_back(folder); });
    EXPECT_THAT(walk(finder, "R\\*.TXT", "", true),
                ElementsAre("R\\a.txt file [] 1", "R\\S1\\d.txt file [S1] changed 2",
                            "R\\S1\\T\\f.txt file [S1\\T] changed 3", "R\\S1\\e.txt file [S1] changed 2",
                            "R\\b.txt file [] changed 1", "R\\S2\\g.txt file [S2] changed 2",
                            "R\\fifo.txt special [] changed 1"));
    EXPECT_THAT(unreadable, ElementsAre("R\\S1\\locked", "R\\S2"));

    EXPECT_FALSE(finder.FindFirstFile("*", "missing", true));
    tree["R\\S2"] = {{kFailsHere, false}};
    EXPECT_FALSE(finder.FindFirstFile("*", "R\\S2", true));
    EXPECT_THAT(unreadable, ElementsAre("R\\S1\\locked", "R\\S2", "missing", "R\\S2"));
}

TEST(FindFilesWalk, RefusesToGoDeeperThan9999Levels) {
    // Every folder holds one more, named "", so that the paths do not grow.
    const Tree endless = {{"R", {{"", true}}}};
    lib_clsFindFiles finder = finder_of(endless, 1);
    EXPECT_EQ(testing::described(testing::raised([&] { finder.FindFirstFile("*", "R", true); })),
              "-2147220504 FindNextFile(): Too many dir levels (10000)");
}

}  // namespace
}  // namespace quillet
