// A source that is not what a job expects: a folder that is missing or cannot be
// read, files that are no regular files or cannot be read, and a target that lies
// inside the source. None of them may cost older snapshots, hang the run, or stop
// the files that can be copied.

#include <gmock/gmock.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "sandbox.h"
#include "support/databases.h"
#include "support/run_process.h"

namespace quillet::end_to_end {
namespace {

namespace fs = std::filesystem;

// Copies src, where a.txt, z.txt and sub/b.txt can be read whatever else is there,
// straight into bak; expects these rows alone, in any order, and those files copied.
void expect_rows_and_the_rest_copied(const Sandbox& box, const Lines& through, const Lines& rows) {
    const Outcome outcome = box.run({box.text("src") + "\\*.*", box.text("bak"), "/F=5", "/S"}, {.through = through});
    EXPECT_THAT(lines_of(outcome.out), ::testing::UnorderedElementsAreArray(rows));
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(box.tree("bak"), (Lines{"a.txt", "sub/", "sub/b.txt", "z.txt"}));
}

// The source is checked before /K deletes anything and before the snapshot folder
// is made: an unmounted drive must not cost the older snapshots. A file where the
// folder should be cannot be listed, whoever asks.
TEST(SourceFaults, AMissingOrUnreadableSourceEndsTheJobBeforeTheCleanUp) {
    Sandbox box;
    box.write("plain");
    const std::pair<std::string, std::string> cases[] = {{"gone", "Source folder " + box.text("gone") + " not found\n"},
                                                         {"plain", "Failed to read dir " + box.text("plain") + "\n"}};
    for (const auto& [folder, row] : cases) {
        const std::string parent = "bak/" + folder;
        box.write(parent + "/2010-09-29   10.00/a.txt");
        EXPECT_EQ(box.run({box.text(folder) + "\\*.*", box.text("bak"), "/K=1"}, {.clock = "2010-09-30 12:00:00"}),
                  (Outcome{1, row, ""}));
        // Nothing deleted, no empty snapshot made.
        EXPECT_EQ(box.tree(parent), (Lines{"2010-09-29   10.00/", "2010-09-29   10.00/a.txt"})) << folder;
    }
}

// Opening a FIFO waits for a writer that never comes; none is ever opened. A file
// that cannot be read is one row, and the files after it are copied all the same.
TEST(SourceFaults, FifosSocketsAndLinksToThemAreSkippedWithoutWaiting) {
    if (under_wine()) {
        GTEST_SKIP() << "Wine shows a Unix socket as a plain file that cannot be opened, and lists no dangling link";
    }
    Sandbox box;
    for (const char* file : {"src/a.txt", "src/z.txt", "src/sub/b.txt"}) box.write(file);
    ASSERT_EQ(::mkfifo(box.native("src/pipe").c_str(), 0644), 0);
    // A name's control characters, and bytes that are not UTF-8 (a terminal may read
    // 0x9B as one), are shown as '?': no name can erase or recolour a row.
    ASSERT_EQ(::mkfifo(box.native("src/sub/pipe\x1b[2K\xc2\x9b\x7f\x9d").c_str(), 0644), 0);
    fs::create_symlink(box.native("src/pipe"), box.native("src/link-to-pipe"));
    ASSERT_EQ(::mknod(box.native("src/socket").c_str(), S_IFSOCK | 0644, 0), 0);  // a socket no one listens on
    fs::create_symlink(box.native("src/nowhere"), box.native("src/broken"));

    const auto skipped = [&](const char* special) { return "Skipped " + box.text(special) + ": not a regular file"; };
    expect_rows_and_the_rest_copied(box, within(60),
                                    {skipped("src\\link-to-pipe"), skipped("src\\pipe"), skipped("src\\socket"),
                                     skipped("src\\sub\\pipe?[2K???"),
                                     "Failed to copy " + box.text("src\\broken") + " to " + box.text("bak\\broken") +
                                         ": No such file or directory"});
}

// A file or folder that another user may not read, or enter, is one row each; the files after
// them are copied all the same.
TEST(SourceFaults, WhatCannotBeReadIsReportedAndTheRestIsCopied) {
    if (under_wine()) GTEST_SKIP() << "Wine runs nothing as another user (its prefix is this user's)";
    if (::geteuid() != 0 || ::access("/usr/bin/setpriv", X_OK) != 0) {
        GTEST_SKIP() << "setpriv cannot run the program as another user here";
    }
    Sandbox box;
    for (const char* file :
         {"src/a.txt", "src/z.txt", "src/sub/b.txt", "src/secret", "src/locked/inside.txt", "src/opaque/inside.txt"}) {
        box.write(file);
    }
    fs::permissions(box.native("src/secret"), fs::perms::none);
    fs::permissions(box.native("src/locked"), fs::perms::none);
    // Its names can be read, but none of them opened.
    fs::permissions(box.native("src/opaque"), fs::perms::owner_all | fs::perms::others_read);
    box.make_folder("bak");
    fs::permissions(box.native("bak"), fs::perms::all);

    expect_rows_and_the_rest_copied(
        box, {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"},
        {"Failed to copy " + box.text("src\\secret") + " to " + box.text("bak\\secret") + ": Permission denied",
         "Failed to read dir " + box.text("src\\locked"), "Failed to read dir " + box.text("src\\opaque")});
}

// Walked, the target would copy the snapshot being made, and every older one,
// into the new one. It is found however the target is named; left out with /E
// already, there is nothing to report. The source's own folder as the target is
// no special case: its files cannot be copied onto themselves, however the target
// names it, nor can a snapshot that holds the source write into it. With /Z the files
// gather in a work folder in the temporary folder, which may lie inside the source too.
TEST(SourceFaults, ATargetOrZipWorkFolderInsideTheSourceIsNotWalked) {
    Sandbox box;
    for (const char* file : {"src/a.txt", "src/sub/b.txt"}) box.write(file);
    fs::create_directory_symlink(box.native("src"), box.native("alias"));
    const Outcome skipped{1, "Skipped " + box.text("src\\bak") + ": the target lies inside the source\n", ""};
    for (const char* target : {"src\\bak", "alias\\bak"}) {
        fs::remove_all(box.native("src/bak"));
        for (const char* time : {"2010-09-29 10:00:00", "2010-09-30 12:00:00"}) {
            EXPECT_EQ(box.run({box.text("src") + "\\*.*", box.text(target), "/S"}, {.clock = time}), skipped);
        }
        EXPECT_EQ(box.tree("src/bak/src/2010-09-30   12.00"), (Lines{"a.txt", "sub/", "sub/b.txt"})) << target;
    }
    EXPECT_EQ(box.run({box.text("src") + "\\*.*", box.text("src\\bak"), "/S", "/E=BAK"}), (Outcome{0, "", ""}));
    // Nothing is copied, nor a database compacted, onto itself, however the target names the source.
    testing::make_database(box.native("src/db.mdb"), 10);
    const std::string database = box.read("src/db.mdb");
    for (const char* target : {"src", "alias"}) {
        const Outcome outcome = box.run({box.text("src") + "\\*.*", box.text(target), "/F=5", "/C"});
        const auto failed = [&](const char* file) {
            return "Failed to copy " + box.text("src\\") + file + " to " + box.text(target) + "\\" + file;
        };
        EXPECT_THAT(lines_of(outcome.out), ::testing::UnorderedElementsAre(failed("a.txt"), failed("db.mdb")));
        EXPECT_EQ(outcome.status, 1);
    }
    EXPECT_TRUE(box.read("src/db.mdb") == database) << "the database changed";
    fs::remove(box.native("src/db.mdb"));
    // Into the source's parent, where a subfolder of the source's own name would be the source.
    box.write("nest/X/f.txt", "the source's");
    box.write("nest/X/X/f.txt", "its subfolder's");
    const std::string onto_itself =
        "Failed to copy " + box.text("nest\\X\\X\\f.txt") + " to " + box.text("nest\\X\\f.txt") + "\n";
    EXPECT_EQ(box.run({box.text("nest\\X\\*.*"), box.text("nest"), "/S", "/F=5"}), (Outcome{1, onto_itself, ""}));
    EXPECT_EQ(box.read("nest/X/f.txt"), "the source's");

    for (const char* file : {"tmp/a.txt", "tmp/sub/b.txt"}) box.write(file);
    // The temporary folder (tmp) is the source: the job's work folder and its mark
    // there are its own, and no one's failure.
    EXPECT_EQ(box.run({box.text("tmp") + "\\*.*", box.text("bak"), "/S", "/Z"}, {.clock = "2010-09-30 12:00:00"}),
              (Outcome{0, "", ""}));
    EXPECT_EQ(box.tree("bak/tmp"), Lines{"2010-09-30   12.00.zip"});
    const auto listed =
        testing::RunWithPipes({"unzip", "-Z1", box.native("bak/tmp/2010-09-30   12.00.zip").string()}, "");
    EXPECT_THAT(lines_of(listed.out), ::testing::UnorderedElementsAre("a.txt", "sub/", "sub/b.txt"));
    EXPECT_EQ(box.tree("tmp"), (Lines{"a.txt", "sub/", "sub/b.txt"}));
}

}  // namespace
}  // namespace quillet::end_to_end
