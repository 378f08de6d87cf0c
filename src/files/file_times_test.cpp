#include "files/file_times.h"

#include <gtest/gtest.h>

#include "support/files.h"

namespace quillet::lib_basFile {
namespace {

// 2001-02-03 04:05:06 UTC as a date and as a file time.
const Date k2001 = date_from_parts({2001, 2, 3, 4, 5, 6});
constexpr platform::FileTime k2001FileTime = 126'256'467'060'000'000;

TEST(FileDateTime, SetsTheSelectedTimeOnlyAndReadsItBack) {
    testing::ScratchFolder disk;
    disk.write("file", "x");
    const std::string path = disk.text("file");

    EXPECT_EQ(lib_FileDateTime(path, "M", k2001, true), k2001);  // universal time as it stands
    EXPECT_EQ(platform::file_times(path)->last_write, k2001FileTime);
    EXPECT_EQ(lib_FileDateTime(path, "other", std::nullopt, true), k2001);

    const platform::FileTimes before = *platform::file_times(path);
    const Date access = date_from_parts({1999, 12, 31, 23, 59, 58});
    EXPECT_EQ(lib_FileDateTime(path, "A", access), access);  // local time, there and back
    EXPECT_EQ(platform::file_times(path)->last_write, before.last_write);
    EXPECT_EQ(lib_FileDateTime(path, "C", std::nullopt, true), platform::utc_date_from_file_time(before.creation));

    const std::string missing = disk.text("missing");
    EXPECT_EQ(lib_FileDateTime(missing, "M", k2001), 0);
    EXPECT_FALSE(disk.exists("missing"));
}

}  // namespace
}  // namespace quillet::lib_basFile
