#include "job/retention_cleanup.h"

#include <algorithm>

#include "files/file_deletion.h"
#include "files/find_files.h"
#include "job/sort_array.h"
#include "platform/platform.h"
#include "text/paths.h"
#include "text/unicode.h"
#include "text/vb_errors.h"
#include "ui/activity_report.h"
#include "ui/main_window.h"
#include "ui/user_side.h"

namespace quillet {

namespace {

constexpr std::int32_t kFilesAndFolders = 3;
constexpr std::size_t kNameColumn = 1;
constexpr std::size_t kIsFolderColumn = 2;

std::string first_characters(const std::string& text, std::size_t count) {
    return unicode::encode(unicode::decode(text).substr(0, count));
}

const std::string& text_of(const SortCell& cell) { return std::get<std::string>(cell); }

// A name that could lead the deletion anywhere but to an entry of the folder
// itself: path text would read its separators, or it names the folder or its parent.
bool names_only_itself(const std::string& name) {
    return name.find_first_of("\\/") == std::string::npos && name != "." && name != "..";
}

// The dated entries directly inside the folder, as rows 1..n of (name, "True" or
// "False" for a folder), in listing order.
SortTable list_snapshots(const std::string& folder) {
    SortTable rows(1);
    lib_clsFindFiles finder;
    finder.SearchType(kFilesAndFolders);
    for (bool found = finder.FindFirstFile("*.*", folder, false); found; found = finder.FindNextFile()) {
        if (!IsDatedName(finder.File()) || !names_only_itself(finder.File())) continue;
        if (rows.size() > static_cast<std::size_t>(kSnapshotTableRows)) throw vb::error(vb::kSubscriptOutOfRange);
        rows.push_back({std::string(), finder.File(), std::string(finder.IsDir() ? "True" : "False")});
    }
    return rows;
}

void delete_snapshot(const std::string& parent, const std::vector<SortCell>& row) {
    std::string path = lib_basConversion::lib_AddPath(parent, text_of(row[kNameColumn]));
    ReportActivity("Cleaning up\r\n" + path);
    const bool is_folder = text_of(row[kIsFolderColumn]) == "True";
    const bool gone = is_folder ? lib_basFile::lib_Deltree(FrontEndUserSide(), path, false, 0, false)
                                : lib_basFile::lib_KillFile(FrontEndUserSide(), path, false);
    if (!gone) AddMessageAndLog("Failed to cleanup " + path);
}

}  // namespace

bool IsDatedName(const std::string& name) { return is_iso_date(first_characters(name, 10)); }

std::int16_t SnapshotsToDelete(const std::vector<std::string>& sorted_names, const std::string& today,
                               std::int16_t keep_days) {
    // A negative count would never be reached; it keeps nothing, as 0 does.
    keep_days = std::max<std::int16_t>(keep_days, 0);
    std::int16_t kept = 0;
    auto row = static_cast<std::int16_t>(sorted_names.size());
    while (kept != keep_days && row != 0) {
        if (first_characters(sorted_names[static_cast<std::size_t>(row) - 1], 10) != today) ++kept;
        if (kept < keep_days) --row;
    }
    return row;
}

void RetentionCleanup(const JobOptions& options) {
    if (options.KeepDays >= kKeepEverything || options.SnapshotParent.empty()) return;
    // Another user's link in a shared folder would choose what goes; the copy pass
    // then reports that the snapshot folder cannot be made there.
    if (platform::passes_foreign_link(options.SnapshotParent)) return;
    frmMain.SetWindowCaption("Cleanup...");

    SortTable rows = list_snapshots(options.SnapshotParent);
    const auto count = static_cast<std::int16_t>(rows.size() - 1);
    if (count == 0) return;
    lib_SortArray(rows, 2, 2, kNameColumn, 1, 1, count);

    std::vector<std::string> names;
    for (std::size_t row = 1; row < rows.size(); ++row) names.push_back(text_of(rows[row][kNameColumn]));
    const std::int16_t doomed = SnapshotsToDelete(names, first_characters(options.DatedName, 10), options.KeepDays);
    for (std::int16_t row = 1; row <= doomed; ++row) {
        delete_snapshot(options.SnapshotParent, rows[static_cast<std::size_t>(row)]);
    }
}

}  // namespace quillet
