#pragma once
// Deleting a file or a folder tree as the shell does: to the trash, or for good.

#include <string>

namespace quillet::lib_basFile {

// True when the item is gone. To the trash unless blnPermanently; an item the
// trash cannot take is left in place and the result is false.
bool shell_delete(const std::string& strPath, bool blnPermanently);

}  // namespace quillet::lib_basFile
