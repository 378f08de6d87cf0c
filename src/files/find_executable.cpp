#include "files/find_executable.h"

#include "platform/platform.h"
#include "text/paths.h"

namespace quillet::lib_basFile {

std::string lib_FindExecutable(const std::string& strPath) {
    if (lib_basConversion::lib_GetPath(strPath, true).find('\\') == std::string::npos) return {};
    return platform::registered_program(strPath);
}

}  // namespace quillet::lib_basFile
