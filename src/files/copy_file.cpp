#include "files/copy_file.h"

#include "files/existence.h"
#include "files/find_files.h"
#include "files/pending_copy.h"
#include "text/error.h"
#include "text/paths.h"
#include "text/wildcard.h"

namespace quillet::lib_basFile {

using lib_basConversion::lib_AddPath;
using lib_basConversion::lib_GetFileName;

namespace {

constexpr const char* kSource = "Base7.lib_CopyFile";

class FileCopier {
public:
    FileCopier(UserSide& user, bool overwrite, const platform::CopyProgress& progress, CopyTally* tally)
        : user_(user), overwrite_(overwrite), progress_(progress), tally_(tally) {}

    bool copy_matches(const std::string& strSource, const std::string& strTarget) {
        const std::string folder = lib_basConversion::lib_GetPath(strSource, true);
        lib_clsFindFiles finder;
        if (!finder.FindFirstFile(lib_GetFileName(strSource), folder, false)) return false;
        bool all_copied = true;
        do {
            const std::string source = lib_AddPath(folder, finder.File());
            const std::string target = lib_AddPath(strTarget, finder.File());
            const bool copied = source != target && copy_one(source, target);
            all_copied = all_copied && copied;
        } while (finder.FindNextFile());
        return all_copied;
    }

    bool copy_single(const std::string& strSource, const std::string& strTarget) {
        const std::string target = strTarget.ends_with('\\') ? strTarget + lib_GetFileName(strSource) : strTarget;
        return strSource != target && copy_one(strSource, target);
    }

private:
    bool copy_one(const std::string& source, const std::string& target) {
        if (!overwrite_ && file_exists_at(target)) return false;
        PendingCopy copy(source, target);
        copy.make(progress_);
        copy.put_in_place(user_, tally_);
        return true;  // a copy that took its name, or a rename that succeeded, leaves it in place
    }

    UserSide& user_;
    bool overwrite_;
    const platform::CopyProgress& progress_;
    CopyTally* tally_;
};

bool copy_files(UserSide& user, const std::string& source, const std::string& target, bool overwrite,
                bool read_wildcards, const platform::CopyProgress& progress, CopyTally* tally) {
    const BusyScope busy(user);
    // A large file takes long: unless the caller follows the copy itself, the
    // windows keep answering between its pieces.
    const platform::CopyProgress keep_windows_answering = [&user](std::uint64_t, std::uint64_t) { user.do_events(); };
    FileCopier copier(user, overwrite, progress ? progress : keep_windows_answering, tally);
    // Nothing is shown here: every failure goes to the caller, who reports it.
    try {
        return read_wildcards && holds_search_wildcards(source) ? copier.copy_matches(source, target)
                                                                : copier.copy_single(source, target);
    } catch (const SourceUnreadable&) {
        throw;  // as a failure of the copy itself
    } catch (const Error& error) {
        throw error.with_source(kSource);
    }
}

}  // namespace

bool lib_CopyFile(UserSide& user, const std::string& strSource, const std::string& strTarget, bool blnOverwrite,
                  bool /*blnRetryPrompt*/, const platform::CopyProgress& progress, CopyTally* tally) {
    return copy_files(user, strSource, strTarget, blnOverwrite, true, progress, tally);
}

bool copy_one_file(UserSide& user, const std::string& source, const std::string& target, bool overwrite) {
    return copy_files(user, source, target, overwrite, false, {}, nullptr);
}

}  // namespace quillet::lib_basFile
