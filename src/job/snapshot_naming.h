#pragma once
// Where a job's snapshot goes: the dated folder name, built from the moment the
// snapshot is taken, and the folder layout chosen with /F and /A.

#include <cstdint>
#include <string>

#include "job/job_options.h"
#include "text/dates.h"

namespace quillet {

struct SnapshotPlan {
    std::string FilePattern;  // the file-name part of SourceSpec
    std::string SourceDir;    // the folder part of SourceSpec, with its drive
    std::int16_t MinuteOfDay = 0;
    std::string DatedName;  // "yyyy-mm-dd   HH.nn", with the Shift comment
    std::string SourceSubdirName;
    // The folder that holds the dated snapshots; empty when the layout keeps none.
    std::string SnapshotParent;
    // The folder the snapshot's files go into (a /Z job puts them into an archive
    // named after it instead).
    std::string SnapshotFolder;
};

// The minute of the day rounded down to a multiple of round_minutes, in floating
// point, so a negative step rounds up instead (23:55 with -10 gives 1440).
std::int16_t RoundedMinuteOfDay(int minute_of_day, std::int16_t round_minutes);

// "yyyy-mm-dd   HH.nn", and "   (comment)" after it when there is a comment.
std::string DatedFolderName(Date day, std::int16_t minute_of_day, const std::string& comment);

// now is the moment of the snapshot; the clock is read once for both its date and its time.
SnapshotPlan NameSnapshot(const JobOptions& options, const std::string& comment, Date now);

}  // namespace quillet
