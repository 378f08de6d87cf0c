#pragma once
// Compacting a database into a target: through the database engine, or through
// the command line of the program registered for the database when no engine can
// take it. Either way the compacted copy is made under a temporary name beside the
// target, and the target is replaced only once that copy exists.

#include <string>

#include "files/user_side.h"

namespace quillet::lib_basFile {

// Compacts strSource into strTarget (the source itself when empty). False, with
// nothing done, when the target exists and blnOverwrite is off; false also when no
// compacted copy came about or the old target could not go to the trash. blnCopyFirst compacts a copy of the source
// rather than the source itself. A database password reaches the engine as
// ";pwd=" + password. When no engine can take the database, the result is that of
// lib_CompactDatabaseCL. Errors are raised with the source "lib_CompactDatabase"
// and their description followed by the database and the temporary output name.
bool lib_CompactDatabase(UserSide& user, const std::string& strSource, const std::string& strTarget,
                         bool blnOverwrite, const std::string& strPassword, bool blnCopyFirst);

// The same through the registered program's command line (see
// CompactCommandLine); strConnect, in its ";pwd=" form, is not passed on. False
// when no program is registered for the source. Errors are raised with the source
// "lib_CompactDatabaseCL".
bool lib_CompactDatabaseCL(UserSide& user, const std::string& strSource, const std::string& strTarget,
                           bool blnOverwrite, const std::string& strConnect, bool blnCopyFirst);

// The program, the input and the output, each in double quotes, with " /compact "
// between input and output.
std::string CompactCommandLine(const std::string& strProgram, const std::string& strInput,
                               const std::string& strOutput);

}  // namespace quillet::lib_basFile
