#pragma once
// The short (8.3) form of a path.

#include <string>

namespace quillet::lib_basFile {

// This host keeps no short names: an existing path is its own short form. Empty
// for a path that names nothing.
std::string lib_GetShortPath(const std::string& strPath);

}  // namespace quillet::lib_basFile
