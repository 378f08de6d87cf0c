#pragma once
// The program registered to open a file.

#include <string>

namespace quillet::lib_basFile {

// The full path of the program registered for the file's type; empty when the
// file's folder holds no backslash (a file in a drive root), or when no program is
// registered for it.
std::string lib_FindExecutable(const std::string& strPath);

}  // namespace quillet::lib_basFile
