// The module quillet_sqlite: compaction with SQLite, for quillet to load when a
// run compacts a database.

#include "files/sqlite_library.h"

extern "C" const quillet::SqliteLibrary* quillet_sqlite_library() { return &quillet::linked_sqlite_library(); }
