#include "files/database_engine.h"

#include "files/sqlite_engine.h"
#include "files/sqlite_library.h"
#include "text/vb_errors.h"

namespace quillet {

std::unique_ptr<DatabaseEngine> CreateDatabaseEngine(const std::string& strDatabase) {
    if (IsSqliteDatabase(strDatabase) && sqlite_library() != nullptr) return std::make_unique<SqliteEngine>();
    throw vb::error(vb::kCannotCreateObject);
}

}  // namespace quillet
