// Where a snapshot lands: the layouts with an add-on folder, and the comment and
// the time rounding asked for when Shift is held.

#include <gtest/gtest.h>

#include <algorithm>

#include "sandbox.h"

namespace quillet::end_to_end {
namespace {

class Naming : public ::testing::Test {
protected:
    Naming() { box.write("YearlyData/a.txt"); }

    std::string job(const std::string& target, const std::string& options) const {
        return box.text("YearlyData") + "\\*.* " + box.text(target) + " " + options;
    }

    Sandbox box;
};

// The copied file's path names every folder that was made, in order. A negative
// /M rounds up, which on the hour changes nothing.
TEST_F(Naming, EveryLayoutPutsTheAddOnFolderLast) {
    const std::string dated = "2010-09-30   09.00";
    const struct {
        std::string layout;
        std::string file;
    } cases[] = {
        {"/F=1", "YearlyData/" + dated + "/Extra/a.txt"}, {"/F=2", dated + "/YearlyData/Extra/a.txt"},
        {"/F=3", "YearlyData/Extra/a.txt"},                {"/F=4 /M=-60", dated + "/Extra/a.txt"},
        {"/F=5", "Extra/a.txt"},                           {"/F=7", "Extra/a.txt"},
    };
    Lines lines;
    for (const auto& layout : cases) {
        lines.push_back(job("f" + layout.layout.substr(3, 1), layout.layout + " /A=Extra"));
    }
    const Outcome outcome = box.run({box.command_file("cmds.txt", lines)}, RunOptions().at("2010-09-30 09:00:00"));
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    for (const auto& layout : cases) {
        const Lines made = box.tree("f" + layout.layout.substr(3, 1));
        EXPECT_EQ(made.size(), std::count(layout.file.begin(), layout.file.end(), '/') + 1u) << layout.layout;
        EXPECT_EQ(made.empty() ? "" : made.back(), layout.file) << layout.layout;
    }
}

TEST_F(Naming, ShiftAsksOnceForACommentAndAnMOverrideThatEveryJobUses) {
    const std::string file = box.command_file("cmds.txt", {job("one", "/F=4 /M=1"), job("two", "/F=4 /M=60")});
    const Outcome outcome =
        box.run({file}, RunOptions().at("2010-09-30 14:37:00").answering("weekly\n15\n").holding_shift());
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    const std::string dated = "2010-09-30   14.30   (weekly)";
    EXPECT_EQ(box.tree("one"), (Lines{dated + "/", dated + "/a.txt"}));
    EXPECT_EQ(box.tree("two"), (Lines{dated + "/", dated + "/a.txt"}));
}

}  // namespace
}  // namespace quillet::end_to_end
