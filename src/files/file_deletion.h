#pragma once
// Deleting one file, and telling whether a file is held by someone else.

#include <string>

namespace quillet::lib_basFile {

// True when the file no longer exists: a missing file is no failure. The file
// goes to the trash unless blnPermanently; false when it stays (in use, or the
// trash cannot take it). Run-time errors are reported and raised again.
bool lib_KillFile(const std::string& strFile, bool blnPermanently);

// True when the file cannot even be renamed to its own name. A missing file is
// not in use.
bool lib_FileInUse(const std::string& strFile);

}  // namespace quillet::lib_basFile
