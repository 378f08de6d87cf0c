#include "zip/file_selection.h"

#include <unordered_set>
#include <utility>

#include "text/paths.h"

namespace quillet::zip32 {

using lib_basConversion::lib_AddPath;
using lib_basConversion::path_pieces;

namespace {

bool is_absolute(const std::string& text) {
    return text.starts_with('\\') || (text.size() >= 2 && text[1] == ':');
}

std::string join_name(const std::string& prefix, const std::string& name) {
    return prefix.empty() ? name : prefix + "/" + name;
}

// The part of a path text after its drive or share root: "Z:\a\b" -> "a\b",
// "\\server\share\a" -> "a".
std::string without_root(const std::string& text) {
    std::size_t skip = 0;
    if (text.starts_with("\\\\")) {
        const std::size_t server_end = text.find('\\', 2);
        const std::size_t share_end =
            server_end == std::string::npos ? std::string::npos : text.find('\\', server_end + 1);
        skip = share_end == std::string::npos ? text.size() : share_end;
    } else if (text.size() >= 2 && text[1] == ':') {
        skip = 2;
    }
    while (skip < text.size() && text[skip] == '\\') ++skip;
    return text.substr(skip);
}

// The entry-name prefix for a folder: its path below the root folder, or for a
// folder elsewhere its path without the drive, so that no entry name is absolute.
std::string name_prefix_for(const std::string& folder_text, const std::string& root_text) {
    std::string relative;
    if (folder_text == root_text) return {};
    if (folder_text.starts_with(root_text + "\\")) {
        relative = folder_text.substr(root_text.size() + 1);
    } else {
        relative = without_root(folder_text);
    }
    std::string prefix;
    for (const std::string& part : path_pieces(relative)) {
        if (part.empty() || part == ".") continue;
        prefix = join_name(prefix, part);
    }
    return prefix;
}

bool matches_every_name(const std::string& pattern) { return pattern == "*" || pattern == "*.*"; }

// The names of one folder that a pattern picks, read once through the
// platform's listing so that matching follows its rules.
class NameFilter {
public:
    static NameFilter for_pattern(const std::string& folder_text, const std::string& pattern) {
        NameFilter filter;
        if (matches_every_name(pattern)) return filter;
        filter.names_.emplace();
        if (auto listing = platform::list_folder(folder_text, pattern)) {
            platform::DirectoryEntry entry;
            while (listing->next(entry)) filter.names_->insert(entry.name);
        }
        return filter;
    }
    bool matches(const std::string& name) const { return !names_ || names_->contains(name); }

private:
    std::optional<std::unordered_set<std::string>> names_;  // none: every name
};

enum class Descend {
    never,            // matching folders become bare entries
    matching_folders, // matching folders are taken whole
    every_folder,     // every folder is searched with the same pattern
};

class Walker {
public:
    Walker(const SelectionRules& rules, Selection& selection) : rules_(rules), selection_(selection) {}

    void add_request(const std::string& folder_text, const std::string& pattern, Descend descend) {
        const std::string prefix = name_prefix_for(folder_text, rules_.root_text);
        walk(folder_text, prefix, pattern, descend, selection_.entries);
    }

private:
    // Appends a folder's chosen entries to `out`, folders before their contents.
    void walk(const std::string& folder_text, const std::string& prefix, const std::string& pattern, Descend descend,
              std::vector<SelectedEntry>& out) {
        const NameFilter filter = NameFilter::for_pattern(folder_text, pattern);
        auto listing = platform::list_folder(folder_text, "*");
        if (!listing) {
            cannot_list(folder_text);
            return;
        }
        platform::DirectoryEntry entry;
        while (listing->next(entry)) {
            if (entry.name == "." || entry.name == "..") continue;
            if (!worth_looking_at(entry, prefix)) continue;
            const std::string path = lib_AddPath(folder_text, entry.name);
            const std::string name = join_name(prefix, entry.name);
            if (entry.directory) {
                take_folder(path, name, filter.matches(entry.name), pattern, descend, out);
            } else if (filter.matches(entry.name)) {
                take_file(path, name, entry.name, out);
            }
        }
        if (listing->failed()) cannot_list(folder_text);
    }

    // What the folder holds would be missing from the archive without a word.
    void cannot_list(const std::string& folder_text) {
        note("cannot list folder: " + folder_text);
        selection_.unreadable = true;
    }

    bool worth_looking_at(const platform::DirectoryEntry& entry, const std::string& prefix) {
        const std::string shown = join_name(prefix, entry.name);
        if (entry.name.find('\\') != std::string::npos) {
            // Path text cannot reach such a name; it must not vanish unnoticed.
            note("name cannot be archived: " + shown);
            selection_.unreadable = true;
            return false;
        }
        if (entry.name.starts_with('.') && !rules_.include_hidden) {
            selection_.details.push_back("hidden, left out: " + shown);
            return false;
        }
        if (entry.directory && entry.link) {
            note("link to a folder not followed: " + shown);
            return false;
        }
        return true;
    }

    void take_folder(const std::string& path, const std::string& name, bool matched, const std::string& pattern,
                     Descend descend, std::vector<SelectedEntry>& out) {
        if (descend == Descend::never || (descend == Descend::matching_folders && !matched)) {
            if (matched) add_folder_entry(path, name, out);
            return;
        }
        // A folder taken whole is searched for every name; otherwise the pattern
        // goes down with the search.
        std::vector<SelectedEntry> inside;
        const bool whole = descend == Descend::matching_folders;
        walk(path, name, whole ? std::string("*") : pattern, Descend::every_folder, inside);
        if (matched || !inside.empty()) add_folder_entry(path, name, out);
        for (SelectedEntry& entry : inside) out.push_back(std::move(entry));
    }

    void add_folder_entry(const std::string& path, const std::string& name, std::vector<SelectedEntry>& out) {
        if (!rules_.folder_entries || rules_.junk_folders) return;
        const auto status = platform::archive_status(path);
        if (!status) return;  // gone since it was listed
        if (!within_date_limits(status->last_write)) return;
        out.push_back(SelectedEntry{name, path, true, status->last_write, 0, status->permissions});
    }

    void take_file(const std::string& path, const std::string& name, const std::string& bare_name,
                   std::vector<SelectedEntry>& out) {
        if (is_the_archive_itself(path, bare_name)) return;
        const auto status = platform::archive_status(path);
        if (!status) {
            note("cannot read: " + name);
            selection_.unreadable = true;
            return;
        }
        if (!within_date_limits(status->last_write)) return;
        out.push_back(SelectedEntry{rules_.junk_folders ? bare_name : name, path, false, status->last_write,
                                    status->size, status->permissions});
    }

    bool is_the_archive_itself(const std::string& path, const std::string& bare_name) const {
        // A quick look at the name first: a native path ends in "/name", on Windows in "\name".
        const std::string& skip = rules_.skip_native;
        if (skip.size() <= bare_name.size() || !skip.ends_with(bare_name)) return false;
        const char separator = skip[skip.size() - bare_name.size() - 1];
        if (separator != '/' && separator != '\\') return false;
        return platform::native_path(path) == skip;
    }

    bool within_date_limits(platform::FileTime time) const {
        if (rules_.modified_from && time < *rules_.modified_from) return false;
        if (rules_.modified_before && time >= *rules_.modified_before) return false;
        return true;
    }

    void note(std::string text) { selection_.notes.push_back(std::move(text)); }

    const SelectionRules& rules_;
    Selection& selection_;
};

Descend descend_for(Recurse recurse) {
    switch (recurse) {
        case Recurse::with_pattern:
            return Descend::every_folder;
        case Recurse::into_folders:
            return Descend::matching_folders;
        case Recurse::none:
            break;
    }
    return Descend::never;
}

}  // namespace

std::optional<Selection> select_entries(const SelectionRules& rules, const std::vector<std::string>& requests,
                                        std::string& problem) {
    Selection selection;
    Walker walker(rules, selection);
    for (const std::string& request : requests) {
        for (const std::string& part : path_pieces(request)) {
            if (part == "..") {
                problem = "\"..\" in a file name: " + request;
                return std::nullopt;
            }
        }
        const std::size_t last = request.rfind('\\');
        std::string folder = last == std::string::npos ? std::string() : request.substr(0, last);
        const std::string pattern = last == std::string::npos ? request : request.substr(last + 1);
        if (last != std::string::npos && folder.empty()) folder = "\\";  // "\name": the drive's root
        if (!is_absolute(folder)) folder = folder.empty() ? rules.root_text : lib_AddPath(rules.root_text, folder);
        walker.add_request(folder, pattern, descend_for(rules.recurse));
    }
    return selection;
}

}  // namespace quillet::zip32
