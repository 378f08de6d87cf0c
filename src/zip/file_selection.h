#pragma once
// Which files and folders go into an archive: the requested names and patterns resolved
// against the root folder, walked as the recurse mode says and filtered.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillet::zip32 {

enum class Recurse {
    none,          // the requests name files (and folders, as bare entries)
    with_pattern,  // every folder below the request's folder, files matching its pattern
    into_folders,  // matching folders are archived with everything in them
};

struct SelectionRules {
    std::string root_text;  // path text without a trailing backslash
    Recurse recurse = Recurse::none;
    bool include_hidden = false;  // names beginning with "." are this host's hidden files
    bool folder_entries = true;
    bool junk_folders = false;                                // store bare file names
    std::optional<platform::FileTime> modified_from;    // only times at or after
    std::optional<platform::FileTime> modified_before;  // only times before
    std::string skip_native;  // the archive itself, never added to itself
};

struct SelectedEntry {
    std::string name;       // entry name: "/" separators, folders without the trailing "/"
    std::string path_text;  // where the file or folder is
    bool folder = false;
    platform::FileTime last_write = 0;
    std::uint64_t size = 0;
    std::uint32_t permissions = 0;  // POSIX permission bits
};

struct Selection {
    std::vector<SelectedEntry> entries;  // folders before what they hold
    std::vector<std::string> notes;      // what could not be taken, and why
    std::vector<std::string> details;    // what was left out on purpose
    bool unreadable = false;             // something matched that cannot be archived
};

// Resolves and walks the requests. Empty when a request is unusable
// (it climbs out with ".."): the reason is in `problem`.
std::optional<Selection> select_entries(const SelectionRules& rules, const std::vector<std::string>& requests,
                                        std::string& problem);

}  // namespace quillet::zip32
