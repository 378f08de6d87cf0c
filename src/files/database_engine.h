#pragma once
// The database engine behind compaction. Each engine owns a database format; the
// factory hands out one that can take the database at hand, or raises error 429,
// the error of an engine that cannot be created, which sends compaction down its
// command-line route. The host's own engine (platform.h) takes what SQLite cannot.

#include <functional>
#include <memory>
#include <string>

namespace quillet {

class DatabaseEngine {
public:
    virtual ~DatabaseEngine() = default;

    // Writes a compacted copy of the database strInput to strOutput, a file that
    // does not exist yet. strConnect is empty or ";pwd=" followed by the database's
    // password. Raises the engine's error when it cannot, leaving no output behind.
    virtual void CompactDatabase(const std::string& strInput, const std::string& strOutput,
                                 const std::string& strConnect) = 0;
    // Makes strCopy, a copy of the database strSource that the compaction owns, with
    // copy_file, which copies the database's file alone: the engine sees to it that
    // no writer changes the file meanwhile, and makes the copy whole on its own
    // (committed changes that it keeps beside the file, as SQLite's write-ahead log,
    // are written into it). Raises the engine's error when it cannot.
    virtual void CopyDatabase(const std::string& /*strSource*/, const std::string& /*strCopy*/,
                              const std::function<void()>& copy_file) {
        copy_file();
    }
};

// An engine for the database at strDatabase (path text), chosen by what the file
// holds, not by its name. Error 429 when no engine of this host can take it.
std::unique_ptr<DatabaseEngine> CreateDatabaseEngine(const std::string& strDatabase);

}  // namespace quillet
