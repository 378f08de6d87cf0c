// The file services as both hosts must serve them, on real scratch folders.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "platform/platform.h"
#include "support/files.h"
#include "support/links.h"
#include "support/unit_checks.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;
using ::testing::UnorderedElementsAre;

std::vector<std::string> listed(const std::string& folder, std::string_view pattern) {
    std::vector<std::string> names;
    auto listing = list_folder(folder, pattern);
    if (!listing) return {"(cannot be listed)"};
    for (DirectoryEntry entry; listing->next(entry);) {
        names.push_back(entry.name + (entry.directory ? "\\" : "") + (entry.link ? " (link)" : ""));
    }
    return names;
}

TEST(FolderListing, MatchesStarsAndQuestionMarksOnlyIgnoringCaseDotsFirst) {
    ScratchFolder folder;
    for (const char* file : {"a.txt", "B.TXT", "noext", "[n]#1", "a.txtx"}) folder.write(file, "x");
    fs::create_directory(folder.native("sub"));
    const struct {
        const char* pattern;
        std::vector<std::string> names;  // sorted after "." and "..", which come first where they match
    } cases[] = {
        {"*.txt", {"B.TXT", "a.txt"}},
        {"NOEX?", {"noext"}},
        {"[N]#?", {"[n]#1"}},  // no lists or digit marks in the host's search
        {"*.*", {".\\", "..\\", "B.TXT", "[n]#1", "a.txt", "a.txtx", "noext", "sub\\"}},
    };
    for (const auto& test : cases) {
        std::vector<std::string> names = listed(folder.text(), test.pattern);
        std::sort(names.begin() + (names.size() >= 2 && names[1] == "..\\" ? 2 : 0), names.end());
        EXPECT_EQ(names, test.names) << test.pattern;
    }
    // A missing folder, or a file, cannot be listed: the end-to-end SourceFaults tests.
    EXPECT_EQ(attributes(folder.text("a.txt") + "\\"), std::nullopt);
}

// A copy takes its target's name only when nothing has it, else the first free
// temporary, and replaces nothing. Which side a failure is told against is
// CopyFile.AFailedCopyLeavesTheOldTargetAndNoTemporary's and TargetsThatCannotTakeTheCopy's.
TEST(CopyingFiles, NamesAndFailures) {
    ScratchFolder folder;
    folder.write("source", "new");
    folder.write("taken", "old");
    folder.write("t1", "someone else's");
    const auto copied = [&](const std::string& target) {
        CopyFacts facts;
        const std::string target_text = folder.text(target);  // the names keep a view of it
        const auto names = testing::copy_names(target_text, {folder.text("t1"), folder.text("t2")});
        const CopyResult result = copy_file(folder.text("source"), names, {}, &facts);
        return std::make_tuple(result, facts.in_place, facts.name, facts.bytes);
    };
    EXPECT_EQ(copied("target"), std::make_tuple(CopyResult::copied, true, folder.text("target"), 3u));
    EXPECT_FALSE(folder.exists("t2"));
    EXPECT_EQ(copied("taken"), std::make_tuple(CopyResult::copied, false, folder.text("t2"), 3u));
    EXPECT_EQ(folder.read("target") + folder.read("taken") + folder.read("t2"), "newoldnew");
    EXPECT_EQ(copy_file(folder.text("source"), folder.text("t1")), CopyResult::target_exists);
    EXPECT_EQ(folder.read("t1"), "someone else's");
}

#ifdef _WIN32
// A source that gives fewer bytes than its size leaves no copy. Under Wine the
// kernel's own files are such sources, as a share that lost its server is: sysfs
// says 4096 bytes and gives a few. (Linux knows them, and copies what they give.)
TEST(CopyingFiles, ASourceThatFallsShortLeavesNoCopy) {
    const std::string source = "Z:\\sys\\kernel\\uevent_seqnum";
    if (!attributes(source)) GTEST_SKIP() << "no sysfs here";
    ScratchFolder folder;
    EXPECT_EQ(copy_file(source, folder.text("copy")), CopyResult::source_failed);
    EXPECT_FALSE(folder.exists("copy"));
}
#endif

// The times a copy keeps are CopyFile's tests'.
TEST(CopyingFiles, TellsTheProgressAndStopsWhenTheProgressRoutineThrows) {
    ScratchFolder folder;
    folder.write("source", std::string(3u << 20, 'q'));
    std::uint64_t told = 0;
    ASSERT_EQ(copy_file(folder.text("source"), folder.text("copy"),
                        [&](std::uint64_t copied, std::uint64_t) { told = copied; }),
              CopyResult::copied);
    EXPECT_EQ(told, 3u << 20);

    const CopyProgress killed = [](std::uint64_t, std::uint64_t) { throw std::runtime_error("killed"); };
    EXPECT_THROW(copy_file(folder.text("source"), folder.text("cut"), killed), std::runtime_error);
    EXPECT_FALSE(folder.exists("cut"));
}

TEST(FileStatements, RaiseTheLanguagesErrors) {
    ScratchFolder folder;
    folder.write("a", "a");
    folder.write("b", "b");
    make_folder(folder.text("dir"), FolderAccess::owner_only);
#ifndef _WIN32  // on Windows its DACL says so: win32/owner_only_test.cpp
    EXPECT_EQ(fs::status(folder.native("dir")).permissions(), fs::perms::owner_all);
#endif
    const struct {
        const char* what;
        std::function<void()> statement;
        std::int32_t error;
    } cases[] = {
        {"MkDir of an existing folder", [&] { make_folder(folder.text("dir")); }, 75},
        {"an owner-only folder that exists", [&] { make_folder(folder.text("dir"), FolderAccess::owner_only); }, 75},
        {"MkDir below a missing folder", [&] { make_folder(folder.text("no/dir")); }, 76},
        {"Name onto an existing file", [&] { rename_file(folder.text("a"), folder.text("b")); }, 58},
        {"Name of a missing file", [&] { rename_file(folder.text("none"), folder.text("c")); }, 53},
        {"Name as itself", [&] { rename_file(folder.text("a"), folder.text("a")); }, 0},
        {"Kill of a missing file", [&] { remove_file(folder.text("none")); }, 53},
        {"Kill of a folder", [&] { remove_file(folder.text("dir")); }, 53},
    };
    for (const auto& test : cases) {
        const auto error = testing::raised(test.statement);
        EXPECT_EQ(error ? error->number() : 0, test.error) << test.what;
    }
    EXPECT_EQ(folder.read("b"), "b");
    ASSERT_TRUE(replace_file(folder.text("a"), folder.text("b")));
    EXPECT_EQ(folder.read("b"), "a");
    EXPECT_FALSE(folder.exists("a"));
}

// Reading a file whole is the end-to-end command file tests'; telling files apart
// by identity, whatever names they go by, SourceFaults.ATargetOrZipWorkFolderInsideTheSourceIsNotWalked's.
TEST(FileStatements, DeletionForGoodOfReadOnlyFilesAndOfEmptyFoldersOnly) {
    ScratchFolder folder;
    folder.write("tree/file", "12345");
    folder.write("tree/deeper/inner", "x");
    fs::permissions(folder.native("tree/deeper/inner"), fs::perms::owner_read);
    EXPECT_FALSE(remove_empty_folder(folder.text("tree")));
    EXPECT_TRUE(delete_permanently(folder.text("tree")));
    EXPECT_FALSE(folder.exists("tree"));
    EXPECT_FALSE(delete_permanently(folder.text("tree")));
}

// Paths longer than the 260 characters of older Windows calls.
TEST(FileStatements, LongPathsAreServedLikeShortOnes) {
    ScratchFolder folder;
    std::string deep = folder.text();
    for (const char letter : {'a', 'b', 'c', 'd', 'e', 'f'}) {
        deep += "\\" + std::string(50, letter);
        make_folder(deep);
    }
    folder.write("source", "content");
    ASSERT_EQ(copy_file(folder.text("source"), deep + "\\copy"), CopyResult::copied);
    rename_file(deep + "\\copy", deep + "\\renamed");
    EXPECT_EQ(listed(deep, "*"), (std::vector<std::string>{".\\", "..\\", "renamed"}));
    EXPECT_EQ(archive_status(deep + "\\renamed").value().size, 7u);
    EXPECT_TRUE(file_times(deep + "\\renamed"));
    EXPECT_TRUE(delete_permanently(folder.text() + "\\" + std::string(50, 'a')));
    EXPECT_FALSE(attributes(deep));
}

// Links are listed as links and followed for what they lead to; a deletion for
// good removes the links themselves, never what they lead to.
TEST(Links, AreFollowedForWhatTheyLeadToButNeverDeletedThrough) {
    ScratchFolder folder;
    folder.write("outside/kept", "x");
    fs::create_directory(folder.native("tree"));
    if (!testing::make_link(folder.native("outside"), folder.native("tree/to-folder"), true) ||
        !testing::make_link(folder.native("outside/kept"), folder.native("tree/to-file"), false)) {
        GTEST_SKIP() << testing::kNoLinksHere;
    }
    EXPECT_THAT(listed(folder.text("tree"), "to-*"), UnorderedElementsAre("to-folder\\ (link)", "to-file (link)"));
    EXPECT_TRUE(attributes(folder.text("tree/to-folder")).value().directory);
    EXPECT_EQ(file_identity(folder.text("tree/to-file")), file_identity(folder.text("outside/kept")));
    EXPECT_FALSE(passes_foreign_link(folder.text("tree/to-folder/kept")));  // our own
    ASSERT_TRUE(delete_permanently(folder.text("tree")));
    EXPECT_FALSE(folder.exists("tree"));
    EXPECT_EQ(folder.read("outside/kept"), "x");
}

// A work folder in use keeps its mark; one whose process has gone (its id now
// another process's: the start time differs) is removed with its mark, and one
// whose mark is no mark is left alone.
TEST(MarkedFolders, OnlyThoseOfProcessesGoneAreRemoved) {
    ScratchFolder folder;
    const auto made = create_marked_temp_folder(folder.text(), "qzw");
    ASSERT_TRUE(made);
    const std::size_t inside = folder.text().size() + 1;  // where a name inside the folder starts
    std::string mark = folder.read(made->mark_file.substr(inside));
    const std::size_t start = mark.find(' ', mark.find(' ') + 1) + 1;
    mark.replace(start, mark.find(' ', start) - start, "1");
    folder.write("qzwFFFE.tmp", mark);
    folder.write("qzwFFFE/inner", "x");
    folder.write("qzwFFFF.tmp", "not a mark\n");
    fs::create_directory(folder.native("qzwFFFF"));

    remove_abandoned_temp_folders(folder.text(), "qzw");
    EXPECT_THAT(listed(folder.text(), "qzw*"),
                UnorderedElementsAre(made->folder.substr(inside) + "\\", made->mark_file.substr(inside), "qzwFFFF\\",
                                     "qzwFFFF.tmp"));
}

}  // namespace
}  // namespace quillet::platform
