#pragma once
// Path helpers that need the host: the current drive, absolute paths, and path
// levels whose folder has to exist.

#include <cstdint>
#include <string>

namespace quillet::lib_basConversion {

// The drive ("C:") or share of the current directory.
std::string lib_GetCurrentDrive();

// An absolute path. Without "..\" a path that has no drive or share is joined to
// strBase, or to the current drive when strBase is empty ("Data" becomes C:\Data);
// one with a drive or share stays as it is. With k pieces of "..\" (all taken to
// lead the path) the text after the last of them is joined to strBase, or the
// current directory, with its last k folders removed.
std::string lib_ResolvePath(const std::string& strPath, const std::string& strBase);

// lib_GetPathLevel of text/paths.h, the folders' existence asked of the disk.
std::string lib_GetPathLevel(const std::string& strPath, std::int16_t intLevel, bool blnJoinFromStart,
                             bool blnWithoutDrive, bool blnMustExist, bool blnJoinToEnd);

}  // namespace quillet::lib_basConversion
