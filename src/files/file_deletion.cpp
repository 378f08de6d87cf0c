#include "files/file_deletion.h"

#include <optional>

#include "files/existence.h"
#include "files/find_files.h"
#include "files/trapping.h"
#include "platform/platform.h"
#include "text/paths.h"
#include "text/vb_errors.h"

namespace quillet::lib_basFile {

using lib_basConversion::lib_StripString;

namespace {

constexpr std::int32_t kFilesAndFolders = 3;

// As the shell deletes: to the trash, or for good. True when the item is gone; an
// item the trash cannot take is left in place.
bool shell_delete(const std::string& strPath, bool blnPermanently) {
    return blnPermanently ? platform::delete_permanently(strPath) : platform::move_to_trash(strPath);
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

bool delete_contents(UserSide& user, const std::string& strDir, bool blnPermanently) {
    lib_clsFindFiles finder;
    finder.SearchType(kFilesAndFolders);
    bool all_deleted = true;
    for (bool found = finder.FindFirstFile("*", strDir, false); found; found = finder.FindNextFile()) {
        const bool deleted = finder.IsDir() ? shell_delete(finder.FullFile(), blnPermanently)
                                            : lib_KillFile(user, finder.FullFile(), blnPermanently);
        all_deleted = all_deleted && deleted;
    }
    return all_deleted;
}

}  // namespace

bool lib_Deltree(UserSide& user, std::string_view strDir, bool blnContentsOnly, std::int16_t intMsgCountdown,
                 bool blnPermanently) {
    const std::string given(strDir);
    if (const auto reason = refusal(given)) {
        user.error_box(*reason, intMsgCountdown);
        return false;
    }
    const std::string folder = lib_StripString(given, "\\", false, false);
    if (blnContentsOnly) return delete_contents(user, folder, blnPermanently);
    return shell_delete(folder, blnPermanently);
}

bool lib_KillFile(UserSide& user, const std::string& strFile, bool blnPermanently) {
    return report_and_raise_again(user, "Base7.lib_KillFile", "File:" + strFile, [&] {
        if (!lib_FileExists(strFile)) return true;
        shell_delete(strFile, blnPermanently);
        if (!lib_FileExists(strFile)) return true;
        if (lib_FileInUse(strFile)) return false;
        // One more try, but never a permanent delete of what was meant for the
        // trash: when the trash cannot take the file, it stays.
        if (!blnPermanently) return false;
        shell_delete(strFile, true);
        return !lib_FileExists(strFile);
    });
}

namespace {

// Errors are left to lib_KillFile, which tells them.
bool trashed_if_there(const std::string& target) {
    try {
        return !file_exists_at(target) || platform::move_to_trash(target);
    } catch (const Error&) {
        return false;
    }
}

}  // namespace

bool trash_and_take_name(const std::string& target, const std::function<void()>& take_name) {
    bool taken = false;
    platform::without_interruption([&] {
        if (!trashed_if_there(target)) return;
        take_name();
        taken = true;
    });
    return taken;
}

bool replace_through_trash(UserSide& user, const std::string& replacement, const std::string& target,
                           const std::function<void()>& keep_replacement) {
    const auto take_name = [&] { platform::rename_file(replacement, target); };
    if (trash_and_take_name(target, take_name)) return true;
    // A second try, which tells why the trash refuses. It may show a box, so it
    // cannot wait out a signal: one that comes after the target went must find the
    // replacement kept rather than remove the only copy.
    keep_replacement();
    if (!lib_KillFile(user, target, false)) return false;
    take_name();
    return true;
}

bool lib_FileInUse(const std::string& strFile) {
    try {
        platform::rename_file(strFile, strFile);
    } catch (const Error& error) {
        const auto number = error.number();
        return number != vb::kFileNotFound && number != vb::kDeviceUnavailable;
    }
    return false;
}

}  // namespace quillet::lib_basFile
