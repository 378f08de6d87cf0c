// SQLite for quillet: the module quillet_sqlite, loaded the first time a run
// compacts a database.

#include "files/sqlite_library.h"
#include "platform/module_table.h"

namespace quillet {

const SqliteLibrary* sqlite_library() {
    static const SqliteLibrary* const library =
        platform::load_module_table<SqliteLibrary>(QUILLET_SQLITE_MODULE, "quillet_sqlite_library", "SQLite");
    return library;
}

}  // namespace quillet
