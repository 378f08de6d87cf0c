#include "files/path_resolution.h"

#include "files/existence.h"
#include "platform/platform.h"
#include "text/paths.h"

namespace quillet::lib_basConversion {

namespace {

constexpr std::string_view kParent = "..\\";

}  // namespace

std::string lib_GetCurrentDrive() { return lib_GetDrive(platform::current_directory()); }

std::string lib_ResolvePath(const std::string& strPath, const std::string& strBase) {
    const std::int16_t parents = lib_CountString(strPath, std::string(kParent), kTextCompare);
    if (parents == 0) {
        if (!lib_GetDrive(strPath).empty()) return strPath;
        return lib_AddPath(strBase.empty() ? lib_GetCurrentDrive() : strBase, strPath);
    }
    const std::string base = strBase.empty() ? platform::current_directory() : strBase;
    const auto level = static_cast<std::int16_t>(-(parents + 1));
    const std::string kept = lib_GetPathLevel(base, level, true, false, false, false, FolderExistsTest());
    const std::string rest = strPath.substr(strPath.rfind(kParent) + kParent.size());
    return lib_AddPath(kept, rest);
}

std::string lib_GetPathLevel(const std::string& strPath, std::int16_t intLevel, bool blnJoinFromStart,
                             bool blnWithoutDrive, bool blnMustExist, bool blnJoinToEnd) {
    return lib_GetPathLevel(strPath, intLevel, blnJoinFromStart, blnWithoutDrive, blnMustExist, blnJoinToEnd,
                            lib_basFile::lib_DirExists);
}

}  // namespace quillet::lib_basConversion
