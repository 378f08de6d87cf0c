// /Z: the snapshot as one archive beside where the dated folder would be, with or
// without a password, read back by the usual archive tools.

#include <gtest/gtest.h>

#include <cstdio>

#include "sandbox.h"

namespace quillet::end_to_end {
namespace {

const std::string kArchive = "bak/YearlyData/2010-09-30   09.00.zip";
constexpr const char* kClock = "2010-09-30 09:00:00";

struct ToolRun {
    int status = -1;
    std::string output;
};

// Runs a command on the archive through the shell, quoting the archive's path for it.
ToolRun run_tool(const std::string& command, const Sandbox& box, const std::string& members = {}) {
    ToolRun result;
    FILE* pipe = popen((command + " '" + box.native(kArchive).string() + "' " + members + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        result.output.append(buffer, count);
    }
    result.status = pclose(pipe);
    return result;
}

class Zipping : public ::testing::Test {
protected:
    Zipping() {
        box.write("YearlyData/a.txt");
        box.write("YearlyData/sub/b.txt");
    }

    Outcome zip(const std::string& option, const std::string& input = {}) const {
        return box.run({box.text("YearlyData") + "\\*.*", box.text("bak"), "/S", option},
                       RunOptions().at(kClock).answering(input));
    }

    Sandbox box;
};

TEST_F(Zipping, AnArchiveWithoutPasswordHoldsTheRelativeFoldersAndNoDatedFolder) {
    const Outcome outcome = zip("/Z");
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_EQ(box.tree("bak"), (Lines{"YearlyData/", "YearlyData/2010-09-30   09.00.zip"}));
    const ToolRun test = run_tool("unzip -t", box);
    EXPECT_EQ(test.status, 0) << test.output;
    EXPECT_NE(test.output.find("testing: a.txt"), std::string::npos) << test.output;
    EXPECT_NE(test.output.find("testing: sub/b.txt"), std::string::npos) << test.output;
    EXPECT_EQ(run_tool("unzip -p", box, "sub/b.txt").output, "b.txt");
    EXPECT_EQ(box.tree("tmp"), Lines{});  // the work folder is gone
}

// An empty /Z= password is asked for while zipping.
TEST_F(Zipping, APasswordEncryptsEveryEntry) {
    const Outcome outcome = zip("/Z=", "asked\n");
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    const ToolRun right = run_tool("7z t -pasked", box);
    EXPECT_EQ(right.status, 0) << right.output;
    EXPECT_NE(right.output.find("Files: 2"), std::string::npos) << right.output;
    EXPECT_NE(run_tool("7z t -pwrong", box).status, 0);
    EXPECT_EQ(box.tree("tmp"), Lines{});
}

TEST_F(Zipping, TheJobsOfOneRunAddToTheArchiveTheyShare) {
    box.write("old/YearlyData/c.txt");
    box.write(kArchive, "an older archive of the same name");
    const std::string file = box.command_file(
        "cmds.txt", {box.text("YearlyData") + "\\*.* " + box.text("bak") + " /Z",
                     box.text("old\\YearlyData") + "\\*.* " + box.text("bak") + " /Z"});
    const Outcome outcome = box.run({file}, RunOptions().at(kClock));
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    const ToolRun listing = run_tool("unzip -Z1", box);
    EXPECT_EQ(lines_of(listing.output), (Lines{"a.txt", "c.txt"})) << listing.output;
    EXPECT_EQ(box.trashed(), Lines{"2010-09-30   09.00.zip"});
}

}  // namespace
}  // namespace quillet::end_to_end
