#pragma once
// The copy pass: walks the source, leaves out what /E and /D rule out and what
// this run has already written, and copies (or with /C compacts) every other file
// into the snapshot folder, or with /Z into a work folder for the zip pass.

#include <cstdint>
#include <memory>
#include <string>

#include "files/work_folder.h"
#include "job/job_options.h"
#include "job/run_state.h"
#include "job/snapshot_naming.h"
#include "ui/job_activity.h"

namespace quillet {

// Where a job's copies go.
struct CopyTarget {
    // Made before the walk: the snapshot folder, or with /Z the folder that would
    // have held the dated folder, which receives the archive.
    std::string Folder;
    // With /Z: the work folder that receives the files; the job's ending removes it.
    std::unique_ptr<WorkFolder> ZipWork;

    const std::string& FilesRoot() const { return ZipWork ? ZipWork->Path() : Folder; }
};

// With /Z, makes the work folder, in the temporary folder; throws when it cannot.
CopyTarget PrepareCopyTarget(const JobOptions& options, const SnapshotPlan& plan);

// The files put in place (copied or compacted) and their bytes.
struct CopyCounts {
    std::int64_t files = 0;
    std::uint64_t bytes = 0;
};

enum class CopyPassOutcome {
    walked,      // every file was handled; the zip pass comes next
    table_full,  // the run's table of copied files is full: the job ends at once
    no_target,   // the target's folder could not be made: the job ends
};

// counts grows with every file put in place, so that a job that fails half way
// still accounts for what it copied.
CopyPassOutcome CopyPass(const JobOptions& options, const SnapshotPlan& plan, const CopyTarget& target,
                         RunState& run, JobActivity& activity, CopyCounts& counts);

}  // namespace quillet
