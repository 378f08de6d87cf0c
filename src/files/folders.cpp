#include "files/folders.h"

#include <optional>
#include <vector>

#include "files/existence.h"
#include "files/file_deletion.h"
#include "files/find_files.h"
#include "files/shell_delete.h"
#include "files/trapping.h"
#include "platform/platform.h"
#include "text/paths.h"
#include "text/tokenizer.h"
#include "ui/busy.h"
#include "ui/msgbox.h"

namespace quillet::lib_basFile {

using lib_basConversion::lib_StripString;

namespace {

constexpr std::int32_t kFilesAndFolders = 3;

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

// Why a folder may not be deleted at all; nothing when it may.
std::optional<std::string> refusal(const std::string& strDir) {
    if (strDir.starts_with("\\\\")) return "UNCs are not yet supported";
    if (strDir.find('\\') == std::string::npos || strDir.find(':') == std::string::npos) {
        return "Directory " + strDir + " invalid (either no drive or dir specified)";
    }
    const std::string trimmed = lib_StripString(strDir, "", false, false);
    if (trimmed.ends_with(":\\")) return "Directory " + strDir + " invalid (drive root not allowed)";
    return std::nullopt;
}

bool delete_contents(const std::string& strDir, bool blnPermanently) {
    lib_clsFindFiles finder;
    finder.SearchType(kFilesAndFolders);
    bool all_deleted = true;
    for (bool found = finder.FindFirstFile("*", strDir, false); found; found = finder.FindNextFile()) {
        const bool deleted = finder.IsDir() ? shell_delete(finder.FullFile(), blnPermanently)
                                            : lib_KillFile(finder.FullFile(), blnPermanently);
        all_deleted = all_deleted && deleted;
    }
    return all_deleted;
}

}  // namespace

bool lib_MakePath(const std::string& strPath) {
    lib_basDisplay::BusyScope busy;
    return report_and_raise_again("Base7.lib_MakePath", "Path:" + strPath, [&] {
        const std::string unquoted = lib_basConversion::lib_StripQuotes(strPath);
        // Another user's link in a shared folder is neither followed nor made into.
        if (platform::passes_foreign_link(unquoted)) return false;
        if (lib_DirExists(strPath)) return true;
        create_missing_levels(unquoted);
        return lib_DirExists(unquoted) && !platform::passes_foreign_link(unquoted);
    });
}

bool lib_Deltree(std::string& strDir, bool blnContentsOnly, std::int16_t intMsgCountdown, bool blnPermanently) {
    if (const auto reason = refusal(strDir)) {
        lib_MsgBoxError(*reason, intMsgCountdown);
        return false;
    }
    strDir = lib_StripString(strDir, "\\", false, false);
    if (blnContentsOnly) return delete_contents(strDir, blnPermanently);
    return shell_delete(strDir, blnPermanently);
}

}  // namespace quillet::lib_basFile
