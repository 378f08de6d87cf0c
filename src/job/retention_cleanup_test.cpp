#include "job/retention_cleanup.h"

#include <gmock/gmock.h>

#include <filesystem>

#include "job/job_test_support.h"
#include "text/error.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

// Four snapshots of 28 to 30 September 2010, sorted; today is the 30th.
const std::vector<std::string> kFourSnapshots{"2010-09-28   10.00", "2010-09-29   10.00", "2010-09-29   18.00",
                                              "2010-09-30   09.00"};
const std::string kToday = "2010-09-30";

TEST(SnapshotsToDelete, KeepsTodaysAndCountsOlderEntriesOneByOne) {
    EXPECT_EQ(SnapshotsToDelete(kFourSnapshots, kToday, 2), 2);
    EXPECT_EQ(SnapshotsToDelete(kFourSnapshots, kToday, 1), 3);
    EXPECT_EQ(SnapshotsToDelete(kFourSnapshots, kToday, 0), 4);
    EXPECT_EQ(SnapshotsToDelete(kFourSnapshots, kToday, 4), 0);
    EXPECT_EQ(SnapshotsToDelete(kFourSnapshots, kToday, 9), 0);
    EXPECT_EQ(SnapshotsToDelete(kFourSnapshots, kToday, -1), 4);
    // An entry dated later than today is met first and uses up the count.
    std::vector<std::string> with_future = kFourSnapshots;
    with_future.push_back("2010-10-01   08.00");
    EXPECT_EQ(SnapshotsToDelete(with_future, kToday, 1), 5);
}

class RetentionCleanupTest : public testing::JobTest {
protected:
    RetentionCleanupTest() {
        options.SnapshotParent = disk.text("parent");
        options.DatedName = kToday + "   09.15";
    }
    void make_folder(const std::string& name) { fs::create_directories(disk.native("parent/" + name)); }
    bool left(const std::string& name) { return disk.exists("parent/" + name); }

    JobOptions options;
};

TEST_F(RetentionCleanupTest, DeletesOlderSnapshotsToTheTrashAndLeavesOtherEntries) {
    for (const std::string& name : kFourSnapshots) make_folder(name);
    make_folder("Archive");
    disk.write("parent/2010-09-27.zip", "old archive");
    options.KeepDays = 2;

    RetentionCleanup(options);

    EXPECT_FALSE(left("2010-09-27.zip"));
    EXPECT_FALSE(left("2010-09-28   10.00"));
    EXPECT_FALSE(left("2010-09-29   10.00"));
    EXPECT_TRUE(left("2010-09-29   18.00"));
    EXPECT_TRUE(left("2010-09-30   09.00"));
    EXPECT_TRUE(left("Archive"));
    const auto& home = testing::PrivateHome::get();
    EXPECT_TRUE(fs::exists(home.trashed("2010-09-28   10.00")));
    EXPECT_TRUE(fs::exists(home.trashed("2010-09-27.zip")));
    EXPECT_EQ(title(), "Cleanup...");
    EXPECT_THAT(screen.events, ::testing::Contains("lblDisplay=Cleaning up\r\n" +
                                                   options.SnapshotParent + "\\2010-09-29   10.00"));
    EXPECT_TRUE(screen.rows.empty());
}

TEST_F(RetentionCleanupTest, ADeletionThatFailsIsAMessageRowAndTheRestGoOn) {
    make_folder("2010-09-28   10.00");
    make_folder("2010-09-29   10.00");
    options.KeepDays = 0;
    // The trash cannot take anything while a file stands where it would be.
    const fs::path trash = testing::PrivateHome::get().data() / "Trash";
    const fs::path kept_trash = trash.string() + ".kept";
    if (fs::exists(trash)) fs::rename(trash, kept_trash);
    disk.write("trash-blocker", "");
    fs::copy_file(disk.native("trash-blocker"), trash);

    RetentionCleanup(options);

    fs::remove(trash);
    if (fs::exists(kept_trash)) fs::rename(kept_trash, trash);
    EXPECT_EQ(screen.rows, (std::vector<std::string>{
                               "Failed to cleanup " + options.SnapshotParent + "\\2010-09-28   10.00",
                               "Failed to cleanup " + options.SnapshotParent + "\\2010-09-29   10.00"}));
    EXPECT_TRUE(left("2010-09-28   10.00"));
}

TEST_F(RetentionCleanupTest, DoesNothingWithoutAFolderOfSnapshotsOrWithTheDefaultKeep) {
    make_folder("2010-09-28   10.00");
    options.KeepDays = kKeepEverything;
    RetentionCleanup(options);
    options.KeepDays = 0;
    options.SnapshotParent.clear();
    RetentionCleanup(options);
    EXPECT_TRUE(left("2010-09-28   10.00"));
    EXPECT_TRUE(screen.titles.empty());
}

TEST_F(RetentionCleanupTest, MoreThanAThousandSnapshotsIsAnErrorBeforeAnythingIsDeleted) {
    fs::create_directories(disk.native("parent"));
    for (int day = 0; day < 1001; ++day) {
        disk.write("parent/" + format_date(40000.0 + day, "yyyy-mm-dd"), "");
    }
    options.KeepDays = 0;
    EXPECT_THROW(RetentionCleanup(options), Error);
    EXPECT_TRUE(disk.exists("parent/" + format_date(40000.0, "yyyy-mm-dd")));
}

}  // namespace
}  // namespace quillet
