// What a job copies: subfolders, exclusions, the modified-since date, duplicates
// across the jobs of a run, database compaction, and a copy that fails midway.

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

    // A command file of one line for each source folder, all into one target.
    std::string command_file(const Lines& sources) const {
        Lines lines;
        for (const std::string& source : sources) {
            lines.push_back(box.text(source + "\\*.*") + " " + box.text("bak") + " /F=5");
        }
        return box.command_file("cmds.txt", lines);
    }

    Sandbox box;
};

// Folders that end up without a file are never made.
TEST_F(Copying, ExclusionsTakeAFolderWithAllBelowItOrAPatternAtAnyDepth) {
    for (const char* file : {"1998/Junk/x.txt", "1998/Junk/deeper/y.txt", "1998/keep.txt", "1999/Onefile",
                             "1999/other.txt", "a.TMP", "sub/b.tmp", "sub/c.txt", "sub/deep/d.txt", "only/e.TMP"}) {
        box.write(std::string("src/") + file);
    }
    box.make_folder("src/empty");
    const Outcome outcome = snapshot("src\\*.*", {"/S", "/E=\"1998\\Junk\",\"1999\\Onefile\",*.TMP"});
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_EQ(box.tree("bak"), (Lines{"1998/", "1998/keep.txt", "1999/", "1999/other.txt", "sub/", "sub/c.txt",
                                      "sub/deep/", "sub/deep/d.txt"}));
}

// At noon, /D=1 takes what was written since midnight, not in the last 24 hours;
// without /S nothing of a subfolder, and only what matches the pattern.
TEST_F(Copying, ModifiedSinceCountsWholeDays) {
    box.write("src/sub/new.txt");
    box.write("src/new.log");
    box.write("src/today.txt");
    box.write("src/yesterday.txt");
    box.set_write_time("src/today.txt", "2010-09-30 00:01");
    box.set_write_time("src/yesterday.txt", "2010-09-29 23:59");
    snapshot("src\\*.txt", {"/D=1"}, RunOptions().at("2010-09-30 12:00:00"));
    EXPECT_EQ(box.tree("bak"), Lines{"today.txt"});
}

TEST_F(Copying, TheSecondJobOfARunThatWouldWriteTheSameFileReportsADuplicate) {
    box.write("first/a.txt", "first");
    box.write("second/a.txt", "second");
    box.write("second/b.txt");
    const Outcome outcome = box.run({command_file({"first", "second"})});
    EXPECT_EQ(lines_of(outcome.out), (Lines{"Duplicates:", box.text("bak\\a.txt") + " <-- " + box.text("first\\a.txt"),
                                            box.text("bak\\a.txt") + " <-- " + box.text("second\\a.txt")}));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(box.read("bak/a.txt"), "first");
    EXPECT_EQ(box.read("bak/b.txt"), "b.txt");
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
    const Outcome outcome = box.run({command_file({"src", "other"})});
    EXPECT_NE(outcome.err.find("HandleCommandLineS"), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(box.tree("bak"), (Lines{"a.txt/", "a.txt/inside.txt", "c.txt"}));
}

}  // namespace
}  // namespace quillet::end_to_end
