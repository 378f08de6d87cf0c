#include "files/sqlite_engine.h"

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "files/sqlite_library.h"
#include "platform/platform.h"
#include "text/error.h"
#include "text/vb_errors.h"

namespace quillet {

namespace {

constexpr std::string_view kHeader{"SQLite format 3\0", 16};

// The first bytes of a file, as many as it has up to count.
std::string file_start(const std::string& file_text, std::size_t count) {
    const auto native = platform::native_path(file_text);
    if (!native) return {};
    // By its wide name on Windows, where a narrow one would be read in the ANSI code page.
    std::ifstream file(std::filesystem::path(std::u8string(native->begin(), native->end())), std::ios::binary);
    std::string start(count, '\0');
    file.read(start.data(), static_cast<std::streamsize>(count));
    start.resize(static_cast<std::size_t>(file.gcount()));
    return start;
}

// Without SQLite the engine cannot be created, as an engine that is not installed.
const SqliteLibrary& loaded_sqlite() {
    const SqliteLibrary* sqlite = sqlite_library();
    if (sqlite == nullptr) throw vb::error(vb::kCannotCreateObject);
    return *sqlite;
}

}  // namespace

bool IsSqliteDatabase(const std::string& strFile) { return file_start(strFile, kHeader.size()) == kHeader; }

void SqliteEngine::CompactDatabase(const std::string& strInput, const std::string& strOutput,
                                   const std::string& strConnect) {
    loaded_sqlite().compact(strInput, strOutput, strConnect);
}

namespace {

// Where SQLite keeps the side files of a database named through a link: beside the
// file itself on POSIX, whose VFS follows links, beside the link on Windows.
std::string side_files_stem(const std::string& database) {
    for (const char* side : {"-wal", "-journal"}) {
        if (platform::attributes(database + side)) return database;
    }
    return platform::resolved_path(database).value_or(database);
}

// Byte 18 of the header: 2 for a database in WAL mode.
bool in_wal_mode(const std::string& database) {
    const std::string header = file_start(database, 19);
    return header.size() == 19 && header[18] == 2;
}

// Copies of side files beside the database's copy, which go again unless the
// engine has taken them in.
class SideFileCopies {
public:
    explicit SideFileCopies(std::string copy) : copy_(std::move(copy)) {}
    ~SideFileCopies() {
        for (const char* side : made_) {
            try {
                if (platform::attributes(copy_ + side)) platform::remove_file(copy_ + side);
            } catch (const Error&) {
                // The error on its way to the caller is the one that matters.
            }
        }
    }
    SideFileCopies(const SideFileCopies&) = delete;
    SideFileCopies& operator=(const SideFileCopies&) = delete;

    void copy(const std::string& stem, const char* side) {
        facts_.emplace_back();
        made_.push_back(side);
        if (platform::copy_file(stem + side, copy_ + side, {}, &facts_.back()) != platform::CopyResult::copied) {
            throw Error(vb::kPathFileAccessError, "SQLite", "The database's log could not be copied: " + stem + side);
        }
    }
    bool any() const { return !made_.empty(); }
    void taken_in() { made_.clear(); }

private:
    std::string copy_;
    std::vector<const char*> made_;
    // Each registers its copy to go if the run is interrupted.
    std::deque<platform::CopyFacts> facts_;
};

}  // namespace

// A writer may be changing the database while its file is copied: the copy is made
// under SQLite's own read lock, so that it holds one committed state, together
// with the log of a database in WAL mode, whose last commits may not have reached
// the file yet. Without the lock a writer that died in the middle of a change left
// a hot journal beside it, the only way back to the state before it: that is
// copied too, and rolled back in the copy. A database in WAL mode without a log
// has no writer, and a read would leave a log and its index in the source's folder.
void SqliteEngine::CopyDatabase(const std::string& strSource, const std::string& strCopy,
                                const std::function<void()>& copy_file) {
    const SqliteLibrary& sqlite = loaded_sqlite();
    const std::string stem = side_files_stem(strSource);
    const bool log = platform::attributes(stem + "-wal").has_value();
    const auto end_read = [&sqlite](void* reading) {
        if (reading != nullptr) sqlite.end_read(reading);
    };
    std::unique_ptr<void, decltype(end_read)> reading(nullptr, end_read);
    const bool lockable = log || !in_wal_mode(strSource);
    if (lockable) reading.reset(sqlite.begin_read(strSource));
    copy_file();

    // The engine makes the log's index and writes the copy by their names; the
    // index goes if the run is interrupted, as the side files' copies do.
    platform::RemovedIfInterrupted index_if_interrupted;
    platform::NamedWrite writing;
    platform::without_interruption([&] {
        index_if_interrupted = platform::RemovedIfInterrupted(strCopy + "-shm");
        writing = platform::NamedWrite::begin();
    });
    SideFileCopies sides(strCopy);
    if (log) sides.copy(stem, "-wal");
    if (lockable && !reading && platform::attributes(stem + "-journal")) sides.copy(stem, "-journal");
    reading.reset();
    if (!sides.any()) return;
    sqlite.write_log_back(strCopy);
    sides.taken_in();
}

}  // namespace quillet
