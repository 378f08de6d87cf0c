#include "files/shell_delete.h"

#include "platform/platform.h"

namespace quillet::lib_basFile {

bool shell_delete(const std::string& strPath, bool blnPermanently) {
    return blnPermanently ? platform::delete_permanently(strPath) : platform::move_to_trash(strPath);
}

}  // namespace quillet::lib_basFile
