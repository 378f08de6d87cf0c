#include "files/existence.h"

#include <algorithm>
#include <vector>

#include "files/path_resolution.h"
#include "platform/platform.h"
#include "text/tokenizer.h"
#include "text/wildcard.h"

namespace quillet::lib_basFile {

namespace {

struct FolderAndPattern {
    std::string folder;
    std::string pattern;
};

// Splits before the last component, as find-first reads its argument: a bare name
// is looked for in the current directory, "C:name" at the root of its drive.
FolderAndPattern split_search(const std::string& path) {
    const std::size_t last_separator = path.rfind('\\');
    if (last_separator != std::string::npos) {
        const std::string folder = path.substr(0, last_separator);
        return {folder.empty() ? "\\" : folder, path.substr(last_separator + 1)};
    }
    if (path.size() > 2 && path[1] == ':') return {path.substr(0, 2), path.substr(2)};
    return {platform::current_directory(), path};
}

std::vector<std::string_view> components(std::string_view path) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        parts.push_back(path.substr(start, end - start));
        if (end == path.size()) return parts;
        start = end + 1;
    }
}

// A folder that cannot be listed tells nothing: the name counts as listed.
bool listed_under(const std::string& folder, std::string_view name) {
    // The name as a pattern matches it, ignoring case, and perhaps some others.
    const auto listing = platform::list_folder(folder.ends_with(':') ? folder + "\\" : folder, name);
    if (!listing) return true;
    platform::DirectoryEntry entry;
    while (listing->next(entry)) {
        if (entry.name == name) return true;
    }
    return false;
}

}  // namespace

bool lib_DirExists(const std::string& strPath) {
    if (strPath.empty()) return false;
    const auto found = platform::attributes(lib_basConversion::lib_ResolvePath(strPath, ""));
    return found && found->directory;
}

bool lib_FileExists(const std::string& strPath) {
    const std::string path = lib_basConversion::lib_StripQuotes(strPath);
    // Without wildcards one look-up answers; listing the folder would make every
    // check cost as much as the folder is large.
    if (!holds_search_wildcards(path)) return file_exists_at(path);
    const FolderAndPattern search = split_search(path);
    if (search.pattern.empty()) return false;
    const auto listing = platform::list_folder(search.folder, search.pattern);
    if (!listing) return false;
    platform::DirectoryEntry entry;
    while (listing->next(entry)) {
        if (!entry.directory) return true;
    }
    return false;
}

bool file_exists_at(const std::string& path) {
    const auto found = platform::attributes(path);
    return found && !found->directory;
}

bool reaches_the_same_file(const std::string& earlier, const std::string& later) {
    const auto reached = platform::file_identity(later);
    if (!reached) return false;
    if (reached == platform::file_identity(earlier)) return true;
    const auto earlier_parts = components(earlier);
    const auto later_parts = components(later);
    // A drive or a share is one however it is spelled: only the names below it tell.
    const std::size_t root_parts = later.starts_with("\\\\") ? 4 : 1;
    std::string folder;
    for (std::size_t i = 0; i < later_parts.size(); ++i) {
        const bool spelled_otherwise = i >= earlier_parts.size() || earlier_parts[i] != later_parts[i];
        if (i >= root_parts && spelled_otherwise && !listed_under(folder, later_parts[i])) return true;
        folder += (i > 0 ? "\\" : "") + std::string(later_parts[i]);
    }
    return false;
}

}  // namespace quillet::lib_basFile
