#pragma once
// Creating a folder path and deleting a folder tree.

#include <cstdint>
#include <string>

namespace quillet::lib_basFile {

// Creates every missing folder of the path, level by level; true when the folder
// exists afterwards. A path without a drive is created from the root of the
// current drive. Run-time errors are reported and raised again.
bool lib_MakePath(const std::string& strPath);

// Deletes a folder with everything in it (to the trash unless blnPermanently), or
// with blnContentsOnly only what it holds. Share paths, paths without a drive or a
// folder, and drive roots are refused in the error box (with the countdown). The
// caller's strDir loses its trailing backslash. True when everything was deleted.
bool lib_Deltree(std::string& strDir, bool blnContentsOnly, std::int16_t intMsgCountdown, bool blnPermanently);

}  // namespace quillet::lib_basFile
