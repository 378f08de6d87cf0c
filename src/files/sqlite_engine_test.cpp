#include "files/sqlite_engine.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "support/databases.h"
#include "text/error.h"

namespace quillet {
namespace {

using testing::ScratchFolder;

// Which engine a database gets, and that none takes a file SQLite cannot read, is
// CopyPassTest.FiltersCompactsAndRefusesDuplicates' (such a file is copied instead).

TEST(SqliteEngine, ReadsOnlyWhatIsCommittedAndLeavesNoLogFilesOfItsOwn) {
    ScratchFolder folder;
    testing::make_database(folder.native("busy.db"), 10, "WAL");
    testing::make_database(folder.native("idle.db"), 10, "WAL");
    SqliteEngine engine;

    // Another program is in the middle of a change: its rows are not there yet.
    sqlite3* writer = nullptr;
    sqlite3_open(testing::utf8(folder.native("busy.db")).c_str(), &writer);
    sqlite3_exec(writer, "BEGIN; INSERT INTO item VALUES (1000, zeroblob(10));", nullptr, nullptr, nullptr);
    engine.CompactDatabase(folder.text("busy.db"), folder.text("busy.out"), "");
    EXPECT_EQ(testing::database_rows(folder.native("busy.out")), "rows=5 sum=25");
    sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr);
    EXPECT_TRUE(folder.exists("busy.db-wal"));  // the writer's own, still in use
    sqlite3_close(writer);

    engine.CompactDatabase(folder.text("idle.db"), folder.text("idle.out"), "");
    EXPECT_EQ(testing::database_rows(folder.native("idle.out")), "rows=5 sum=25");
    EXPECT_FALSE(folder.exists("idle.db-wal"));
    EXPECT_FALSE(folder.exists("idle.db-shm"));
}

TEST(SqliteEngine, RefusesAPasswordADamagedDatabaseAndAnOutputThatIsThere) {
    ScratchFolder folder;
    testing::make_database(folder.native("data.db"), 10);
    // The right header, then nothing that SQLite can read.
    folder.write("damaged.db", std::string("SQLite format 3\0", 16) + std::string(2000, 'x'));
    folder.write("taken", "keep me");
    SqliteEngine engine;
    EXPECT_THROW(engine.CompactDatabase(folder.text("data.db"), folder.text("out"), ";pwd=secret"), Error);
    EXPECT_THROW(engine.CompactDatabase(folder.text("damaged.db"), folder.text("out"), ""), Error);
    EXPECT_FALSE(folder.exists("out"));
    EXPECT_THROW(engine.CompactDatabase(folder.text("data.db"), folder.text("taken"), ""), Error);
    EXPECT_EQ(folder.read("taken"), "keep me");
}

}  // namespace
}  // namespace quillet
