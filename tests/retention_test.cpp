// /K: the older snapshots beyond those kept go to the trash before the new one is
// written; today's are kept unless /K=0.

#include <gtest/gtest.h>

#include "sandbox.h"

namespace quillet::end_to_end {
namespace {

using Lines = std::vector<std::string>;

const std::string kParent = "bak/YearlyData/";
const std::string kNew = "2010-09-30   12.00/";

// Four snapshots of earlier runs, the newest made this morning, beside a folder
// that is no snapshot; the job runs at noon.
class Retention : public ::testing::Test {
protected:
    Retention() {
        box.write("YearlyData/a.txt");
        for (const char* dated : {"2010-09-28   10.00", "2010-09-29   10.00", "2010-09-29   18.00",
                                  "2010-09-30   09.00"}) {
            box.write(kParent + dated + "/a.txt", "old");
        }
        box.write(kParent + "Archive/keep.txt");
    }

    // The entries left directly in the folder of snapshots after a run with `keep`.
    Lines left_after(const std::string& keep) const {
        const Outcome outcome = box.run({box.text("YearlyData") + "\\*.*", box.text("bak"), keep},
                                        RunOptions().at("2010-09-30 12:00:00"));
        EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
        Lines top;
        for (const std::string& entry : box.tree("bak/YearlyData")) {
            if (entry.find('/') == entry.size() - 1 || entry.find('/') == std::string::npos) top.push_back(entry);
        }
        return top;
    }

    Sandbox box;
};

TEST_F(Retention, KeepTwoLeavesTodaysAndTheNewestOlderOne) {
    box.write(kParent + "2010-09-28.zip");
    EXPECT_EQ(left_after("/K=2"), (Lines{"2010-09-29   18.00/", "2010-09-30   09.00/", kNew, "Archive/"}));
    EXPECT_EQ(box.trashed(), (Lines{"2010-09-28   10.00", "2010-09-28.zip", "2010-09-29   10.00"}));
    EXPECT_EQ(box.read(kParent + kNew + "a.txt"), "a.txt");
}

TEST_F(Retention, KeepOneLeavesOnlyTodays) {
    EXPECT_EQ(left_after("/K=1"), (Lines{"2010-09-30   09.00/", kNew, "Archive/"}));
    EXPECT_EQ(box.trashed(), (Lines{"2010-09-28   10.00", "2010-09-29   10.00", "2010-09-29   18.00"}));
}

TEST_F(Retention, KeepNoneDeletesTodaysTooButNeverWhatIsNoSnapshot) {
    EXPECT_EQ(left_after("/K=0"), (Lines{kNew, "Archive/"}));
    EXPECT_EQ(box.trashed(), (Lines{"2010-09-28   10.00", "2010-09-29   10.00", "2010-09-29   18.00",
                                    "2010-09-30   09.00"}));
    EXPECT_EQ(box.tree(kParent + "Archive"), Lines{"keep.txt"});
}

TEST_F(Retention, WithoutKNothingIsDeleted) {
    EXPECT_EQ(left_after("/S").size(), 6u);
    EXPECT_EQ(box.trashed(), Lines{});
}

}  // namespace
}  // namespace quillet::end_to_end
