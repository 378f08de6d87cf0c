#include "job/retention_cleanup.h"

#include <algorithm>
#include <optional>

#include "files/file_deletion.h"
#include "files/find_files.h"
#include "platform/platform.h"
#include "text/paths.h"
#include "text/unicode.h"
#include "text/vb_errors.h"
#include "ui/activity_report.h"
#include "ui/user_side.h"

namespace quillet {

namespace {

constexpr std::int32_t kFilesAndFolders = 3;

// A name's first ten characters, where a dated one has its "yyyy-mm-dd".
std::string date_part(const std::string& name) { return unicode::encode(unicode::decode(name).substr(0, 10)); }

// A name that could lead the deletion anywhere but to an entry of the folder
// itself: path text would read its separators, or it names the folder or its parent.
bool names_only_itself(const std::string& name) {
    return name.find_first_of("\\/") == std::string::npos && name != "." && name != "..";
}

// The folder that holds the path, a drive's root included ("C:" alone would be
// the drive's current folder).
std::string holding_folder(const std::string& path) {
    std::string folder = lib_basConversion::parent_folder(path);
    if (folder.ends_with(':')) folder += '\\';
    return folder;
}

// The entry of the folder that is the source folder or holds it, whatever its
// name: a source with a dated name where the snapshots go is no snapshot. None
// when the source lies elsewhere. The source is followed through its links
// first, as the path given may reach it from anywhere.
std::optional<platform::FileIdentity> entry_holding(const std::string& folder, const std::string& source) {
    const auto parent = platform::file_identity(folder);
    const auto resolved = platform::resolved_path(source);
    if (!parent || !resolved) return std::nullopt;
    std::string inner = *resolved;
    for (std::string outer = holding_folder(inner); !outer.empty() && outer != inner;
         inner = outer, outer = holding_folder(inner)) {
        if (platform::file_identity(outer) == parent) return platform::file_identity(inner);
    }
    return std::nullopt;
}

// Whether a folder that did not list to its end failed: one not there yet holds
// no snapshots, but one there, or one that cannot even be looked at, did fail.
bool failed_to_list(const std::string& folder) {
    const auto there = platform::attributes(folder);
    return there ? there->directory : !platform::last_error_means_missing();
}

// The dated entries directly inside the folder, in listing order, but the one
// that holds the source. None, after the row, when the folder is there but cannot
// be read to its end: a listing with gaps would keep the wrong ones.
std::optional<std::vector<Snapshot>> list_snapshots(const std::string& folder, const std::string& source) {
    std::vector<Snapshot> snapshots;
    const auto source_entry = entry_holding(folder, source);
    lib_clsFindFiles finder;
    finder.SearchType(kFilesAndFolders);
    bool unreadable = false;
    finder.OnUnreadableFolder([&unreadable](const std::string&) { unreadable = true; });
    for (bool found = finder.FindFirstFile("*.*", folder, false); found; found = finder.FindNextFile()) {
        if (!IsDatedName(finder.File()) || !names_only_itself(finder.File())) continue;
        if (source_entry && platform::file_identity(finder.FullFile()) == source_entry) continue;
        if (snapshots.size() >= static_cast<std::size_t>(kSnapshotTableRows)) {
            throw vb::error(vb::kSubscriptOutOfRange);
        }
        snapshots.push_back({finder.File(), finder.IsDir()});
    }
    if (unreadable && failed_to_list(folder)) {
        AddMessageAndLog("Failed to read dir " + folder);
        return std::nullopt;
    }
    return snapshots;
}

void delete_snapshot(const std::string& parent, const Snapshot& snapshot, JobActivity& activity) {
    std::string path = lib_basConversion::lib_AddPath(parent, snapshot.name);
    activity.cleaning_up(path);
    const bool gone = snapshot.is_folder ? lib_basFile::lib_Deltree(FrontEndUserSide(), path, false, 0, false)
                                         : lib_basFile::lib_KillFile(FrontEndUserSide(), path, false);
    // Another run's clean-up may have taken it meanwhile: only what stays is a failure.
    if (!gone && platform::attributes(path)) AddMessageAndLog("Failed to cleanup " + path);
}

}  // namespace

bool IsDatedName(const std::string& name) { return is_iso_date(date_part(name)); }

void lib_SortArray(std::vector<Snapshot>& snapshots) {
    // Upper-cased once, not at every comparison.
    std::vector<std::pair<std::u32string, Snapshot>> keyed;
    keyed.reserve(snapshots.size());
    for (Snapshot& snapshot : snapshots) {
        keyed.emplace_back(unicode::to_upper(unicode::decode(snapshot.name)), std::move(snapshot));
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < keyed.size(); ++i) snapshots[i] = std::move(keyed[i].second);
}

std::size_t SnapshotsToDelete(const std::vector<Snapshot>& sorted, const std::string& today, std::int16_t keep_days) {
    // A negative count would never be reached; it keeps nothing, as 0 does.
    keep_days = std::max<std::int16_t>(keep_days, 0);
    std::int16_t kept = 0;
    std::size_t row = sorted.size();
    while (kept != keep_days && row != 0) {
        if (date_part(sorted[row - 1].name) != today) ++kept;
        if (kept < keep_days) --row;
    }
    return row;
}

void RetentionCleanup(const JobOptions& options, const SnapshotPlan& plan, JobActivity& activity) {
    if (options.KeepDays >= kKeepEverything || plan.SnapshotParent.empty()) return;
    // A run being interrupted deletes no more: the next job waits here for its end.
    if (platform::interruption_started()) platform::without_interruption([] {});
    // Another user's link on the way would choose what goes; the copy pass
    // then reports that the snapshot folder cannot be made there.
    if (platform::passes_foreign_link(plan.SnapshotParent)) return;
    activity.phase(JobPhase::cleaning_up);

    std::optional<std::vector<Snapshot>> listed = list_snapshots(plan.SnapshotParent, plan.SourceDir);
    if (!listed) return;
    std::vector<Snapshot>& snapshots = *listed;
    lib_SortArray(snapshots);
    const std::size_t doomed = SnapshotsToDelete(snapshots, date_part(plan.DatedName), options.KeepDays);
    for (std::size_t i = 0; i < doomed; ++i) {
        // A folder on the way swapped for such a link meanwhile would choose the rest.
        if (i > 0 && platform::passes_foreign_link(plan.SnapshotParent)) return;
        delete_snapshot(plan.SnapshotParent, snapshots[i], activity);
    }
}

}  // namespace quillet
