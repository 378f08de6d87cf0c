#pragma once
// Whether a folder or a file is there, asked of the host.

#include <string>

namespace quillet::lib_basFile {

// True when the path names an existing folder; an empty path is none. A path
// without a drive is taken from the root of the current drive, one with "..\"
// from the current directory.
bool lib_DirExists(const std::string& strPath);

// True when at least one file (not a folder) matches the path, whose last
// component may hold wildcards; enclosing quotes are removed first.
bool lib_FileExists(const std::string& strPath);

// A file (not a folder) at exactly this path. Names on this host may hold "*",
// "?" or "#", and case counts in them, so the name is not read as a pattern.
bool file_exists_at(const std::string& path);

// Whether `later`, a path that differs from `earlier` only in case, reaches the
// file at `earlier`: so it does where the file system ignores case. File systems
// through FUSE may give each spelling a number of its own; there the listings
// tell: a spelling that reaches a file although its folder does not list it was
// taken for another.
bool reaches_the_same_file(const std::string& earlier, const std::string& later);

}  // namespace quillet::lib_basFile
