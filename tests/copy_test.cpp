// What a job copies: subfolders, exclusions, the modified-since date, duplicates
// across the jobs of a run, database compaction, and a copy that fails midway.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "sandbox.h"

namespace quillet::end_to_end {
namespace {

using Lines = std::vector<std::string>;

// Every test writes straight into the target (/F=5), so the clock does not matter
// unless a test says so.
class Copying : public ::testing::Test {
protected:
    Outcome snapshot(const std::string& source, const std::vector<std::string>& options,
                     RunOptions run_options = {}) const {
        std::vector<std::string> arguments{box.text(source), box.text("bak"), "/F=5"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return box.run(arguments, run_options);
    }

    Sandbox box;
};

TEST_F(Copying, SubfoldersOnlyWithSAndEmptyOnesNever) {
    box.write("src/a.txt");
    box.write("src/b.log");
    box.write("src/sub/c.txt");
    box.write("src/sub/deep/d.txt");
    box.make_folder("src/empty");
    box.make_folder("src/nothing/matches");
    box.write("src/nothing/e.log");

    EXPECT_EQ(snapshot("src\\*.txt", {}).status, 0);
    EXPECT_EQ(box.tree("bak"), Lines{"a.txt"});
    std::filesystem::remove_all(box.native("bak"));

    EXPECT_EQ(snapshot("src\\*.txt", {"/S"}).status, 0);
    EXPECT_EQ(box.tree("bak"), (Lines{"a.txt", "sub/", "sub/c.txt", "sub/deep/", "sub/deep/d.txt"}));
}

TEST_F(Copying, ExclusionsTakeAFolderWithAllBelowItOrAPatternAtAnyDepth) {
    for (const char* file : {"1998/Junk/x.txt", "1998/Junk/deeper/y.txt", "1998/keep.txt", "1999/Onefile",
                             "1999/other.txt", "a.TMP", "sub/b.tmp", "sub/c.txt"}) {
        box.write(std::string("src/") + file);
    }
    const Outcome outcome = snapshot("src\\*.*", {"/S", "/E=\"1998\\Junk\",\"1999\\Onefile\",*.TMP"});
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_EQ(box.tree("bak"), (Lines{"1998/", "1998/keep.txt", "1999/", "1999/other.txt", "sub/", "sub/c.txt"}));
}

TEST_F(Copying, ModifiedSinceCountsWholeDays) {
    box.write("src/today.txt");
    box.write("src/yesterday.txt");
    box.write("src/old.txt");
    box.set_write_time("src/today.txt", "2010-09-30 00:01");
    box.set_write_time("src/yesterday.txt", "2010-09-29 23:59");
    box.set_write_time("src/old.txt", "2001-01-01 12:00");
    const RunOptions at_noon = RunOptions().at("2010-09-30 12:00:00");

    const auto copied = [&](std::vector<std::string> options) {
        std::filesystem::remove_all(box.native("bak"));
        snapshot("src\\*.*", options, at_noon);
        return box.tree("bak");
    };
    EXPECT_EQ(copied({"/D=1"}), Lines{"today.txt"});
    EXPECT_EQ(copied({"/D=2"}), (Lines{"today.txt", "yesterday.txt"}));
    EXPECT_EQ(copied({}), (Lines{"old.txt", "today.txt", "yesterday.txt"}));
}

TEST_F(Copying, TheSecondJobOfARunThatWouldWriteTheSameFileReportsADuplicate) {
    box.write("first/a.txt", "first");
    box.write("second/a.txt", "second");
    box.write("second/b.txt");
    const std::string file = box.command_file(
        "cmds.txt", {box.text("first\\*.*") + " " + box.text("bak") + " /F=5",
                     box.text("second\\*.*") + " " + box.text("bak") + " /F=5"});
    const Outcome outcome = box.run({file});
    EXPECT_EQ(lines_of(outcome.out), (Lines{"Duplicates:", box.text("bak\\a.txt") + " <-- " + box.text("first\\a.txt"),
                                            box.text("bak\\a.txt") + " <-- " + box.text("second\\a.txt")}));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(box.read("bak/a.txt"), "first");
    EXPECT_EQ(box.read("bak/b.txt"), "b.txt");
}

// A database whose deleted rows left free pages that compaction gives back.
void write_database_with_free_pages(const std::filesystem::path& file) {
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &database), SQLITE_OK);
    const char* script =
        "CREATE TABLE t(n INTEGER, filler BLOB);"
        "WITH RECURSIVE k(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM k WHERE n < 2000)"
        "  INSERT INTO t SELECT n, zeroblob(1000) FROM k;"
        "DELETE FROM t WHERE n > 10;";
    EXPECT_EQ(sqlite3_exec(database, script, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(database);
}

int row_count(const std::filesystem::path& file) {
    sqlite3* database = nullptr;
    int rows = -1;
    if (sqlite3_open_v2(file.c_str(), &database, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_exec(
            database, "SELECT count(*) FROM t",
            [](void* count, int, char** values, char**) {
                *static_cast<int*>(count) = std::atoi(values[0]);
                return 0;
            },
            &rows, nullptr);
    }
    sqlite3_close(database);
    return rows;
}

TEST_F(Copying, CCompactsDatabasesNamedMdaAndCopiesEverythingElse) {
    box.make_folder("src");
    write_database_with_free_pages(box.native("src/DATA.mda"));
    std::filesystem::copy_file(box.native("src/DATA.mda"), box.native("src/data.mdb.bak"));
    const auto size = std::filesystem::file_size(box.native("src/DATA.mda"));

    const Outcome compacted = snapshot("src\\*.*", {"/C"});
    EXPECT_EQ(compacted.status, 0) << compacted.out << compacted.err;
    EXPECT_LT(std::filesystem::file_size(box.native("bak/DATA.mda")), size / 10);
    EXPECT_EQ(row_count(box.native("bak/DATA.mda")), 10);
    EXPECT_EQ(std::filesystem::file_size(box.native("bak/data.mdb.bak")), size);

    std::filesystem::remove_all(box.native("bak"));
    EXPECT_EQ(snapshot("src\\*.*", {}).status, 0);
    EXPECT_EQ(box.read("bak/DATA.mda"), box.read("src/DATA.mda"));
}

TEST_F(Copying, AnErrorInACopyEndsItsJobAndTheNextLineStillRuns) {
    box.write("src/a.txt");
    box.write("other/c.txt");
    // A folder stands where the copy of a.txt has to go.
    box.write("bak/a.txt/inside.txt");
    const std::string file = box.command_file(
        "cmds.txt", {box.text("src\\*.*") + " " + box.text("bak") + " /F=5",
                     box.text("other\\*.*") + " " + box.text("bak2") + " /F=5"});
    const Outcome outcome = box.run({file});
    EXPECT_NE(outcome.err.find("HandleCommandLineS"), std::string::npos) << outcome.err;
    EXPECT_EQ(box.tree("bak"), (Lines{"a.txt/", "a.txt/inside.txt"}));
    EXPECT_EQ(box.tree("bak2"), Lines{"c.txt"});
}

}  // namespace
}  // namespace quillet::end_to_end
