// Compaction with SQLite: VACUUM INTO writes a compacted copy through a read-only
// connection. Linked into quillet's module quillet_sqlite and into the tests.

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>

#include "files/sqlite_library.h"
#include "platform/platform.h"
#include "text/error.h"
#include "text/unicode.h"
#include "text/vb_errors.h"

namespace quillet {

namespace {

constexpr const char* kSource = "SQLite";
constexpr int kBusyTimeoutMilliseconds = 5000;

std::string native_path_of(const std::string& path_text) {
    const auto native = platform::native_path(path_text);
    if (!native) throw vb::error(vb::kPathNotFound, kSource);
    return *native;
}

// The connect text is a database type (empty here) and ";key=value" parts.
bool asks_for_password(const std::string& connect) {
    std::size_t start = 0;
    while (start <= connect.size()) {
        const std::size_t end = std::min(connect.find(';', start), connect.size());
        const std::string part = unicode::to_upper(connect.substr(start, end - start));
        if (part.starts_with("PWD=") && part.size() > 4) return true;
        start = end + 1;
    }
    return false;
}

// SQLite's failures with the language's numbers where there is one that fits.
std::int32_t error_number_for(int code) {
    switch (code & 0xff) {
        case SQLITE_FULL:
            return vb::kDiskFull;
        case SQLITE_PERM:
        case SQLITE_READONLY:
        case SQLITE_AUTH:
            return vb::kPermissionDenied;
        case SQLITE_CANTOPEN:
            return vb::kPathFileAccessError;
        default:
            return kLibraryError;
    }
}

// How many of the engine's steps go between two looks at whether the run is being
// interrupted.
constexpr int kStepsBetweenLooks = 10000;

class Connection {
public:
    Connection(const std::string& native, int flags) {
        result_ = sqlite3_open_v2(native.c_str(), &database_, flags, nullptr);
        if (result_ != SQLITE_OK) return;
        sqlite3_busy_timeout(database_, kBusyTimeoutMilliseconds);
        // An interrupted run lets go of the compacted copy, which some hosts cannot
        // delete while it is open.
        sqlite3_progress_handler(
            database_, kStepsBetweenLooks, [](void*) { return platform::interruption_started() ? 1 : 0; }, nullptr);
    }
    ~Connection() { sqlite3_close_v2(database_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs one statement with text parameters; false (reason in error()) when it fails.
    bool run(const char* sql, const std::string& parameter = {}) {
        if (result_ != SQLITE_OK) return false;
        sqlite3_stmt* statement = nullptr;
        result_ = sqlite3_prepare_v2(database_, sql, -1, &statement, nullptr);
        if (result_ == SQLITE_OK && sqlite3_bind_parameter_count(statement) > 0) {
            result_ = sqlite3_bind_text(statement, 1, parameter.c_str(), -1, SQLITE_TRANSIENT);
        }
        while (result_ == SQLITE_OK || result_ == SQLITE_ROW) result_ = sqlite3_step(statement);
        if (result_ == SQLITE_DONE) result_ = SQLITE_OK;
        sqlite3_finalize(statement);
        return result_ == SQLITE_OK;
    }

    // The failure's extended code (SQLITE_READONLY_ROLLBACK, say).
    int extended_result() const { return database_ != nullptr ? sqlite3_extended_errcode(database_) : result_; }

    Error error() const {
        const char* message = database_ != nullptr ? sqlite3_errmsg(database_) : sqlite3_errstr(result_);
        return Error(error_number_for(result_), kSource,
                     std::string("The database engine could not compact the database: ") + message);
    }

private:
    sqlite3* database_ = nullptr;
    int result_ = SQLITE_OK;
};

bool exists(const std::string& path_text) { return platform::attributes(path_text).has_value(); }

void remove_if_there(const std::string& path_text) {
    try {
        if (exists(path_text)) platform::remove_file(path_text);
    } catch (const Error&) {
        // The engine's own error is the one to tell.
    }
}

// A writing connection that closes as the last one writes a database's -wal back
// into it and removes the -wal and -shm; with an empty log the database itself
// stays as it was. Its failure, if any.
std::optional<Error> close_as_last_writer(const std::string& native) {
    Connection connection(native, SQLITE_OPEN_READWRITE);
    if (connection.run("PRAGMA schema_version")) return std::nullopt;
    return connection.error();
}

void compact(const std::string& strInput, const std::string& strOutput, const std::string& strConnect) {
    if (asks_for_password(strConnect)) {
        throw Error(kLibraryError, kSource,
                    "The database engine cannot use a database password: SQLite databases have none");
    }
    const std::string input = native_path_of(strInput);
    const std::string output = native_path_of(strOutput);
    const bool had_output = exists(strOutput);
    const bool had_side_files = exists(strInput + "-wal") || exists(strInput + "-shm");
    bool compacted = false;
    std::optional<Error> failure;
    // The engine makes the compacted copy, and a journal beside it, by their names,
    // and the input's side files too; an interruption waits for it to stop, roll
    // back and take the side files away.
    platform::NamedWrite writing;
    platform::without_interruption([&] { writing = platform::NamedWrite::begin(); });
    {
        Connection connection(input, SQLITE_OPEN_READONLY);
        compacted = connection.run("VACUUM INTO ?1", output);
        if (!compacted) failure = connection.error();
    }
    // A read-only connection to a database in WAL mode makes its -wal and -shm and
    // leaves them, the log empty.
    if (!had_side_files && (exists(strInput + "-wal") || exists(strInput + "-shm"))) close_as_last_writer(input);
    writing.end();
    if (!compacted) {
        // On a full disk the engine cannot always take its journal away.
        if (!had_output) {
            remove_if_there(strOutput);
            remove_if_there(strOutput + "-journal");
        }
        throw *failure;
    }
}

// Opening the database rolls a hot journal back. A log beside a database that is
// not in WAL mode stays unread, and goes all the same, as does a journal that is
// kept between changes (journal modes PERSIST and TRUNCATE).
void write_log_back(const std::string& strDatabase) {
    const std::optional<Error> failure = close_as_last_writer(native_path_of(strDatabase));
    remove_if_there(strDatabase + "-wal");
    remove_if_there(strDatabase + "-shm");
    remove_if_there(strDatabase + "-journal");
    if (failure) throw *failure;
}

// A read transaction: a SHARED lock on a database in rollback mode, a read mark in
// the log of one in WAL mode. A read-only connection cannot roll a hot journal back.
void* begin_read(const std::string& strDatabase) {
    auto reading = std::make_unique<Connection>(native_path_of(strDatabase), SQLITE_OPEN_READONLY);
    if (reading->run("BEGIN") && reading->run("SELECT count(*) FROM sqlite_schema")) return reading.release();
    if (reading->extended_result() == SQLITE_READONLY_ROLLBACK) return nullptr;
    throw reading->error();
}

void end_read(void* reading) { delete static_cast<Connection*>(reading); }

}  // namespace

const SqliteLibrary& linked_sqlite_library() {
    static const SqliteLibrary library{compact, write_log_back, begin_read, end_read};
    return library;
}

}  // namespace quillet
