#include "files/database_engine.h"

#include "files/sqlite_engine.h"
#include "files/sqlite_library.h"
#include "platform/platform.h"
#include "text/error.h"
#include "text/vb_errors.h"

namespace quillet {

namespace {

// The host's own engine (Access's DBEngine on Windows) for every database that is
// not a SQLite file.
class HostEngine : public DatabaseEngine {
public:
    explicit HostEngine(std::unique_ptr<platform::HostDatabaseEngine> engine) : engine_(std::move(engine)) {}
    void CompactDatabase(const std::string& strInput, const std::string& strOutput,
                         const std::string& strConnect) override {
        engine_->compact(strInput, strOutput, strConnect);
    }

private:
    std::unique_ptr<platform::HostDatabaseEngine> engine_;
};

}  // namespace

std::unique_ptr<DatabaseEngine> CreateDatabaseEngine(const std::string& strDatabase) {
    if (IsSqliteDatabase(strDatabase)) {
        // Not error 429: its route would copy the database as it stands, and the
        // failure would pass in silence.
        if (sqlite_library() == nullptr) {
            throw Error(vb::kFileNotFound, "SQLite", "The database engine SQLite could not be loaded");
        }
        return std::make_unique<SqliteEngine>();
    }
    return std::make_unique<HostEngine>(platform::create_host_database_engine());
}

}  // namespace quillet
