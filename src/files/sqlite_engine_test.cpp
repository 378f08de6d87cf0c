#include "files/sqlite_engine.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/databases.h"
#include "support/links.h"
#include "text/error.h"

namespace quillet {
namespace {

using testing::ScratchFolder;

// Which engine a database gets, and that none takes a file SQLite cannot read, is
// CopyPassTest.FiltersCompactsAndRefusesDuplicates' (such a file is copied instead).

// A database is known by its header whatever its name holds.
TEST(SqliteEngine, KnowsADatabaseWhateverItsNameHolds) {
    ScratchFolder folder;
    for (const std::string name : {"plain.mdb", "Jos\xC3\xA9.mdb", "\xE6\x97\xA5\xE6\x9C\xAC.mdb"}) {
        testing::make_database(folder.native() / std::u8string(name.begin(), name.end()), 1);
        EXPECT_TRUE(IsSqliteDatabase(folder.text() + "\\" + name)) << name;
    }
}

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

// Compaction copies the database's file alone, under SQLite's read lock, which
// keeps a writer out meanwhile; then it completes the copy from the side files
// beside the file itself: the journal of a writer that died in the middle of a
// change that had reached the file, and a log reached through a link.
TEST(SqliteEngine, CopiesADatabaseAsOneCommittedState) {
    ScratchFolder folder;
    testing::make_database(folder.native("live.db"), 400);
    sqlite3* writer = nullptr;
    sqlite3_open(testing::utf8(folder.native("live.db")).c_str(), &writer);
    // A cache of one page sends the change into the file before it is committed.
    sqlite3_exec(writer, "PRAGMA cache_size=1; BEGIN; DELETE FROM item;", nullptr, nullptr, nullptr);
    std::filesystem::copy_file(folder.native("live.db"), folder.native("died.db"));
    std::filesystem::copy_file(folder.native("live.db-journal"), folder.native("died.db-journal"));
    sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
    bool writer_kept_out = false;
    const auto try_to_write = [&] {
        writer_kept_out = sqlite3_exec(writer, "DELETE FROM item", nullptr, nullptr, nullptr) == SQLITE_BUSY;
    };

    std::vector<std::pair<std::string, std::string>> cases{{"live.db", "rows=200 sum=40000"},
                                                           {"died.db", "rows=200 sum=40000"}};
    testing::make_database(folder.native("wal.db"), 10, "WAL");
    const testing::OpenDatabase in_use(folder.native("wal.db"), "PRAGMA wal_autocheckpoint=0; DELETE FROM item;");
    if (testing::make_link("wal.db", folder.native("link.db"), false)) cases.emplace_back("link.db", "rows=0 sum=0");

    SqliteEngine engine;
    for (const auto& [source, rows] : cases) {
        const std::string copy = source + ".copy";
        engine.CopyDatabase(folder.text(source), folder.text(copy), [&] {
            if (source == "live.db") try_to_write();
            std::filesystem::copy_file(folder.native(source), folder.native(copy));
        });
        for (const char* side : {"-journal", "-wal", "-shm"}) EXPECT_FALSE(folder.exists(copy + side)) << side;
        EXPECT_EQ(testing::database_rows(folder.native(copy)), rows) << source;
    }
    EXPECT_TRUE(writer_kept_out);
    sqlite3_close(writer);
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
