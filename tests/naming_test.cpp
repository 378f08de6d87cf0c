// Where a snapshot lands: the five layouts with an add-on folder, the rounding of
// the time in its name, and the comment asked for when Shift is held.

#include <gtest/gtest.h>

#include "sandbox.h"

namespace quillet::end_to_end {
namespace {

using Lines = std::vector<std::string>;

class Naming : public ::testing::Test {
protected:
    Naming() { box.write("YearlyData/a.txt"); }

    std::string job(const std::string& target, const std::string& options) const {
        return box.text("YearlyData") + "\\*.* " + box.text(target) + " " + options;
    }

    // The name of the one dated folder a layout 4 job made in the target.
    std::string dated_name(const std::string& clock, const std::string& minutes) const {
        const std::string target = "bak" + std::to_string(++runs_);
        box.run({box.text("YearlyData") + "\\*.*", box.text(target), "/F=4", minutes}, RunOptions().at(clock));
        const Lines made = box.tree(target);
        return made.empty() ? "" : made.front();
    }

    Sandbox box;
    mutable int runs_ = 0;
};

TEST_F(Naming, EveryLayoutPutsTheAddOnFolderLast) {
    const std::string file = box.command_file(
        "cmds.txt", {job("f1", "/A=Extra"), job("f2", "/F=2 /A=Extra"), job("f3", "/F=3 /A=Extra"),
                     job("f4", "/F=4 /A=Extra"), job("f5", "/F=5 /A=Extra"), job("f7", "/F=7 /A=Extra")});
    const Outcome outcome = box.run({file}, RunOptions().at("2010-09-30 09:00:00"));
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    const std::string dated = "2010-09-30   09.00";
    EXPECT_EQ(box.tree("f1"), (Lines{"YearlyData/", "YearlyData/" + dated + "/", "YearlyData/" + dated + "/Extra/",
                                     "YearlyData/" + dated + "/Extra/a.txt"}));
    EXPECT_EQ(box.tree("f2"), (Lines{dated + "/", dated + "/YearlyData/", dated + "/YearlyData/Extra/",
                                     dated + "/YearlyData/Extra/a.txt"}));
    EXPECT_EQ(box.tree("f3"), (Lines{"YearlyData/", "YearlyData/Extra/", "YearlyData/Extra/a.txt"}));
    EXPECT_EQ(box.tree("f4"), (Lines{dated + "/", dated + "/Extra/", dated + "/Extra/a.txt"}));
    EXPECT_EQ(box.tree("f5"), (Lines{"Extra/", "Extra/a.txt"}));
    EXPECT_EQ(box.tree("f7"), box.tree("f5"));
}

TEST_F(Naming, TheTimeIsRoundedDownToTheMinutesOfM) {
    EXPECT_EQ(dated_name("2010-09-30 09:05:30", "/M=1"), "2010-09-30   09.05/");
    EXPECT_EQ(dated_name("2010-09-30 09:59:00", "/M=60"), "2010-09-30   09.00/");
    EXPECT_EQ(dated_name("2010-09-30 00:20:00", "/M=7"), "2010-09-30   00.14/");
    EXPECT_EQ(dated_name("2010-09-30 14:37:00", "/M=15"), "2010-09-30   14.30/");
}

TEST_F(Naming, ANegativeMRoundsUpEvenPastMidnight) {
    EXPECT_EQ(dated_name("2010-09-30 09:05:00", "/M=-10"), "2010-09-30   09.10/");
    EXPECT_EQ(dated_name("2010-09-30 23:55:00", "/M=-10"), "2010-09-30   24.00/");
}

TEST_F(Naming, ShiftAsksOnceForACommentAndAnMOverrideThatEveryJobUses) {
    const std::string file = box.command_file("cmds.txt", {job("one", "/F=4 /M=1"), job("two", "/F=4 /M=60")});
    const Outcome outcome = box.run({file}, RunOptions().at("2010-09-30 14:37:00").answering("weekly\n15\n").holding_shift());
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    const std::string dated = "2010-09-30   14.30   (weekly)";
    EXPECT_EQ(box.tree("one"), (Lines{dated + "/", dated + "/a.txt"}));
    EXPECT_EQ(box.tree("two"), (Lines{dated + "/", dated + "/a.txt"}));
}

TEST_F(Naming, WithoutShiftNothingIsAsked) {
    box.run({box.text("YearlyData") + "\\*.*", box.text("bak"), "/F=4"},
            RunOptions().at("2010-09-30 14:37:00").answering("weekly\n15\n"));
    EXPECT_EQ(box.tree("bak"), (Lines{"2010-09-30   14.37/", "2010-09-30   14.37/a.txt"}));
}

TEST_F(Naming, AShiftQuestionLeftUnansweredAddsNoComment) {
    box.run({box.text("YearlyData") + "\\*.*", box.text("bak"), "/F=4", "/M=15"},
            RunOptions().at("2010-09-30 14:37:00").holding_shift());
    EXPECT_EQ(box.tree("bak"), (Lines{"2010-09-30   14.30/", "2010-09-30   14.30/a.txt"}));
}

}  // namespace
}  // namespace quillet::end_to_end
