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
};

// The compaction linked in here (sqlite_compaction.cpp).
const SqliteLibrary& linked_sqlite_library();

// SQLite for this run; null when it cannot be loaded (already reported).
const SqliteLibrary* sqlite_library();

}  // namespace quillet
