#pragma once
// Deleting older snapshots before a job copies (/K): the dated entries beside the
// new snapshot, all but today's and the newest older ones.

#include <cstdint>
#include <string>
#include <vector>

#include "job/job_options.h"
#include "job/snapshot_naming.h"
#include "ui/job_activity.h"

namespace quillet {

// At most this many dated entries can be looked at; one more is a run-time error.
inline constexpr std::int16_t kSnapshotTableRows = 1000;

// A dated entry of the folder of snapshots: a snapshot folder, or a file such as an archive.
struct Snapshot {
    std::string name;
    bool is_folder = false;
};

// Whether an entry's name starts with a date ("yyyy-mm-dd"), so that it counts as
// a snapshot.
bool IsDatedName(const std::string& name);

// Sorts by name without regard to case; entries whose names differ only in case
// keep their listing order.
void lib_SortArray(std::vector<Snapshot>& snapshots);

// Given the snapshots sorted oldest first and today's "yyyy-mm-dd", how many of
// the oldest go: counting back from the newest, entries not dated today are kept
// until keep_days of them are; today's are kept without being counted.
std::size_t SnapshotsToDelete(const std::vector<Snapshot>& sorted, const std::string& today, std::int16_t keep_days);

// The clean-up phase. Does nothing when KeepDays keeps everything or when the
// layout has no folder of dated snapshots.
void RetentionCleanup(const JobOptions& options, const SnapshotPlan& plan, JobActivity& activity);

}  // namespace quillet
