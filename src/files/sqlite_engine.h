#pragma once
// The engine for SQLite databases: a compacted copy is what VACUUM INTO writes.

#include <string>

#include "files/database_engine.h"

namespace quillet {

// True when the file (path text) starts as every SQLite database does.
bool IsSqliteDatabase(const std::string& strFile);

// Reads the database through a read-only connection, so that one that another
// program is writing to is still read as one consistent state. SQLite databases
// carry no password: a connect text with one is refused, never ignored.
class SqliteEngine : public DatabaseEngine {
public:
    void CompactDatabase(const std::string& strInput, const std::string& strOutput,
                         const std::string& strConnect) override;
    void CopyDatabase(const std::string& strSource, const std::string& strCopy,
                      const std::function<void()>& copy_file) override;
};

}  // namespace quillet
