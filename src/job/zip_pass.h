#pragma once
// The end of a job: with /Z the work folder is packed into one archive named after
// the snapshot; then, for every job, the ending clears up after it.

#include <string>

#include "job/copy_pass.h"
#include "job/job_options.h"
#include "job/run_state.h"
#include "ui/job_activity.h"

namespace quillet {

// A run can start at most this many distinct archives.
inline constexpr std::size_t kArchiveNamesLimit = 50;

// The archive in the folder that would have held the dated folder, named after it.
std::string ArchivePath(const std::string& folder, const std::string& dated_name);

// Packs the work folder into the archive, when this is a /Z job that copied
// anything. The first job of the run that writes an archive path replaces an older
// archive of that path once the new one is complete; later ones add to it. True
// when the archive holds the job's files. The archive is no more open than the
// source folder, nor than any file or folder it holds.
bool ZipPass(const JobOptions& options, const SnapshotPlan& plan, const CopyTarget& target,
             const CopyCounts& copied, RunState& run, JobActivity& activity);

// Where every job ends, also after an error: removes the work folder for good and
// clears the window's title. Never fails. (The folder the copies kept open was let
// go when the copy pass's walk ended.)
// zip_work is the job's /Z work folder, if it made one.
void JobEnding(WorkFolder* zip_work, JobActivity& activity) noexcept;

}  // namespace quillet
