#pragma once
// The copy pass: walks the source, leaves out what /E and /D rule out and what
// this run has already written, and copies (or with /C compacts) every other file
// into the snapshot folder, or with /Z into a work folder for the zip pass.

#include <cstddef>

#include "job/job_options.h"
#include "job/run_state.h"

namespace quillet {

// The most files a run can copy, over all its jobs.
inline constexpr std::size_t kCopiedFilesLimit = 10000;

enum class CopyPassOutcome {
    walked,      // every file was handled; the zip pass comes next
    table_full,  // the run's table of copied files is full: the job ends at once
    no_target,   // the snapshot folder (with /Z the archive's) could not be made: the job ends
};

CopyPassOutcome CopyPass(JobOptions& options, RunState& run);

}  // namespace quillet
