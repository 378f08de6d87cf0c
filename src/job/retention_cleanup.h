#pragma once
// Deleting older snapshots before a job copies (/K): the dated entries beside the
// new snapshot, all but today's and the newest older ones.

#include <cstdint>
#include <string>
#include <vector>

#include "job/job_options.h"

namespace quillet {

// At most this many dated entries can be looked at; one more is a run-time error.
inline constexpr std::int16_t kSnapshotTableRows = 1000;

// Whether an entry's name starts with a date ("yyyy-mm-dd"), so that it counts as
// a snapshot.
bool IsDatedName(const std::string& name);

// Given the dated names sorted oldest first and today's "yyyy-mm-dd", how many of
// the oldest go: counting back from the newest, entries not dated today are kept
// until keep_days of them are; today's are kept without being counted.
std::int16_t SnapshotsToDelete(const std::vector<std::string>& sorted_names, const std::string& today,
                               std::int16_t keep_days);

// The clean-up phase. Does nothing when KeepDays keeps everything or when the
// layout has no folder of dated snapshots.
void RetentionCleanup(const JobOptions& options);

}  // namespace quillet
