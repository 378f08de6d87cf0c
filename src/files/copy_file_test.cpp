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

// 2001-02-03 04:05:06.1234567 and 1950-06-07 00:00:00.7654321 UTC as file times.
constexpr platform::FileTime k2001 = 126'256'467'060'000'000 + 1'234'567;
constexpr platform::FileTime k1950 = 110'268'864'000'000'000 + 7'654'321;

class CopyFile : public ::testing::Test {
protected:
    std::string text(const std::string& inside = {}) const { return disk_.text(inside); }

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
    std::vector<std::string> temporaries() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(disk_.native())) {
            if (entry.path().filename().string().find(".~") != std::string::npos) found.push_back(entry.path().string());
        }
        return found;
    }

    testing::RecordingUserSide user_;
    testing::ScratchFolder disk_;
};

TEST_F(CopyFile, OverAnOldTargetWhichGoesToTheTrash) {
    disk_.write("from/data.txt", "new content");
    disk_.write("to/data.txt", "old content");
    platform::set_file_times(text("from/data.txt"), {0, k1950, k2001});

    EXPECT_TRUE(lib_CopyFile(user_, text("from/data.txt"), text("to") + "\\", true));

    const platform::FileTimes copied = *platform::file_times(text("to/data.txt"));
    EXPECT_EQ(copied.last_access, k1950);
    EXPECT_EQ(copied.last_write, k2001);
    EXPECT_EQ(disk_.read("to/data.txt"), "new content");
    std::ifstream trashed(home.trashed("data.txt"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(trashed), {}), "old content");
    EXPECT_THAT(temporaries(), IsEmpty());
    EXPECT_FALSE(user_.is_busy);
}

TEST_F(CopyFile, SkippedFilesMakeTheResultFalse) {
    for (const char* name : {"src/a.txt", "src/b.txt", "src/c.txt", "src/other.dat"}) disk_.write(name, name);
    disk_.write("dst/b.txt", "already there");

    EXPECT_FALSE(lib_CopyFile(user_, text("src/a.txt"), text("src/a.txt"), true));
    EXPECT_FALSE(lib_CopyFile(user_, text("src") + "\\*.none", text("dst"), true));
    EXPECT_FALSE(lib_CopyFile(user_, text("src") + "\\*.txt", text("dst"), false));

    EXPECT_EQ(disk_.read("src/a.txt"), "src/a.txt");
    EXPECT_EQ(disk_.read("dst/a.txt"), "src/a.txt");
    EXPECT_EQ(disk_.read("dst/b.txt"), "already there");
    EXPECT_EQ(disk_.read("dst/c.txt"), "src/c.txt");
    EXPECT_FALSE(disk_.exists("dst/other.dat"));
}

TEST_F(CopyFile, AFailedCopyLeavesTheOldTargetAndNoTemporary) {
    fs::create_directory(disk_.native("a folder"));
    disk_.write("dot.d/report.mdb", "old report");
    disk_.write("dot.d/readme", "old readme");

    const auto error = raised([&] { lib_CopyFile(user_, text("a folder"), text("dot.d/report.mdb"), true); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), kLibraryError);
    EXPECT_EQ(error->source(), "Base7.lib_CopyFile");
    // The temporary name lies beside the target, also for a name without an extension.
    EXPECT_THAT(error->description(), MatchesExtendedRegex("Failed to copy file\r\n[^\r\n]+\r\n\r\nSrc=.*a folder\r\n"
                                                   "Tgt=.*\\\\dot\\.d\\\\report\\.~[0-9][0-9]"));
    const auto no_extension = raised([&] { lib_CopyFile(user_, text("missing"), text("dot.d/readme"), true); });
    ASSERT_TRUE(no_extension);
    EXPECT_THAT(no_extension->description(), MatchesExtendedRegex(".*\r\nTgt=.*\\\\dot\\.d\\\\readme\\.~[0-9][0-9]"));

    // The source was at fault: its reason on one line, for the caller's own report.
    try {
        lib_CopyFile(user_, text("missing"), text("dot.d/readme"), true);
        ADD_FAILURE() << "no error";
    } catch (const SourceUnreadable& unreadable) {
        // The host's own words ("No such file or directory", "File not found.").
        EXPECT_THAT(unreadable.reason(), MatchesExtendedRegex("[^\r\n]+"));
        EXPECT_FALSE(unreadable.not_a_regular_file());
    }

    EXPECT_THAT(user_.reports, IsEmpty());  // the caller reports these
    EXPECT_EQ(disk_.read("dot.d/report.mdb"), "old report");
    EXPECT_EQ(disk_.read("dot.d/readme"), "old readme");
    EXPECT_THAT(temporaries(), IsEmpty());
    EXPECT_FALSE(user_.is_busy);
}

TEST_F(CopyFile, TargetsThatCannotTakeTheCopy) {
    disk_.write("new.txt", "new");
    disk_.write("old.txt", "old");
    std::optional<Error> kept;
    {
        testing::BrokenTrash broken;  // the old target cannot go
        kept = raised([&] { lib_CopyFile(user_, text("new.txt"), text("old.txt"), true); });
    }
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->number(), kLibraryError);
    EXPECT_EQ(kept->description(), "Failed to copy file\r\nCould not delete existing target file");
    EXPECT_EQ(disk_.read("old.txt"), "old");

    disk_.write("folder.txt/inside", "kept");  // a folder where the target file must be
    const auto folder = raised([&] { lib_CopyFile(user_, text("new.txt"), text("folder.txt"), true); });
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->number(), 58);
    EXPECT_EQ(folder->source(), "Base7.lib_CopyFile");
    EXPECT_EQ(disk_.read("folder.txt/inside"), "kept");

    // A folder that is not there is the target's fault, not the source's.
    try {
        lib_CopyFile(user_, text("new.txt"), text("nowhere/new.txt"), true);
        ADD_FAILURE() << "no error";
    } catch (const SourceUnreadable&) {
        ADD_FAILURE() << "blamed on the source";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), kLibraryError);
    }

    // The temporary name must not outgrow what the file system holds.
    EXPECT_TRUE(lib_CopyFile(user_, text("new.txt"), text() + "\\" + std::string(255, 'n'), true));
    EXPECT_TRUE(lib_CopyFile(user_, text("new.txt"), text() + "\\" + std::string(251, 'e') + ".txt", true));
    EXPECT_TRUE(raised([&] { lib_CopyFile(user_, text("new.txt"), text() + "\\" + std::string(256, 'n'), true); }));
    EXPECT_THAT(temporaries(), IsEmpty());
}

}  // namespace
}  // namespace quillet::lib_basFile
