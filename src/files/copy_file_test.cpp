#include "files/copy_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/posix/file_test_support.h"
#include "text/error.h"
#include "ui/busy.h"
#include "ui/recording_front_end.h"

namespace quillet::lib_basFile {
namespace {

namespace fs = std::filesystem;
using ::testing::MatchesRegex;
using ::testing::StartsWith;

const testing::PrivateHome& home = testing::PrivateHome::get();

// 2001-02-03 04:05:06.1234567 and 1950-06-07 00:00:00.7654321 UTC as file times.
constexpr platform::FileTime k2001 = 126'256'467'060'000'000 + 1'234'567;
constexpr platform::FileTime k1950 = 110'268'864'000'000'000 + 7'654'321;

class CopyFile : public ::testing::Test {
protected:
    std::string text(const std::string& inside = {}) const { return disk_.text(inside); }

    // The raised error, when the copy raised one.
    template <typename Copy>
    std::optional<Error> raised(Copy copy) {
        try {
            copy();
        } catch (const Error& error) {
            return error;
        }
        return std::nullopt;
    }

    // Names in a folder that look like the copy's temporary files.
    std::vector<std::string> temporaries(const std::string& inside = {}) const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(disk_.native(inside))) {
            const std::string name = entry.path().filename().string();
            if (name.find(".~") != std::string::npos) found.push_back(name);
        }
        return found;
    }

    testing::RecordingFrontEnd screen_;
    FrontEndScope installed_{screen_};
    testing::ScratchFolder disk_;
};

TEST_F(CopyFile, IntoAFolderWithTheSourcesTimes) {
    disk_.write("from/data.txt", "content");
    fs::create_directory(disk_.native("to"));
    platform::set_file_times(text("from/data.txt"), {0, k1950, k2001});

    EXPECT_TRUE(lib_CopyFile(text("from/data.txt"), text("to") + "\\", true));

    const platform::FileTimes copied = *platform::file_times(text("to/data.txt"));
    EXPECT_EQ(copied.last_access, k1950);
    EXPECT_EQ(copied.last_write, k2001);
    EXPECT_EQ(disk_.read("to/data.txt"), "content");
    EXPECT_TRUE(temporaries("to").empty());
    EXPECT_FALSE(lib_basDisplay::BusyState);
}

TEST_F(CopyFile, OverAnExistingTargetWhichGoesToTheTrash) {
    disk_.write("new.txt", "new content");
    disk_.write("copy over me.txt", "old content");
    platform::set_file_times(text("new.txt"), {0, k1950, k2001});

    EXPECT_TRUE(lib_CopyFile(text("new.txt"), text("copy over me.txt"), true));

    EXPECT_EQ(disk_.read("copy over me.txt"), "new content");
    EXPECT_EQ(platform::file_times(text("copy over me.txt"))->last_write, k2001);
    std::ifstream trashed(home.trashed("copy over me.txt"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(trashed), {}), "old content");
    EXPECT_TRUE(temporaries().empty());
}

TEST_F(CopyFile, SkippedFilesMakeTheResultFalse) {
    disk_.write("same.txt", "untouched");
    EXPECT_FALSE(lib_CopyFile(text("same.txt"), text("same.txt"), true));
    EXPECT_EQ(disk_.read("same.txt"), "untouched");

    disk_.write("target.txt", "kept");
    EXPECT_FALSE(lib_CopyFile(text("same.txt"), text("target.txt"), false));
    EXPECT_EQ(disk_.read("target.txt"), "kept");

    EXPECT_FALSE(lib_CopyFile(text() + "\\*.none", text("target.txt"), true));
    EXPECT_TRUE(temporaries().empty());
}

TEST_F(CopyFile, WildcardCopiesTheRestAfterASkippedFile) {
    for (const char* name : {"src/a.txt", "src/b.txt", "src/c.txt", "src/other.dat"}) disk_.write(name, name);
    disk_.write("dst/b.txt", "already there");

    EXPECT_FALSE(lib_CopyFile(text("src") + "\\*.txt", text("dst"), false));

    EXPECT_EQ(disk_.read("dst/a.txt"), "src/a.txt");
    EXPECT_EQ(disk_.read("dst/b.txt"), "already there");
    EXPECT_EQ(disk_.read("dst/c.txt"), "src/c.txt");
    EXPECT_FALSE(disk_.exists("dst/other.dat"));

    EXPECT_TRUE(lib_CopyFile(text("src") + "\\?.txt", text("dst"), true));
    EXPECT_EQ(disk_.read("dst/b.txt"), "src/b.txt");
}

TEST_F(CopyFile, AFailedCopyLeavesTheOldTargetAndNoTemporary) {
    fs::create_directory(disk_.native("a folder"));
    disk_.write("report.mdb", "old report");

    const auto error = raised([&] { lib_CopyFile(text("a folder"), text("report.mdb"), true); });

    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), kLibraryError);
    EXPECT_EQ(error->source(), "Base7.lib_CopyFile");
    EXPECT_THAT(error->description(),
                MatchesRegex("Failed to copy file\r\nIs a directory\r\n\r\nSrc=" + std::string(".*a folder") +
                             "\r\nTgt=.*\\\\report\\.~[0-9][0-9]"));
    EXPECT_TRUE(screen_.boxes.empty());  // the caller reports it
    EXPECT_EQ(disk_.read("report.mdb"), "old report");
    EXPECT_TRUE(temporaries().empty());
    EXPECT_FALSE(lib_basDisplay::BusyState);
}

TEST_F(CopyFile, TheTemporaryNameLiesBesideTheTarget) {
    disk_.write("dot.d/readme", "old");
    const auto error = raised([&] { lib_CopyFile(text("missing"), text("dot.d/readme"), true); });
    ASSERT_TRUE(error);
    EXPECT_THAT(error->description(), MatchesRegex(".*\r\nTgt=.*\\\\dot\\.d\\\\readme\\.~[0-9][0-9]"));

}

TEST_F(CopyFile, NamesAsLongAsTheFileSystemAllows) {
    // The temporary name must not outgrow what the file system can hold.
    const std::string longest(255, 'n');
    const std::string longest_with_extension(251, 'e');
    disk_.write("source", "long");
    EXPECT_TRUE(lib_CopyFile(text("source"), text() + "\\" + longest, true));
    EXPECT_TRUE(lib_CopyFile(text("source"), text() + "\\" + longest_with_extension + ".txt", true));
    EXPECT_EQ(disk_.read(longest), "long");
    EXPECT_EQ(disk_.read(longest_with_extension + ".txt"), "long");

    const auto too_long = raised([&] { lib_CopyFile(text("source"), text() + "\\" + std::string(256, 'n'), true); });
    ASSERT_TRUE(too_long);
    EXPECT_EQ(too_long->source(), "Base7.lib_CopyFile");
    EXPECT_TRUE(temporaries().empty());
}

TEST_F(CopyFile, AnOldTargetThatCannotGoToTheTrashStays) {
    disk_.write("new.txt", "new");
    disk_.write("old.txt", "old");
    std::optional<Error> error;
    {
        testing::BrokenTrash broken;
        error = raised([&] { lib_CopyFile(text("new.txt"), text("old.txt"), true); });
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), kLibraryError);
    EXPECT_EQ(error->description(), "Failed to copy file\r\nCould not delete existing target file");
    EXPECT_EQ(disk_.read("old.txt"), "old");
    EXPECT_TRUE(temporaries().empty());
}

TEST_F(CopyFile, AFolderWhereTheTargetFileMustBe) {
    disk_.write("new.txt", "new");
    disk_.write("target.txt/inside", "kept");

    const auto error = raised([&] { lib_CopyFile(text("new.txt"), text("target.txt"), true); });

    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), 58);
    EXPECT_EQ(error->source(), "Base7.lib_CopyFile");
    EXPECT_EQ(disk_.read("target.txt/inside"), "kept");
    EXPECT_TRUE(temporaries().empty());
    EXPECT_FALSE(lib_basDisplay::BusyState);
}

}  // namespace
}  // namespace quillet::lib_basFile
