#pragma once
// Where a job's snapshot goes: the dated folder name, built from the moment the
// snapshot is taken, and the folder layout chosen with /F and /A.

#include <cstdint>
#include <string>

#include "job/job_options.h"
#include "text/dates.h"

namespace quillet {

// The minute of the day rounded down to a multiple of round_minutes, in floating
// point, so a negative step rounds up instead (23:55 with -10 gives 1440).
std::int16_t RoundedMinuteOfDay(int minute_of_day, std::int16_t round_minutes);

// "yyyy-mm-dd   HH.nn", and "   (comment)" after it when there is a comment.
std::string DatedFolderName(Date day, std::int16_t minute_of_day, const std::string& comment);

// Fills FilePattern, SourceDir, MinuteOfDay, DatedName, SourceSubdirName and
// SnapshotParent, and turns TargetDir into the snapshot folder's path. now is the
// moment of the snapshot; the clock is read once for both its date and its time.
void NameSnapshot(JobOptions& options, const std::string& comment, Date now);

}  // namespace quillet
