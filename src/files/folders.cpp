#include "files/folders.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "files/existence.h"
#include "files/trapping.h"
#include "platform/platform.h"
#include "text/error.h"
#include "text/paths.h"
#include "text/tokenizer.h"

namespace quillet::lib_basFile {

namespace {

// Path text in quotes loses them; any other is taken as it stands, blanks at its
// ends and quotes inside included: names found on the disk may hold them.
std::string unquoted_path(const std::string& path) {
    const std::string_view trimmed = lib_basConversion::trimmed_blanks(path);
    const bool quoted = trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"';
    return quoted ? lib_basConversion::lib_StripQuotes(path) : path;
}

// The path up to the end of each name between its backslashes, as it stands: the
// tokenizer would trim the names and take their quotes as its own, and a doubled
// backslash stays, so that a folder made is named as its caller spells it.
std::vector<std::string_view> levels_as_they_stand(std::string_view path) {
    std::vector<std::string_view> levels;
    for (std::size_t start = 0; start < path.size();) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) levels.push_back(path.substr(0, end));
        start = end + 1;
    }
    return levels;
}

// A path that could not be made whole keeps none of the folders made for it (an
// empty dated folder would count as a snapshot at the next /K), last first, each
// only while empty and while no other user's link stands on its way.
void remove_levels_made(const std::vector<std::string>& made) {
    for (auto folder = made.rbegin(); folder != made.rend(); ++folder) {
        if (platform::passes_foreign_link(*folder)) return;
        platform::remove_empty_folder(*folder);
    }
}

// Creates the levels below the drive or share one by one; those it made go to made.
void create_missing_levels(const std::string& strPath, std::vector<std::string>& made) {
    const std::vector<std::string_view> levels = levels_as_they_stand(strPath);
    std::size_t next = 0;
    if (strPath.starts_with("\\\\")) {
        next = 2;  // the server and the share
    } else if (!levels.empty() && levels.front().ends_with(':')) {
        next = 1;
    }
    for (; next < levels.size(); ++next) {
        std::string folder(levels[next]);
        if (lib_DirExists(folder)) continue;
        try {
            platform::make_folder(folder);
        } catch (const Error&) {
            // Another run starting at the same moment may have made it since: not
            // ours, but there, as asked.
            if (lib_DirExists(folder)) continue;
            remove_levels_made(made);
            throw;
        }
        made.push_back(std::move(folder));
    }
}

// A folder one level below a known one is made in one step: the known folder
// was made or checked in this pass, and a folder just made is no link. Empty
// when the path must take the long way (it is not plain, its parent is not
// known, or the folder cannot be made at once).
std::optional<bool> made_below_known(const std::string& path, KnownFolders& known) {
    if (known.holds(path)) return true;
    const std::size_t last = path.rfind('\\');
    if (last == std::string::npos || last + 1 == path.size() || path.find('"') != std::string::npos ||
        !known.holds(std::string_view(path).substr(0, last))) {
        return std::nullopt;
    }
    try {
        platform::make_folder(path);
    } catch (const Error&) {
        return std::nullopt;  // it may stand already, or its parent be gone since
    }
    known.made(path);
    return true;
}

bool make_path(const std::string& strPath, KnownFolders* known) {
    if (known != nullptr) {
        if (const auto made = made_below_known(strPath, *known)) return *made;
    }
    const std::string unquoted = unquoted_path(strPath);
    // Another user's link on the way is neither followed nor made into.
    if (platform::passes_foreign_link(unquoted)) return false;
    std::vector<std::string> made;
    if (!lib_DirExists(strPath)) {
        create_missing_levels(unquoted, made);
        if (!lib_DirExists(unquoted) || platform::passes_foreign_link(unquoted)) {
            remove_levels_made(made);
            return false;
        }
    }
    if (known != nullptr) {
        for (const std::string& folder : made) known->made(folder);
        known->found(unquoted);
    }
    return true;
}

}  // namespace

bool lib_MakePath(UserSide& user, const std::string& strPath, KnownFolders* known) {
    const BusyScope busy(user);
    return report_and_raise_again(user, "Base7.lib_MakePath", "Path:" + strPath,
                                  [&] { return make_path(strPath, known); });
}

}  // namespace quillet::lib_basFile
