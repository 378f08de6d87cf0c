#include "files/folders.h"

#include <vector>

#include "files/existence.h"
#include "files/trapping.h"
#include "platform/platform.h"
#include "text/paths.h"
#include "text/tokenizer.h"

namespace quillet::lib_basFile {

namespace {

std::string component(const std::vector<std::string>& components, std::size_t index) {
    return index < components.size() ? components[index] : std::string();
}

// Creates the levels below the drive or share one by one.
void create_missing_levels(const std::string& strPath) {
    const std::vector<std::string> components = lib_basConversion::path_components(strPath);
    std::string folder;
    std::size_t next = 0;
    if (strPath.starts_with("\\\\")) {
        folder = "\\\\" + component(components, 0) + "\\" + component(components, 1);
        next = 2;
    } else if (!components.empty() && components.front().ends_with(':')) {
        folder = components.front();
        next = 1;
    }
    for (; next < components.size(); ++next) {
        folder += "\\" + components[next];
        if (!lib_DirExists(folder)) platform::make_folder(folder);
    }
}

}  // namespace

bool lib_MakePath(UserSide& user, const std::string& strPath) {
    const BusyScope busy(user);
    return report_and_raise_again(user, "Base7.lib_MakePath", "Path:" + strPath, [&] {
        const std::string unquoted = lib_basConversion::lib_StripQuotes(strPath);
        // Another user's link in a shared folder is neither followed nor made into.
        if (platform::passes_foreign_link(unquoted)) return false;
        if (lib_DirExists(strPath)) return true;
        create_missing_levels(unquoted);
        return lib_DirExists(unquoted) && !platform::passes_foreign_link(unquoted);
    });
}

}  // namespace quillet::lib_basFile
