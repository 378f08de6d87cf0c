#include "files/existence.h"

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

}  // namespace quillet::lib_basFile
