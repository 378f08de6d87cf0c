#include <gtest/gtest.h>

#include "platform/platform.h"
#include "platform/posix/file_test_support.h"

namespace quillet::platform {
namespace {

// 2001-02-03 04:05:06 UTC and a fraction, and 1950-06-07 (before 1970) with one.
constexpr FileTime k2001 = 126'256'467'060'000'000 + 1'234'567;
constexpr FileTime k1950 = 110'268'864'000'000'000 + 7'654'321;

TEST(FileTimes, SetTimesReadBackToTheHundredNanoseconds) {
    testing::ScratchFolder folder;
    folder.write("file", "x");
    const FileTimes before = *file_times(folder.text("file"));

    ASSERT_TRUE(set_file_times(folder.text("file"), FileTimes{0, k1950, k2001}));

    const FileTimes after = *file_times(folder.text("file"));
    EXPECT_EQ(after.last_access, k1950);
    EXPECT_EQ(after.last_write, k2001);
    EXPECT_EQ(after.creation, before.creation);  // this host cannot set it
}

TEST(FileTimes, FreshFilesHaveACreationTimeNearNow) {
    testing::ScratchFolder folder;
    folder.write("file", "x");
    const FileTimes times = *file_times(folder.text("file"));
    EXPECT_GT(times.creation, k2001);
    EXPECT_LE(times.creation, times.last_write + 10'000'000);
}

TEST(FileTimes, NothingForMissingFilesOrUnmappedDrives) {
    testing::ScratchFolder folder;
    EXPECT_FALSE(file_times(folder.text("missing")));
    EXPECT_FALSE(set_file_times(folder.text("missing"), FileTimes{}));
    EXPECT_FALSE(file_times("Q:\\unmapped\\file"));
}

}  // namespace
}  // namespace quillet::platform
