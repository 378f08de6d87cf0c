#include "files/sqlite_engine.h"

#include <fstream>
#include <string_view>

#include "files/sqlite_library.h"
#include "platform/platform.h"
#include "text/error.h"
#include "text/vb_errors.h"

namespace quillet {

namespace {

constexpr std::string_view kHeader{"SQLite format 3\0", 16};

// Without SQLite the engine cannot be created, as an engine that is not installed.
const SqliteLibrary& loaded_sqlite() {
    const SqliteLibrary* sqlite = sqlite_library();
    if (sqlite == nullptr) throw vb::error(vb::kCannotCreateObject);
    return *sqlite;
}

}  // namespace

bool IsSqliteDatabase(const std::string& strFile) {
    const auto native = platform::native_path(strFile);
    if (!native) return false;
    std::ifstream file(*native, std::ios::binary);
    std::string start(kHeader.size(), '\0');
    return file.read(start.data(), static_cast<std::streamsize>(start.size())) && start == kHeader;
}

void SqliteEngine::CompactDatabase(const std::string& strInput, const std::string& strOutput,
                                   const std::string& strConnect) {
    loaded_sqlite().compact(strInput, strOutput, strConnect);
}

// A database in WAL mode keeps what was committed last in its -wal until it is
// written back: a copy of the database's file alone lacks it. The copy gets a copy
// of the log, which the engine writes back into it.
void SqliteEngine::CompleteCopy(const std::string& strSource, const std::string& strCopy) {
    const std::string log = strSource + "-wal";
    if (!platform::attributes(log)) return;
    const SqliteLibrary& sqlite = loaded_sqlite();
    // The engine makes the log's index and writes the copy by their names; the
    // index goes if the run is interrupted, as the log's copy does.
    platform::RemovedIfInterrupted index_if_interrupted;
    platform::NamedWrite writing;
    platform::without_interruption([&] {
        index_if_interrupted = platform::RemovedIfInterrupted(strCopy + "-shm");
        writing = platform::NamedWrite::begin();
    });
    platform::CopyFacts facts;
    if (platform::copy_file(log, strCopy + "-wal", {}, &facts) != platform::CopyResult::copied) {
        throw Error(vb::kPathFileAccessError, "SQLite", "The database's log could not be copied: " + log);
    }
    sqlite.write_log_back(strCopy);
}

}  // namespace quillet
