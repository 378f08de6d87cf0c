#pragma once
// Symbolic links for tests, on POSIX hosts and Windows. MinGW's std::filesystem
// makes none (ENOSYS); Windows makes them only with Developer Mode or the
// privilege, and Wine 8 says it made one and makes nothing. A test that needs
// links skips itself when make_link answers false, saying kNoLinksHere. Windows'
// header stays in links.cpp: its macros (CopyFile, FindFirstFile) would rename
// the program's own functions in the tests.

#include <filesystem>

namespace quillet::testing {

inline constexpr const char* kNoLinksHere =
    "no symbolic link can be made here (Windows without Developer Mode, or Wine, which makes none)";

// Makes LINK, a symbolic link to TARGET, which need not exist; FOLDER says whether
// it stands for a folder (Windows keeps the two kinds apart). False when this
// host cannot make one.
bool make_link(const std::filesystem::path& target, const std::filesystem::path& link, bool folder);

}  // namespace quillet::testing
