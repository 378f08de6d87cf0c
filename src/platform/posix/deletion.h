#pragma once
// Deleting for good by native path, for callers in this folder that hold one.

#include <string>

namespace quillet::platform::posix {

// Deletes a file, a link or a folder with everything in it; links inside are
// removed themselves, never followed. Safe on any thread: it touches no state of
// the program's own.
bool delete_native_permanently(const std::string& native);

}  // namespace quillet::platform::posix
