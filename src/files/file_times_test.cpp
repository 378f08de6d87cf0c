#include "files/file_times.h"

#include <gtest/gtest.h>

#include "platform/posix/file_test_support.h"
#include "text/dates.h"

namespace quillet::lib_basFile {
namespace {

// 2001-02-03 04:05:06 UTC as a file time.
constexpr platform::FileTime k2001 = 126'256'467'060'000'000;

class FileDateTime : public ::testing::Test {
protected:
    void SetUp() override {
        disk_.write("file", "x");
        path_ = disk_.text("file");
    }

    testing::ScratchFolder disk_;
    std::string path_;
};

TEST_F(FileDateTime, SetsOneTimeAndReadsItBack) {
    const Date date = date_from_parts({2001, 2, 3, 4, 5, 6});

    EXPECT_EQ(lib_FileDateTime(path_, "M", date, true), date);
    EXPECT_EQ(platform::file_times(path_)->last_write, k2001);  // taken as universal time

    const platform::FileTimes before = *platform::file_times(path_);
    const Date access = date_from_parts({1999, 12, 31, 23, 59, 58});
    EXPECT_EQ(lib_FileDateTime(path_, "A", access), access);  // local time, there and back
    const platform::FileTimes after = *platform::file_times(path_);
    EXPECT_EQ(after.last_write, before.last_write);
    EXPECT_EQ(after.creation, before.creation);
}

TEST_F(FileDateTime, SelectorsPickTheirTime) {
    platform::set_file_times(path_, {0, k2001 - 864'000'000'000, k2001});
    const platform::FileTimes times = *platform::file_times(path_);

    EXPECT_EQ(lib_FileDateTime(path_, "M", std::nullopt, true), date_from_parts({2001, 2, 3, 4, 5, 6}));
    EXPECT_EQ(lib_FileDateTime(path_, "anything", std::nullopt, true), date_from_parts({2001, 2, 3, 4, 5, 6}));
    EXPECT_EQ(lib_FileDateTime(path_, "A", std::nullopt, true), date_from_parts({2001, 2, 2, 4, 5, 6}));
    EXPECT_EQ(lib_FileDateTime(path_, "C", std::nullopt, true), platform::utc_date_from_file_time(times.creation));
    EXPECT_EQ(lib_FileDateTime(path_, "c", std::nullopt, true), date_from_parts({2001, 2, 3, 4, 5, 6}));
}

TEST_F(FileDateTime, ZeroForAMissingFile) {
    std::string missing = disk_.text("missing");
    EXPECT_EQ(lib_FileDateTime(missing, "M"), 0);
    EXPECT_EQ(lib_FileDateTime(missing, "M", 40000.5), 0);
    EXPECT_FALSE(disk_.exists("missing"));
}

TEST(FileTimesRecord, OnlyForFilesThatExist) {
    testing::ScratchFolder disk;
    platform::FileTimes times{1, 2, 3};
    EXPECT_FALSE(lib_GetFileTimes(disk.text("missing"), times));
    EXPECT_FALSE(lib_SetFileTimes(disk.text("missing"), times));
    EXPECT_EQ(times.last_write, 3);
}

}  // namespace
}  // namespace quillet::lib_basFile
