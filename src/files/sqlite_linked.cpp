// SQLite for a program that has it linked in.

#include "files/sqlite_library.h"

namespace quillet {

const SqliteLibrary* sqlite_library() { return &linked_sqlite_library(); }

}  // namespace quillet
