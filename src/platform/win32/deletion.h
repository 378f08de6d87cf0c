#pragma once
// Deleting for good by system path, for callers in this folder that hold one.

#include <string>

namespace quillet::platform::win32 {

// Deletes a file, a link or a folder with everything in it; links and junctions
// inside are removed themselves, never followed. Safe on any thread.
bool delete_native_permanently(const std::wstring& system_path);

}  // namespace quillet::platform::win32
