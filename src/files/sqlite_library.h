#pragma once
// SQLite's part of compaction (sqlite_compaction.cpp). SQLite is mapped only by a
// run that compacts a database: quillet loads it in the module quillet_sqlite
// (sqlite_loaded.cpp), test programs have it linked in (sqlite_linked.cpp).

#include <string>

namespace quillet {

struct SqliteLibrary {
    // What SqliteEngine::CompactDatabase does (sqlite_engine.h).
    void (*compact)(const std::string& strInput, const std::string& strOutput, const std::string& strConnect);
    // Writes the -wal beside a database into it, or rolls back the -journal beside
    // it, and takes them away, with the -shm.
    void (*write_log_back)(const std::string& strDatabase);
    // Opens a read transaction on a database, held until end_read: no writer
    // changes its file, or starts its log anew, meanwhile. Null when a hot journal
    // stands beside it: a writer died in the middle of a change, and none is at
    // work. Raises the engine's error when the database stays locked.
    void* (*begin_read)(const std::string& strDatabase);
    void (*end_read)(void* reading);
};

// The compaction linked in here (sqlite_compaction.cpp).
const SqliteLibrary& linked_sqlite_library();

// SQLite for this run; null when it cannot be loaded (already reported).
const SqliteLibrary* sqlite_library();

}  // namespace quillet
