// What a job makes: copies chosen by the modified-since date with the pattern and
// subfolders, compacted databases, and with /Z and a password the snapshot as one
// archive beside where the dated folder would be, every entry encrypted, read back
// by an archive tool of its own.

#include <gmock/gmock.h>

#include <filesystem>

#include "sandbox.h"
#include "support/databases.h"
#include "support/run_process.h"

namespace quillet::end_to_end {
namespace {

namespace fs = std::filesystem;

// At noon, /D=1 takes what was written since midnight, not in the last 24 hours;
// below the source too, and only what matches the pattern. The copies go straight
// into the target (/F=5).
TEST(Copying, ModifiedSinceCountsWholeDays) {
    Sandbox box;
    for (const char* file : {"src/today.txt", "src/yesterday.txt", "src/sub/today.txt", "src/sub/today.log"}) {
        box.write(file);
        box.set_write_time(file, "2010-09-30 00:01");
    }
    box.set_write_time("src/yesterday.txt", "2010-09-29 23:59");
    box.run({box.text("src\\*.txt"), box.text("bak"), "/F=5", "/D=1", "/S"}, {.clock = "2010-09-30 12:00:00"});
    EXPECT_EQ(box.tree("bak"), (Lines{"sub/", "sub/today.txt", "today.txt"}));
}

TEST(Copying, CCompactsDatabasesNamedMdaAndCopiesEverythingElse) {
    Sandbox box;
    box.make_folder("src");
    testing::make_database(box.native("src/DATA.mda"), 2000);
    box.write("src/data.mdb.bak", box.read("src/DATA.mda"));
    const auto size = fs::file_size(box.native("src/DATA.mda"));

    const Outcome compacted = box.run({box.text("src\\*.*"), box.text("bak"), "/F=5", "/C"});
    EXPECT_EQ(compacted.status, 0) << compacted.out << compacted.err;
    EXPECT_LT(fs::file_size(box.native("bak/DATA.mda")), size * 2 / 3);
    EXPECT_EQ(testing::database_rows(box.native("bak/DATA.mda")), testing::database_rows(box.native("src/DATA.mda")));
    EXPECT_EQ(box.read("bak/data.mdb.bak"), box.read("src/data.mdb.bak"));
}

// Tests the archive with 7-Zip and this password: its status, and what it wrote on standard output.
testing::ProcessResult test_archive(const Sandbox& box, const std::string& password) {
    return testing::RunWithPipes(
        {"7z", "t", "-p" + password, box.native("bak/YearlyData/2010-09-30   09.00.zip").string()}, "");
}

// An empty /Z= password is asked for while zipping.
TEST(Zipping, APasswordEncryptsEveryEntry) {
    Sandbox box;
    box.write("YearlyData/a.txt");
    box.write("YearlyData/sub/b.txt");
    const Outcome outcome = box.run({box.text("YearlyData") + "\\*.*", box.text("bak"), "/S", "/Z="},
                                    {.clock = "2010-09-30 09:00:00", .input = "asked\n"});
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    const auto right = test_archive(box, "asked");
    EXPECT_EQ(right.status, 0) << right.out << right.err;
    EXPECT_THAT(right.out, ::testing::HasSubstr("Files: 2"));
    EXPECT_NE(test_archive(box, "wrong").status, 0);
    EXPECT_EQ(box.tree("tmp"), Lines{});
}

}  // namespace
}  // namespace quillet::end_to_end
