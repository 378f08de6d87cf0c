#include "files/copy_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/files.h"
#include "support/matchers.h"
#include "support/recording_user_side.h"
#include "support/unit_checks.h"
#include "text/error.h"

namespace quillet::lib_basFile {
namespace {

namespace fs = std::filesystem;
using testing::described;
using ::testing::IsEmpty;
using testing::MatchesExtendedRegex;
using testing::raised;
using ::testing::StartsWith;
using testing::temporaries;

const testing::PrivateHome& home = testing::PrivateHome::get();
// The start of an error of the library's own, raised again by lib_CopyFile.
const std::string kLibraryErrorIn = std::to_string(kLibraryError) + " Base7.lib_CopyFile: ";

TEST(CopyFile, OverAnOldTargetWhichGoesToTheTrashOrSkippingWhatIsNotToBeCopied) {
    testing::RecordingUserSide user;
    testing::ScratchFolder disk;
    disk.write("from/data.txt", "new content");
    disk.write("to/data.txt", "old content");
    // 2001-02-03 04:05:06.1234567 and 1950-06-07 00:00:00.7654321 UTC as file times.
    constexpr platform::FileTime k2001 = 126'256'467'060'000'000 + 1'234'567;
    constexpr platform::FileTime k1950 = 110'268'864'000'000'000 + 7'654'321;
    platform::set_file_times(disk.text("from/data.txt"), {0, k1950, k2001});

    EXPECT_TRUE(lib_CopyFile(user, disk.text("from/data.txt"), disk.text("to") + "\\", true));
    EXPECT_EQ(platform::file_times(disk.text("to/data.txt"))->last_access, k1950);
    EXPECT_EQ(platform::file_times(disk.text("to/data.txt"))->last_write, k2001);
    EXPECT_EQ(disk.read("to/data.txt"), "new content");
    EXPECT_EQ(testing::file_bytes(home.trashed("data.txt")), "old content");

    // A file onto itself, a pattern that matches nothing, a target not to be overwritten.
    for (const char* name : {"src/a.txt", "src/b.txt", "src/other.dat"}) disk.write(name, name);
    disk.write("dst/b.txt", "already there");
    EXPECT_FALSE(lib_CopyFile(user, disk.text("src/a.txt"), disk.text("src/a.txt"), true));
    EXPECT_FALSE(lib_CopyFile(user, disk.text("src") + "\\*.none", disk.text("dst"), true));
    EXPECT_FALSE(lib_CopyFile(user, disk.text("src") + "\\*.txt", disk.text("dst"), false));
    EXPECT_EQ(disk.read("src/a.txt"), "src/a.txt");
    EXPECT_EQ(disk.read("dst/a.txt"), "src/a.txt");
    EXPECT_EQ(disk.read("dst/b.txt"), "already there");
    EXPECT_FALSE(disk.exists("dst/other.dat"));
    EXPECT_THAT(temporaries(disk.native()), IsEmpty());
}

TEST(CopyFile, AFailedCopyLeavesTheOldTargetAndNoTemporary) {
    testing::RecordingUserSide user;
    testing::ScratchFolder disk;
    fs::create_directory(disk.native("a folder"));
    disk.write("dot.d/report.mdb", "old report");
    disk.write("dot.d/readme", "old readme");

    const auto copy_a_folder = [&] { lib_CopyFile(user, disk.text("a folder"), disk.text("dot.d/report.mdb"), true); };
    const auto error = raised<SourceUnreadable>(copy_a_folder);
    // The temporary name lies beside the target, also for a name without an extension.
    EXPECT_THAT(described(error),
                MatchesExtendedRegex(kLibraryErrorIn + "Failed to copy file\r\n[^\r\n]+\r\n\r\n"
                                                       "Src=.*a folder\r\nTgt=.*\\\\dot\\.d\\\\report\\.~[0-9][0-9]"));
    const auto unreadable =
        raised<SourceUnreadable>([&] { lib_CopyFile(user, disk.text("missing"), disk.text("dot.d/readme"), true); });
    ASSERT_TRUE(unreadable);
    EXPECT_THAT(unreadable->description(), MatchesExtendedRegex(".*\r\nTgt=.*\\\\dot\\.d\\\\readme\\.~[0-9][0-9]"));
    // The source was at fault: the host's own words on one line, for the caller's own report.
    EXPECT_THAT(unreadable->reason(), MatchesExtendedRegex("[^\r\n]+"));
    EXPECT_FALSE(unreadable->not_a_regular_file());

    // The caller reports these; that a raise ends the busy state is MakePath's test's (the same BusyScope).
    EXPECT_THAT(user.reports, IsEmpty());
    EXPECT_EQ(disk.read("dot.d/report.mdb"), "old report");
    EXPECT_EQ(disk.read("dot.d/readme"), "old readme");
    EXPECT_THAT(temporaries(disk.native()), IsEmpty());
}

TEST(CopyFile, TargetsThatCannotTakeTheCopy) {
    testing::RecordingUserSide user;
    testing::ScratchFolder disk;
    disk.write("new.txt", "new");
    disk.write("old.txt", "old");
    std::string kept;
    {
        testing::BrokenTrash broken;  // the old target cannot go
        kept = described(raised([&] { lib_CopyFile(user, disk.text("new.txt"), disk.text("old.txt"), true); }));
    }
    EXPECT_EQ(kept, kLibraryErrorIn + "Failed to copy file\r\nCould not delete existing target file");
    EXPECT_EQ(disk.read("old.txt"), "old");

    disk.write("folder.txt/inside", "kept");  // a folder where the target file must be
    EXPECT_THAT(described(raised([&] { lib_CopyFile(user, disk.text("new.txt"), disk.text("folder.txt"), true); })),
                StartsWith("58 "));
    EXPECT_EQ(disk.read("folder.txt/inside"), "kept");

    // A folder that is not there is the target's fault, not the source's.
    const auto into_nowhere = [&] { lib_CopyFile(user, disk.text("new.txt"), disk.text("nowhere/new.txt"), true); };
    EXPECT_THAT(into_nowhere, ::testing::Not(::testing::Throws<SourceUnreadable>()));
    EXPECT_THAT(described(raised(into_nowhere)), StartsWith(kLibraryErrorIn));

    // The temporary name must not outgrow what the file system holds.
    EXPECT_TRUE(lib_CopyFile(user, disk.text("new.txt"), disk.text() + "\\" + std::string(255, 'n'), true));
    EXPECT_TRUE(lib_CopyFile(user, disk.text("new.txt"), disk.text() + "\\" + std::string(251, 'e') + ".txt", true));
    const std::string too_long = disk.text() + "\\" + std::string(256, 'n');
    EXPECT_TRUE(raised([&] { lib_CopyFile(user, disk.text("new.txt"), too_long, true); }));
    EXPECT_THAT(temporaries(disk.native()), IsEmpty());
}

}  // namespace
}  // namespace quillet::lib_basFile
