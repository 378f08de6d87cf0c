#include "job/retention_cleanup.h"

#include <gmock/gmock.h>

#include <filesystem>

#include "support/jobs.h"
#include "text/error.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

// Four snapshots of 28 to 30 September 2010, sorted; today is the 30th.
const std::vector<std::string> kFourSnapshots{"2010-09-28   10.00", "2010-09-29   10.00", "2010-09-29   18.00",
                                              "2010-09-30   09.00"};
const std::string kToday = "2010-09-30";

std::vector<Snapshot> folders(const std::vector<std::string>& names) {
    std::vector<Snapshot> snapshots;
    for (const std::string& name : names) snapshots.push_back({name, true});
    return snapshots;
}

TEST(SnapshotsToDelete, KeepsTodaysAndCountsOlderEntriesOneByOne) {
    const std::vector<Snapshot> four = folders(kFourSnapshots);
    const std::pair<std::int16_t, std::size_t> keep_and_deleted[] = {{2, 2}, {1, 3}, {0, 4}, {4, 0}, {9, 0}, {-1, 4}};
    for (const auto& [keep, deleted] : keep_and_deleted) {
        EXPECT_EQ(SnapshotsToDelete(four, kToday, keep), deleted) << keep;
    }
    // An entry dated later than today is met first and uses up the count.
    std::vector<std::string> with_future = kFourSnapshots;
    with_future.push_back("2010-10-01   08.00");
    EXPECT_EQ(SnapshotsToDelete(folders(with_future), kToday, 1), 5u);
}

TEST(SortSnapshots, ByNameIgnoringCaseKeepingTheListingOrderOfEqualNames) {
    std::vector<Snapshot> snapshots = folders({"b", "Ä", "2010-09-30   09.00   (X)", "a", "ä", "B", "2010-09-30   09.00   (x)"});
    lib_SortArray(snapshots);
    std::string order;
    for (const Snapshot& snapshot : snapshots) order += snapshot.name + "|";
    EXPECT_EQ(order, "2010-09-30   09.00   (X)|2010-09-30   09.00   (x)|a|b|B|Ä|ä|");
}

class RetentionCleanupTest : public testing::JobTest {
protected:
    RetentionCleanupTest() {
        plan.SnapshotParent = disk.text("parent");
        plan.DatedName = kToday + "   09.15";
    }
    void clean_up() { RetentionCleanup(options, plan, activity); }
    void make_folder(const std::string& name) { fs::create_directories(disk.native("parent/" + name)); }
    bool left(const std::string& name) { return disk.exists("parent/" + name); }

    JobOptions options;
    SnapshotPlan plan;
    MainWindowActivity activity;
};

TEST_F(RetentionCleanupTest, DeletesOlderSnapshotsToTheTrashAndLeavesOtherEntries) {
    for (const std::string& name : kFourSnapshots) make_folder(name);
    make_folder("Archive");
    disk.write("parent/2010-09-27.zip", "old archive");
    options.KeepDays = 2;

    clean_up();

    EXPECT_FALSE(left("2010-09-27.zip") || left("2010-09-28   10.00") || left("2010-09-29   10.00"));
    EXPECT_TRUE(left("2010-09-29   18.00") && left("2010-09-30   09.00") && left("Archive"));
    EXPECT_TRUE(fs::exists(testing::PrivateHome::get().trashed("2010-09-28   10.00")));
    EXPECT_TRUE(fs::exists(testing::PrivateHome::get().trashed("2010-09-27.zip")));
    EXPECT_TRUE(screen.rows.empty());
}

TEST_F(RetentionCleanupTest, ADeletionThatFailsIsAMessageRowAndTheRestGoOn) {
    make_folder("2010-09-28   10.00");
    make_folder("2010-09-29   10.00");
    options.KeepDays = 0;
    {
        testing::BrokenTrash broken;
        clean_up();
    }
    EXPECT_EQ(screen.rows, (std::vector<std::string>{
                               "Failed to cleanup " + plan.SnapshotParent + "\\2010-09-28   10.00",
                               "Failed to cleanup " + plan.SnapshotParent + "\\2010-09-29   10.00"}));
    EXPECT_TRUE(left("2010-09-28   10.00"));
    EXPECT_EQ(title(), "Cleanup...");
    EXPECT_THAT(screen.events, ::testing::Contains("lblDisplay=Cleaning up\r\n" + plan.SnapshotParent +
                                                   "\\2010-09-29   10.00"));
}

TEST_F(RetentionCleanupTest, DoesNothingWithoutAFolderOfSnapshotsOrWithTheDefaultKeep) {
    make_folder("2010-09-28   10.00");
    options.KeepDays = kKeepEverything;
    clean_up();
    options.KeepDays = 0;
    plan.SnapshotParent.clear();
    clean_up();
    EXPECT_TRUE(left("2010-09-28   10.00"));
    EXPECT_TRUE(screen.titles.empty());
}

TEST_F(RetentionCleanupTest, MoreThanAThousandSnapshotsIsAnErrorBeforeAnythingIsDeleted) {
    fs::create_directories(disk.native("parent"));
    for (int day = 0; day < 1001; ++day) {
        disk.write("parent/" + format_date(40000.0 + day, "yyyy-mm-dd"), "");
    }
    options.KeepDays = 0;
    EXPECT_THROW(clean_up(), Error);
    EXPECT_TRUE(disk.exists("parent/" + format_date(40000.0, "yyyy-mm-dd")));
}

}  // namespace
}  // namespace quillet
