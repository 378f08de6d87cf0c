// What a job copies: the modified-since date with the pattern and subfolders,
// database compaction, and a copy that fails midway.

#include <gtest/gtest.h>

#include <filesystem>

#include "sandbox.h"
#include "support/databases.h"

namespace quillet::end_to_end {
namespace {

// Every test writes straight into the target (/F=5), so the clock does not matter
// unless a test says so.
class Copying : public ::testing::Test {
protected:
    Outcome snapshot(const std::string& source, const Lines& options, RunOptions run_options = {}) const {
        Lines arguments{box.text(source), box.text("bak"), "/F=5"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return box.run(arguments, run_options);
    }

    Sandbox box;
};

// At noon, /D=1 takes what was written since midnight, not in the last 24 hours;
// below the source too, and only what matches the pattern.
TEST_F(Copying, ModifiedSinceCountsWholeDays) {
    for (const char* file : {"src/today.txt", "src/yesterday.txt", "src/sub/today.txt", "src/sub/today.log"}) {
        box.write(file);
        box.set_write_time(file, "2010-09-30 00:01");
    }
    box.set_write_time("src/yesterday.txt", "2010-09-29 23:59");
    snapshot("src\\*.txt", {"/D=1", "/S"}, RunOptions().at("2010-09-30 12:00:00"));
    EXPECT_EQ(box.tree("bak"), (Lines{"sub/", "sub/today.txt", "today.txt"}));
}

TEST_F(Copying, CCompactsDatabasesNamedMdaAndCopiesEverythingElse) {
    box.make_folder("src");
    testing::make_database(box.native("src/DATA.mda"), 2000);
    std::filesystem::copy_file(box.native("src/DATA.mda"), box.native("src/data.mdb.bak"));
    const auto size = std::filesystem::file_size(box.native("src/DATA.mda"));

    const Outcome compacted = snapshot("src\\*.*", {"/C"});
    EXPECT_EQ(compacted.status, 0) << compacted.out << compacted.err;
    EXPECT_LT(std::filesystem::file_size(box.native("bak/DATA.mda")), size * 2 / 3);
    EXPECT_EQ(testing::database_rows(box.native("bak/DATA.mda")), testing::database_rows(box.native("src/DATA.mda")));
    EXPECT_EQ(box.read("bak/data.mdb.bak"), box.read("src/data.mdb.bak"));
}

// The job's error handler resumes at its ending: a folder stands where the copy
// of a.txt has to go.
TEST_F(Copying, AnErrorInACopyEndsItsJobAndTheNextLineStillRuns) {
    box.write("src/a.txt");
    box.write("other/c.txt");
    box.write("bak/a.txt/inside.txt");
    const Outcome outcome = box.run({box.command_file(
        "cmds.txt", {box.text("src\\*.*") + " " + box.text("bak") + " /F=5",
                     box.text("other\\*.*") + " " + box.text("bak") + " /F=5"})});
    EXPECT_NE(outcome.err.find("HandleCommandLineS"), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(box.tree("bak"), (Lines{"a.txt/", "a.txt/inside.txt", "c.txt"}));
}

}  // namespace
}  // namespace quillet::end_to_end
