#include "files/file_deletion.h"

#include "files/existence.h"
#include "files/shell_delete.h"
#include "files/trapping.h"
#include "platform/platform.h"
#include "text/vb_errors.h"

namespace quillet::lib_basFile {

bool lib_KillFile(const std::string& strFile, bool blnPermanently) {
    return report_and_raise_again("Base7.lib_KillFile", "File:" + strFile, [&] {
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
