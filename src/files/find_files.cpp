#include "files/find_files.h"

#include <utility>

#include "text/error.h"
#include "text/paths.h"
#include "text/vb_errors.h"

namespace quillet {

using lib_basConversion::lib_AddPath;

namespace {

std::string replace_all(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

bool is_dot_or_dot_dot(const std::string& name) { return name == "." || name == ".."; }

Error too_many_levels(std::int16_t depth) {
    return Error(kLibraryError, "FindNextFile()", "Too many dir levels (" + std::to_string(depth) + ")");
}

}  // namespace

lib_clsFindFiles::lib_clsFindFiles() : lib_clsFindFiles(&platform::list_folder) {}

lib_clsFindFiles::lib_clsFindFiles(FolderLister lister) : lister_(std::move(lister)) {}

// ---------------------------------------------------------------------------
// The walk

bool lib_clsFindFiles::FindFirstFile(const std::string& pstrFilespec, std::string pstrStartDir,
                                     bool pblnInclSubs) {
    std::string pattern = pstrFilespec;
    if (pstrStartDir.empty()) {
        pattern = lib_basConversion::lib_GetFileName(pstrFilespec);
        pstrStartDir = lib_basConversion::lib_GetPath(pstrFilespec, true);
    }
    dir_ = pstrStartDir;
    // "*.*" means every name, those without a dot too.
    pattern = replace_all(pattern, "*.*", "*");
    match_pattern_.emplace(pattern, CaseMode::ignore_case);
    // With subfolders every entry is needed, to find the folders among them.
    search_pattern_ = pblnInclSubs ? "*" : pattern;

    auto listing = list(pstrStartDir);
    if (!read_entry(listing.get(), pstrStartDir)) return false;

    depth_ = 1;
    Level& start = level(1);
    start.listing = std::move(listing);
    start.relative_path.clear();
    start.full_path = pstrStartDir;
    current_level_ = 1;
    first_call_ = true;
    enter_folder_ = false;
    include_subfolders_ = pblnInclSubs;
    return FindNextFile();
}

bool lib_clsFindFiles::FindNextFile() {
    bool found = true;  // on the first call, FindFirstFile has read the entry
    if (!std::exchange(first_call_, false)) {
        dir_changed_ = false;  // a folder entered or left sets it again
        found = read_next();
    }
    for (;; found = read_next()) {
        if (!found) {
            close_exhausted_level();
            if (depth_ <= 0) return false;
            dir_changed_ = true;  // back in the parent's listing
            continue;
        }
        file_ = record_.name;
        if (is_dot_or_dot_dot(file_)) continue;
        if (record_.directory ? examine_folder() : examine_file()) return true;
    }
}

// The first entry of a folder waiting to be entered, else the next entry of the
// deepest open listing.
bool lib_clsFindFiles::read_next() {
    return std::exchange(enter_folder_, false) ? open_level() : advance();
}

bool lib_clsFindFiles::advance() {
    if (depth_ < 1) return false;
    const Level& current = level(depth_);
    return read_entry(current.listing.get(), current.full_path);
}

bool lib_clsFindFiles::open_level() {
    dir_changed_ = true;
    Level& entered = level(depth_);
    entered.listing = list(entered.full_path);
    return read_entry(entered.listing.get(), entered.full_path);
}

// A folder whose listing fails on the way is told as one that cannot be listed:
// what the listing did not give is missing.
bool lib_clsFindFiles::read_entry(platform::FolderListing* listing, const std::string& folder) {
    if (listing == nullptr) return false;
    if (listing->next(record_)) return true;
    if (listing->failed() && unreadable_folder_) unreadable_folder_(folder);
    return false;
}

std::unique_ptr<platform::FolderListing> lib_clsFindFiles::list(const std::string& folder) {
    auto listing = lister_(folder, search_pattern_);
    if (!listing && unreadable_folder_) unreadable_folder_(folder);
    return listing;
}

// A level that is exhausted, or could not be listed at all, is given up.
void lib_clsFindFiles::close_exhausted_level() {
    if (depth_ < 1) return;
    level(depth_).listing.reset();
    --depth_;
}

bool lib_clsFindFiles::examine_file() {
    if (search_type_ == kFoldersOnly) return false;
    if (!matches(file_)) {
        file_.clear();
        return false;
    }
    return returned(false, depth_);
}

bool lib_clsFindFiles::examine_folder() {
    // A link to a folder is an entry of its folder, never a folder to walk.
    if (!include_subfolders_ || record_.link) return examine_folder_without_subfolders();
    if (const platform::Unnameable why = platform::unnameable(file_); why != platform::Unnameable::no) {
        // Path text cannot reach inside; the folder is noted so that it does not
        // vanish without a word.
        unreachable_folders_.push_back({lib_AddPath(level(depth_).full_path, file_), why});
        return examine_folder_without_subfolders();
    }
    const Level& parent = level(depth_);
    std::string relative_path = lib_AddPath(parent.relative_path, file_);
    std::string full_path = lib_AddPath(parent.full_path, file_);
    if (folder_gate_ && !folder_gate_(full_path, relative_path)) return examine_folder_without_subfolders();

    ++depth_;
    if (depth_ > kHighestLevel) throw too_many_levels(depth_);
    dir_ = file_;
    Level& entered = level(depth_);
    entered.relative_path = std::move(relative_path);
    entered.full_path = std::move(full_path);

    // The folder is listed next; a matching one is first returned as an entry of
    // its parent, and the next call walks it.
    enter_folder_ = true;
    return search_type_ != kFilesOnly && matches(file_) && returned(true, depth_ - 1);
}

bool lib_clsFindFiles::examine_folder_without_subfolders() {
    if (search_type_ == kFilesOnly) return false;
    if (!matches(file_)) {
        file_.clear();
        return false;
    }
    return returned(true, depth_);
}

bool lib_clsFindFiles::matches(const std::string& name) const { return match_pattern_->matches(name); }

bool lib_clsFindFiles::returned(bool is_dir, std::int16_t at_level) {
    is_dir_ = is_dir;
    is_special_ = !is_dir && record_.special;
    current_level_ = at_level;
    return true;
}

// ---------------------------------------------------------------------------
// Levels and paths

void lib_clsFindFiles::CloseCurrentFindLevel() {
    level(current_level_).listing.reset();
    if (depth_ > 0) --depth_;
    if (current_level_ > depth_) current_level_ = depth_;
}

lib_clsFindFiles::Level& lib_clsFindFiles::level(int index) {
    if (index < 0 || index > kHighestLevel) throw vb::error(vb::kSubscriptOutOfRange);
    if (static_cast<std::size_t>(index) >= levels_.size()) levels_.resize(static_cast<std::size_t>(index) + 1);
    return levels_[static_cast<std::size_t>(index)];
}

const lib_clsFindFiles::Level& lib_clsFindFiles::level(int index) const {
    static const Level kNeverOpened;
    if (index < 0 || index > kHighestLevel) throw vb::error(vb::kSubscriptOutOfRange);
    if (static_cast<std::size_t>(index) >= levels_.size()) return kNeverOpened;
    return levels_[static_cast<std::size_t>(index)];
}

std::string lib_clsFindFiles::CurrentFindLevelFullPath() const { return level(current_level_).full_path; }

std::string lib_clsFindFiles::FullDir(std::int16_t& pintDirLevel) const {
    if (pintDirLevel == 0) pintDirLevel = current_level_;
    return level(pintDirLevel).full_path;
}

std::string lib_clsFindFiles::FullDir() const { return level(current_level_).full_path; }

std::string lib_clsFindFiles::FullFile() const { return lib_AddPath(level(current_level_).full_path, file_); }

const std::string& lib_clsFindFiles::RecursedDir() const { return level(current_level_).relative_path; }

}  // namespace quillet
