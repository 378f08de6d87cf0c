#include "files/folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "support/recording_user_side.h"
#include "support/files.h"
#include "text/error.h"

namespace quillet::lib_basFile {
namespace {

namespace fs = std::filesystem;

TEST(MakePath, CreatesEveryMissingLevelOrReportsAndRaisesWhatStopsIt) {
    testing::RecordingUserSide user;
    testing::ScratchFolder disk;
    fs::create_directory(disk.native("a"));
    EXPECT_TRUE(lib_MakePath(user, " \"" + disk.text("a") + "\\with blank\\x\" "));
    EXPECT_TRUE(fs::is_directory(disk.native("a/with blank/x")));
    EXPECT_TRUE(user.reports.empty());

    disk.write("file", "in the way");
    const std::string path = disk.text("file") + "\\sub";
    EXPECT_THROW(lib_MakePath(user, path), Error);  // raised again as it was reported
    ASSERT_EQ(user.reports.size(), 1u);
    EXPECT_EQ(std::tie(user.reports[0].source, user.reports[0].number, user.reports[0].details),
              std::make_tuple(std::string("Base7.lib_MakePath"), 75, "Path:" + path));
    EXPECT_FALSE(user.is_busy);

    // Nor are the folders made on the way kept.
    EXPECT_THROW(lib_MakePath(user, disk.text("new") + "\\level\\" + std::string(300, 'x')), Error);
    EXPECT_FALSE(fs::exists(disk.native("new")));
}

}  // namespace
}  // namespace quillet::lib_basFile
