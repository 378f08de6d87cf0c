#include "files/sqlite_engine.h"

#include <fstream>
#include <string_view>
#include <vector>

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

// A database's file alone may lack what its side files hold: in WAL mode what was
// committed last, in its -wal until it is written back; in a rollback journal the
// pages that a change not committed (of a program in the middle of it, or one that
// died there) has overwritten in the file. SQLite keeps them beside the database's
// own file, not beside a link to it. The copy gets copies of them, which the engine
// writes back into it or rolls back.
void SqliteEngine::CompleteCopy(const std::string& strSource, const std::string& strCopy) {
    const std::string database = platform::resolved_path(strSource).value_or(strSource);
    std::vector<std::string> sides;
    for (const char* side : {"-wal", "-journal"}) {
        if (platform::attributes(database + side)) sides.emplace_back(side);
    }
    if (sides.empty()) return;
    const SqliteLibrary& sqlite = loaded_sqlite();
    // The engine makes the log's index and writes the copy by their names; the
    // index goes if the run is interrupted, as the side files' copies do.
    platform::RemovedIfInterrupted index_if_interrupted;
    platform::NamedWrite writing;
    platform::without_interruption([&] {
        index_if_interrupted = platform::RemovedIfInterrupted(strCopy + "-shm");
        writing = platform::NamedWrite::begin();
    });
    std::vector<platform::CopyFacts> facts(sides.size());
    for (std::size_t i = 0; i < sides.size(); ++i) {
        const std::string side_file = database + sides[i];
        if (platform::copy_file(side_file, strCopy + sides[i], {}, &facts[i]) != platform::CopyResult::copied) {
            throw Error(vb::kPathFileAccessError, "SQLite", "The database's log could not be copied: " + side_file);
        }
    }
    sqlite.write_log_back(strCopy);
}

}  // namespace quillet
