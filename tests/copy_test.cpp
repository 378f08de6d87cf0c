// What a job copies: the modified-since date, and database compaction. Which
// names the pattern and the exclusions take is the walk's and the copy pass's tests'.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "sandbox.h"
#include "support/databases.h"
#include "support/run_process.h"

namespace quillet::end_to_end {
namespace {

namespace fs = std::filesystem;

// At noon, /D=1 takes what was written since midnight, not in the last 24 hours,
// below the source too. /C compacts a database named *.mda, in use, with rows
// committed to its write-ahead log and not yet to its file, which counts as
// written when its log was. The copies go straight into the target (/F=5).
TEST(Copying, ModifiedSinceCountsWholeDaysAndCCompactsDatabases) {
    Sandbox box;
    for (const char* file : {"src/today.txt", "src/yesterday.txt", "src/sub/today.txt"}) box.write(file);
    box.set_write_time("src/today.txt", "2010-09-30 00:01");
    box.set_write_time("src/yesterday.txt", "2010-09-29 23:59");
    testing::make_database(box.native("src/DATA.mda"), 2000, "WAL");
    const fs::perms shared_with_the_group = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(box.native("src/DATA.mda"), shared_with_the_group);
    const auto size = fs::file_size(box.native("src/DATA.mda"));
    const testing::OpenDatabase in_use(box.native("src/DATA.mda"), "PRAGMA wal_autocheckpoint=0; DELETE FROM item;");
    // Its file was last written yesterday, its log today.
    box.set_write_time("src/DATA.mda", "2010-09-29 23:59");

    const Lines line{box.text("src\\*.*"), box.text("bak"), "/F=5", "/D=1", "/S", "/C"};
    EXPECT_EQ(box.run(line, {.clock = "2010-09-30 12:00:00"}), (Outcome{0, "", ""}));
    // The database's log and its index are in the compacted copy: beside it they would be read over it.
    EXPECT_EQ(box.tree("bak"), (Lines{"DATA.mda", "sub/", "sub/today.txt", "today.txt"}));
    EXPECT_LT(fs::file_size(box.native("bak/DATA.mda")), size * 2 / 3);
    EXPECT_EQ(testing::database_rows(box.native("bak/DATA.mda")), "rows=0 sum=0");
    // As open as its source, where files keep permission bits.
    if (!under_wine()) {
        EXPECT_EQ(fs::status(box.native("bak/DATA.mda")).permissions(), shared_with_the_group);
    }
}

// A folder of the snapshot, or an archive, is no more open than its source: what
// the source keeps from others stays kept. It takes the source's times too, once its files are in.
TEST(Copying, SnapshotFoldersTakeTheTimesOfTheirSourcesAndAreNoMoreOpen) {
    if (under_wine()) GTEST_SKIP() << "Windows folders take their access from the folder they are in";
    Sandbox box;
    for (const char* file : {"src/a.txt", "src/private/deep/b.txt", "src/shared/c.txt"}) box.write(file);
    fs::permissions(box.native("src"), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    fs::permissions(box.native("src/private"), fs::perms::owner_all);
    box.set_write_time("src/private/deep", "2001-01-01 00:00");
    // The target as written, and with a doubled backslash that the made folders' names keep.
    for (const std::string& target : {box.text("bak"), box.text("twice") + "\\\\bak"}) {
        SCOPED_TRACE(target);
        EXPECT_EQ(box.run({box.text("src\\*.*"), target, "/S"}, {.clock = "2010-09-30 12:00:00"}),
                  (Outcome{0, "", ""}));
    }
    for (const std::string target : {"bak", "twice/bak"}) {
        SCOPED_TRACE(target);
        const auto mode = [&](const std::string& folder) {
            return fs::status(box.native(target + "/src/2010-09-30   12.00" + folder)).permissions() & fs::perms::all;
        };
        EXPECT_EQ(mode(""), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
        EXPECT_EQ(mode("/private"), fs::perms::owner_all);
        EXPECT_EQ(mode("/private/deep"), fs::status(box.native("src/private/deep")).permissions() & fs::perms::all);
        EXPECT_EQ(mode("/shared"), fs::status(box.native("src/shared")).permissions() & fs::perms::all);
        EXPECT_EQ(fs::last_write_time(box.native(target + "/src/2010-09-30   12.00/private/deep")),
                  fs::last_write_time(box.native("src/private/deep")));
    }
    // An archive of a.txt alone is no more open than its source folder.
    EXPECT_EQ(box.run({box.text("src\\*.*"), box.text("zipped"), "/Z"}, {.clock = "2010-09-30 12:00:00"}),
              (Outcome{0, "", ""}));
    EXPECT_EQ(fs::status(box.native("zipped/src/2010-09-30   12.00.zip")).permissions() & fs::perms::others_all,
              fs::perms::none);
}

// Names that path text would take apart: folders with blanks at their ends or
// quotes inside, a database with a wildcard in its name beside one it would match.
// The snapshot and the archive keep them as the walk found them.
TEST(Copying, FolderNamesKeepTheirBlanksAndQuotes) {
    if (under_wine()) GTEST_SKIP() << "a Windows name holds no quote, wildcard or blank at its end";
    Sandbox box;
    for (const char* file : {"src/ lead/ inner/a.txt", "src/trail /x/b.txt", "src/q\"uo\"te/c.txt"}) box.write(file);
    box.make_folder("src/db");
    for (const char* database : {"src/db/a*.mdb", "src/db/abc.mdb"}) testing::make_database(box.native(database), 4);
    const Lines line{box.text("src\\*.*"), box.text("bak"), "/S", "/C"};
    EXPECT_EQ(box.run(line, {.clock = "2010-09-30 12:00:00"}), (Outcome{0, "", ""}));
    EXPECT_EQ(box.tree("bak/src/2010-09-30   12.00"), box.tree("src"));

    Lines zipped = line;
    zipped.push_back("/Z");
    EXPECT_EQ(box.run(zipped, {.clock = "2010-09-30 12:01:00"}), (Outcome{0, "", ""}));
    const auto unzipped = testing::RunWithPipes(
        {"7z", "x", "-o" + box.native("out").string(), box.native("bak/src/2010-09-30   12.01.zip").string()}, "");
    ASSERT_EQ(unzipped.status, 0) << unzipped.out << unzipped.err;
    EXPECT_EQ(box.tree("out"), box.tree("src"));
}

// Windows reads a name without the dots and blanks at its end, and (Windows 10,
// Wine) "aux" or "NUL.txt" as its device in any folder. Reached by its path text,
// "a." would be its twin "a", "m sub " a folder that is not there, "aux" no folder
// at all. Such names are reported there, never taken for others, and the walk
// goes on; elsewhere they are names like any other.
TEST(Copying, NamesThatWindowsReadsOtherwiseAreNeverTakenForOthers) {
    Sandbox box;
    for (const char* file : {"src/a", "src/a.", "src/c ", "src/m sub /g.txt", "src/aux/in.txt", "src/com1.d/in.txt",
                             "src/NUL.txt", "src/z/zz.txt"}) {
        box.write(file, file);
    }
    const Outcome outcome = box.run({box.text("src\\*.*"), box.text("bak"), "/S"}, {.clock = "2010-09-30 12:00:00"});
    if (!under_wine()) {
        EXPECT_EQ(outcome, (Outcome{0, "", ""}));
        EXPECT_EQ(box.tree("bak/src/2010-09-30   12.00"), box.tree("src"));
        return;
    }
    const auto failed = [&](const std::string& name, const std::string& why) {
        return "Failed to copy " + box.text("src") + "\\" + name + ": its name " + why;
    };
    const std::string at_end = "ends in a dot or a blank", device = "is reserved for a device";
    EXPECT_THAT(lines_of(outcome.out),
                ::testing::UnorderedElementsAre(failed("a.", at_end), failed("c ", at_end), failed("m sub ", at_end),
                                                failed("aux", device), failed("com1.d", device),
                                                failed("NUL.txt", device)));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(box.tree("bak/src/2010-09-30   12.00"), (Lines{"a", "z/", "z/zz.txt"}));
    EXPECT_EQ(box.read("bak/src/2010-09-30   12.00/a"), "src/a");
}

// Two jobs of one command file copy Report.txt and report.txt into one folder
// (/F=5). Where the file system tells them apart both are copied. Where it
// ignores case, as Windows does (and Wine for it), FAT and exFAT disks and SMB
// shares, the second would replace the first: it is a duplicate instead.
TEST(Copying, NamesThatDifferOnlyInCaseAreDuplicatesWhereTheTargetIgnoresCase) {
    Sandbox box;
    box.write("one/Report.txt");
    box.write("two/report.txt");
    box.write("jobs.txt", box.text("one\\*.*") + " " + box.text("bak") + " /F=5\r\n" + box.text("two\\*.*") + " " +
                              box.text("bak") + " /F=5\r\n");
    const Outcome outcome = box.run({box.text("jobs.txt")}, {.clock = "2010-09-30 12:00:00"});
    if (!under_wine()) {
        EXPECT_EQ(outcome, (Outcome{0, "", ""}));
        EXPECT_EQ(box.tree("bak"), (Lines{"Report.txt", "report.txt"}));
        return;
    }
    const std::string first = box.text("bak\\Report.txt") + " <-- ";
    EXPECT_EQ(outcome, (Outcome{1,
                                "Duplicates:\n" + first + box.text("one\\Report.txt") + "\n" + first +
                                    box.text("two\\report.txt") + "\n",
                                ""}));
    EXPECT_EQ(box.tree("bak"), Lines{"Report.txt"});
    EXPECT_EQ(box.read("bak/Report.txt"), "Report.txt");
}

// Jobs of one command file zip into one archive (/F=4). A later job's file of a
// name that the archive holds is a duplicate, as it is in a folder; a job of
// nothing but duplicates adds nothing. A job whose archive was not written (its
// password prompt went unanswered) leaves no name in it.
TEST(Copying, JobsZippingIntoOneArchiveKeepTheFirstFileOfANameItHolds) {
    Sandbox box;
    box.write("one/a.txt", "first");
    box.write("two/a.txt", "second");
    box.write("two/b.txt", "b");
    const auto job = [&](const char* source, const char* zip) {
        return box.text(source) + "\\*.* " + box.text("bak") + " /F=4 " + zip + "\n";
    };
    const auto archived = [&] {
        fs::remove_all(box.native("out"));
        const auto unzipped = testing::RunWithPipes(
            {"7z", "x", "-o" + box.native("out").string(), box.native("bak/2010-09-30   12.00.zip").string()}, "");
        EXPECT_EQ(unzipped.status, 0) << unzipped.out << unzipped.err;
        std::map<std::string, std::string> contents;
        for (const std::string& file : box.tree("out")) contents[file] = box.read("out/" + file);
        return contents;
    };
    const RunOptions at_noon{.clock = "2010-09-30 12:00:00"};

    box.write("jobs.txt", job("one", "/Z") + job("two", "/Z") + job("one", "/Z"));
    const std::string first = box.text("bak\\2010-09-30   12.00.zip\\a.txt") + " <-- ";
    const std::string duplicates = "Duplicates:\n" + first + box.text("one\\a.txt") + "\n" + first;
    const std::string rows = duplicates + box.text("two\\a.txt") + "\n" + duplicates + box.text("one\\a.txt") + "\n";
    EXPECT_EQ(box.run({box.text("jobs.txt")}, at_noon), (Outcome{1, rows, ""}));
    EXPECT_EQ(archived(), (std::map<std::string, std::string>{{"a.txt", "first"}, {"b.txt", "b"}}));

    fs::remove_all(box.native("bak"));
    box.write("jobs.txt", job("one", "/Z=") + job("two", "/Z"));
    const Outcome unanswered = box.run({box.text("jobs.txt")}, at_noon);
    EXPECT_EQ(unanswered.status, 1);
    EXPECT_EQ(unanswered.out, "");
    EXPECT_EQ(archived(), (std::map<std::string, std::string>{{"a.txt", "second"}, {"b.txt", "b"}}));
}

}  // namespace
}  // namespace quillet::end_to_end
