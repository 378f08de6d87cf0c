// What a job copies: the modified-since date with the pattern and subfolders,
// and database compaction.

#include <gtest/gtest.h>

#include <filesystem>

#include "sandbox.h"
#include "support/databases.h"

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

    EXPECT_EQ(box.run({box.text("src\\*.*"), box.text("bak"), "/F=5", "/C"}), (Outcome{0, "", ""}));
    EXPECT_LT(fs::file_size(box.native("bak/DATA.mda")), size * 2 / 3);
    EXPECT_EQ(testing::database_rows(box.native("bak/DATA.mda")), testing::database_rows(box.native("src/DATA.mda")));
    EXPECT_EQ(box.read("bak/data.mdb.bak"), box.read("src/data.mdb.bak"));
}

}  // namespace
}  // namespace quillet::end_to_end
