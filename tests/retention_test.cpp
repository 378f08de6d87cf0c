// /K: the older snapshots beyond those kept go to the trash before the new one is
// written; today's are kept, and what is no snapshot always.

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "sandbox.h"

namespace quillet::end_to_end {
namespace {

// Four snapshots of earlier runs, the newest made this morning, an archive, and a
// folder that is no snapshot; the job runs at noon.
TEST(Retention, KeepsTodaysAndTheNewestOlderOnesAndNothingElseGoes) {
    Sandbox box;
    box.write("YearlyData/a.txt");
    for (const char* dated : {"2010-09-28   10.00", "2010-09-29   10.00", "2010-09-29   18.00", "2010-09-30   09.00"}) {
        box.write("bak/YearlyData/" + std::string(dated) + "/a.txt", "old");
    }
    box.write("bak/YearlyData/2010-09-28.zip");
    box.write("bak/YearlyData/Archive/keep.txt");

    const Outcome outcome =
        box.run({box.text("YearlyData") + "\\*.*", box.text("bak"), "/K=2"}, RunOptions().at("2010-09-30 12:00:00"));
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_EQ(box.trashed(), (Lines{"2010-09-28   10.00", "2010-09-28.zip", "2010-09-29   10.00"}));
    EXPECT_EQ(box.read("bak/YearlyData/2010-09-30   12.00/a.txt"), "a.txt");
    EXPECT_TRUE(box.exists("bak/YearlyData/Archive/keep.txt"));
    // What is not in the trash is still there: two older snapshots, the new one and Archive.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(box.native("bak/YearlyData")), {}), 4);
}

}  // namespace
}  // namespace quillet::end_to_end
