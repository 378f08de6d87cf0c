#pragma once
// Creating a folder path.

#include <string>

#include "files/user_side.h"

namespace quillet::lib_basFile {

// Creates every missing folder of the path, level by level; true when the folder
// exists afterwards. A path without a drive is created from the root of the
// current drive. Run-time errors are reported and raised again.
bool lib_MakePath(UserSide& user, const std::string& strPath);

}  // namespace quillet::lib_basFile
