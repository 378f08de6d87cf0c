#pragma once
// Names in the system's temporary folder.

#include <string>

namespace quillet::lib_basFile {

// Without a prefix: the temporary folder, with its trailing backslash. With one: a
// new, empty, owner-only file there, named with the prefix's first three
// characters, hexadecimal digits and ".tmp". With an extension the name returned
// ends in "." and that extension instead, while the file made keeps its own name.
// Empty when the folder or the file cannot be had.
std::string lib_GetTempFileName(const std::string& strPrefix = {}, const std::string& strExtension = {});

}  // namespace quillet::lib_basFile
