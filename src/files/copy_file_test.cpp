#include "files/copy_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/recording_user_side.h"
#include "support/files.h"
#include "support/matchers.h"
#include "text/error.h"

namespace quillet::lib_basFile {
namespace {

namespace fs = std::filesystem;
using ::testing::IsEmpty;
using testing::MatchesExtendedRegex;

const testing::PrivateHome& home = testing::PrivateHome::get();

template <typename Copy>
std::optional<Error> raised(Copy copy) {
    try {
        copy();
    } catch (const Error& error) {
        return error;
    }
    return std::nullopt;
}

// Files whose names look like the copy's temporary names, anywhere in the folder.
std::vector<std::string> temporaries(const testing::ScratchFolder& disk) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(disk.native())) {
        if (entry.path().filename().string().find(".~") != std::string::npos) found.push_back(entry.path().string());
    }
    return found;
}

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
    const platform::FileTimes copied = *platform::file_times(disk.text("to/data.txt"));
    EXPECT_EQ(copied.last_access, k1950);
    EXPECT_EQ(copied.last_write, k2001);
    EXPECT_EQ(disk.read("to/data.txt"), "new content");
    std::ifstream trashed(home.trashed("data.txt"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(trashed), {}), "old content");

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
    EXPECT_THAT(temporaries(disk), IsEmpty());
}

TEST(CopyFile, AFailedCopyLeavesTheOldTargetAndNoTemporary) {
    testing::RecordingUserSide user;
    testing::ScratchFolder disk;
    fs::create_directory(disk.native("a folder"));
    disk.write("dot.d/report.mdb", "old report");
    disk.write("dot.d/readme", "old readme");

    const auto error = raised([&] { lib_CopyFile(user, disk.text("a folder"), disk.text("dot.d/report.mdb"), true); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), kLibraryError);
    EXPECT_EQ(error->source(), "Base7.lib_CopyFile");
    // The temporary name lies beside the target, also for a name without an extension.
    EXPECT_THAT(error->description(), MatchesExtendedRegex("Failed to copy file\r\n[^\r\n]+\r\n\r\nSrc=.*a folder\r\n"
                                                           "Tgt=.*\\\\dot\\.d\\\\report\\.~[0-9][0-9]"));
    try {
        lib_CopyFile(user, disk.text("missing"), disk.text("dot.d/readme"), true);
        ADD_FAILURE() << "no error";
    } catch (const SourceUnreadable& unreadable) {
        EXPECT_THAT(unreadable.description(), MatchesExtendedRegex(".*\r\nTgt=.*\\\\dot\\.d\\\\readme\\.~[0-9][0-9]"));
        // The source was at fault: the host's own words on one line, for the caller's own report.
        EXPECT_THAT(unreadable.reason(), MatchesExtendedRegex("[^\r\n]+"));
        EXPECT_FALSE(unreadable.not_a_regular_file());
    }

    EXPECT_THAT(user.reports, IsEmpty());  // the caller reports these
    EXPECT_EQ(disk.read("dot.d/report.mdb"), "old report");
    EXPECT_EQ(disk.read("dot.d/readme"), "old readme");
    EXPECT_THAT(temporaries(disk), IsEmpty());
    EXPECT_FALSE(user.is_busy);
}

TEST(CopyFile, TargetsThatCannotTakeTheCopy) {
    testing::RecordingUserSide user;
    testing::ScratchFolder disk;
    disk.write("new.txt", "new");
    disk.write("old.txt", "old");
    std::optional<Error> kept;
    {
        testing::BrokenTrash broken;  // the old target cannot go
        kept = raised([&] { lib_CopyFile(user, disk.text("new.txt"), disk.text("old.txt"), true); });
    }
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->number(), kLibraryError);
    EXPECT_EQ(kept->description(), "Failed to copy file\r\nCould not delete existing target file");
    EXPECT_EQ(disk.read("old.txt"), "old");

    disk.write("folder.txt/inside", "kept");  // a folder where the target file must be
    const auto folder = raised([&] { lib_CopyFile(user, disk.text("new.txt"), disk.text("folder.txt"), true); });
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->number(), 58);
    EXPECT_EQ(disk.read("folder.txt/inside"), "kept");

    // A folder that is not there is the target's fault, not the source's.
    try {
        lib_CopyFile(user, disk.text("new.txt"), disk.text("nowhere/new.txt"), true);
        ADD_FAILURE() << "no error";
    } catch (const SourceUnreadable&) {
        ADD_FAILURE() << "blamed on the source";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), kLibraryError);
    }

    // The temporary name must not outgrow what the file system holds.
    EXPECT_TRUE(lib_CopyFile(user, disk.text("new.txt"), disk.text() + "\\" + std::string(255, 'n'), true));
    EXPECT_TRUE(lib_CopyFile(user, disk.text("new.txt"), disk.text() + "\\" + std::string(251, 'e') + ".txt", true));
    const std::string too_long = disk.text() + "\\" + std::string(256, 'n');
    EXPECT_TRUE(raised([&] { lib_CopyFile(user, disk.text("new.txt"), too_long, true); }));
    EXPECT_THAT(temporaries(disk), IsEmpty());
}

}  // namespace
}  // namespace quillet::lib_basFile
