#include "files/temp_names.h"

#include "platform/platform.h"

namespace quillet::lib_basFile {

namespace {

std::string with_extension(const std::string& strName, const std::string& strExtension) {
    const std::size_t dot = strName.rfind('.');
    if (dot == std::string::npos) return strName + "." + strExtension;
    return strName.substr(0, dot + 1) + strExtension;
}

}  // namespace

std::string lib_GetTempFileName(const std::string& strPrefix, const std::string& strExtension) {
    const std::string folder = platform::temp_folder();
    if (folder.empty() || strPrefix.empty()) return folder;
    const std::string name = platform::create_temp_file(folder, strPrefix);
    if (name.empty() || strExtension.empty()) return name;
    return with_extension(name, strExtension);
}

}  // namespace quillet::lib_basFile
