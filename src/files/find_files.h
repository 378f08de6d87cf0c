#pragma once
// lib_clsFindFiles walks a folder depth first and hands back one entry per call:
// files, folders or both, optionally with every subfolder. Entries come in the
// order the file system lists them; a subfolder is walked the moment it is met in
// its parent's listing. Links to folders are reported but never walked, so a loop
// of links cannot trap the walk.
//
//   lib_clsFindFiles finder;
//   finder.SearchType(3);
//   for (bool found = finder.FindFirstFile("*.*", folder, true); found; found = finder.FindNextFile())
//       use(finder.FullFile(), finder.IsDir(), finder.RecursedDir(), finder.DirChanged());

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "text/wildcard.h"

namespace quillet {

class lib_clsFindFiles {
public:
    // Opens one folder's listing with a pattern; null when the folder cannot be listed.
    using FolderLister =
        std::function<std::unique_ptr<platform::FolderListing>(std::string_view folder, std::string_view pattern)>;
    // Told the full path of a folder whose listing could not be opened, or failed
    // before its end, the start folder included, when the walk meets it.
    using UnreadableFolderNotice = std::function<void(const std::string& folder)>;
    // Asked before a subfolder is walked, with its full and relative paths; false
    // keeps the walk out of it (the folder is still returned when it matches).
    using FolderGate = std::function<bool(const std::string& folder, const std::string& relative)>;

    // Search types: files only (the default), folders only; any other value means both.
    static constexpr std::int32_t kFilesOnly = 1;
    static constexpr std::int32_t kFoldersOnly = 2;
    // Levels 1 to 9999 can be open; level 0 is never used.
    static constexpr std::int16_t kHighestLevel = 9999;

    lib_clsFindFiles();
    // Walks listings from the given lister instead of the host's folders.
    explicit lib_clsFindFiles(FolderLister lister);

    void CloseCurrentFindLevel();
    std::int16_t CurrentFindLevel() const { return current_level_; }
    std::string CurrentFindLevelFullPath() const;
    // The start folder after FindFirstFile, then the subfolder most recently entered.
    const std::string& Dir() const { return dir_; }
    // True for the first entry of a newly entered folder, and for the first entry
    // after the walk came back to a parent folder.
    bool DirChanged() const { return dir_changed_; }
    const std::string& File() const { return file_; }

    // Without pstrStartDir the folder comes from pstrFilespec ("C:\Data\*.txt");
    // with it, pstrFilespec is the pattern alone. True when an entry was found.
    bool FindFirstFile(const std::string& pstrFilespec, std::string pstrStartDir = {}, bool pblnInclSubs = false);
    // Raises "Too many dir levels (...)" when the tree is deeper than 9999 levels.
    bool FindNextFile();

    // The full path of a level's folder; level 0 (or none) is the current level,
    // which is written back into pintDirLevel.
    std::string FullDir(std::int16_t& pintDirLevel) const;
    std::string FullDir() const;
    std::string FullFile() const;
    bool IsDir() const { return is_dir_; }
    // The last returned file is a FIFO, socket or device (links followed): no
    // regular file, and not to be opened.
    bool IsSpecial() const { return is_special_; }
    // The current level's folder relative to the start folder; empty for the start folder.
    const std::string& RecursedDir() const;
    std::int32_t SearchType() const { return search_type_; }
    void SearchType(std::int32_t penmSearchType) { search_type_ = penmSearchType; }
    // Subfolders met so far that could not be walked because path text cannot
    // name them (platform::unnameable).
    struct UnreachableFolder {
        std::string path;
        platform::Unnameable why;
    };
    const std::vector<UnreachableFolder>& UnreachableFolders() const { return unreachable_folders_; }

    // Without these, a folder that cannot be listed reads as an empty one (one
    // that fails on the way, as what it gave), and every subfolder is walked.
    void OnUnreadableFolder(UnreadableFolderNotice notice) { unreadable_folder_ = std::move(notice); }
    void WalkFolderIf(FolderGate gate) { folder_gate_ = std::move(gate); }

private:
    struct Level {
        std::unique_ptr<platform::FolderListing> listing;
        std::string full_path;
        std::string relative_path;
    };
    Level& level(int index);
    const Level& level(int index) const;
    bool read_next();
    bool advance();
    bool open_level();
    bool read_entry(platform::FolderListing* listing, const std::string& folder);
    void close_exhausted_level();
    // Each true when the entry is one to return.
    bool examine_file();
    bool examine_folder();
    bool examine_folder_without_subfolders();
    bool matches(const std::string& name) const;
    std::unique_ptr<platform::FolderListing> list(const std::string& folder);
    bool returned(bool is_dir, std::int16_t at_level);

    FolderLister lister_;
    bool dir_changed_ = false;
    bool first_call_ = false;
    bool include_subfolders_ = false;
    bool is_dir_ = false;
    bool is_special_ = false;
    // The deepest level's folder is to be listed before the walk reads on: a
    // subfolder just entered, or one returned that the next call walks.
    bool enter_folder_ = false;
    std::int32_t search_type_ = kFilesOnly;
    std::int16_t depth_ = 0;
    std::int16_t current_level_ = 0;
    std::vector<Level> levels_;
    std::string dir_;
    std::string file_;
    std::optional<WildcardPattern> match_pattern_;
    std::string search_pattern_;
    platform::DirectoryEntry record_;
    std::vector<UnreachableFolder> unreachable_folders_;
    UnreadableFolderNotice unreadable_folder_;
    FolderGate folder_gate_;
};

}  // namespace quillet
