#include "files/short_path.h"

#include "platform/platform.h"

namespace quillet::lib_basFile {

std::string lib_GetShortPath(const std::string& strPath) {
    return platform::attributes(strPath) ? strPath : std::string();
}

}  // namespace quillet::lib_basFile
