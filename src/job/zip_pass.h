#pragma once
// The end of a job: with /Z the work folder is packed into one archive named after
// the snapshot; then, for every job, the ending clears up after it.

#include <string>

#include "job/job_options.h"
#include "job/run_state.h"

namespace quillet {

// A run can start at most this many distinct archives.
inline constexpr std::size_t kArchiveNamesLimit = 50;

// The archive beside where the dated folder would have been: TargetDir, which the
// copy pass has reduced to its parent, and the dated name.
std::string ArchivePath(const JobOptions& options);

// Packs the work folder into the archive, when this is a /Z job and the run has
// copied anything. The first job of the run that writes an archive path replaces
// an older archive of that path; later ones add to it.
void ZipPass(const JobOptions& options, RunState& run);

// Where every job ends, also after an error: removes the work folder for good,
// keeps no folder of the job open and clears the window's title. Never fails.
void JobEnding(const JobOptions& options) noexcept;

}  // namespace quillet
