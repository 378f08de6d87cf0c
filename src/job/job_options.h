#pragma once
// One job's option set, and the first phase of the job that fills it from the
// command line: the options themselves, their checks and the Shift questions.
// The later phases only read it, apart from the fields each of them works out.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "job/run_state.h"
#include "text/dates.h"
#include "zip/lib_basZip.h"

namespace quillet {

class WorkFolder;

// A KeepDays this high keeps every snapshot: there is no clean-up.
inline constexpr std::int16_t kKeepEverything = 9999;
// Exclusion patterns are held from index 1; index 0 is never used.
inline constexpr std::size_t kExcludeSlots = 11;

struct JobOptions {
    // From the command line.
    std::string SourceSpec;  // source folder and file pattern
    std::string TargetDir;   // the naming turns it into the snapshot folder's path
    bool IncludeSubdirs = false;
    std::vector<std::string> ExcludePatterns = std::vector<std::string>(kExcludeSlots);  // upper case
    std::int16_t ExcludeCount = 0;
    Date ModifiedSince = 0;  // 0: no limit
    std::int16_t FolderLayout = 1;
    std::string AddonDir;
    std::int16_t KeepDays = kKeepEverything;
    std::int16_t RoundMinutes = 1;
    bool CompactDatabases = false;
    std::string DatabasePassword;
    bool ZipOutput = false;
    std::string ZipPassword;
    zip32::ZPOPT ZipOptions;
    bool BadOption = false;

    // Worked out by the naming.
    std::string TargetFolder;  // the target folder as the command line gave it
    std::string FilePattern;
    std::string SourceDir;
    std::int16_t MinuteOfDay = 0;
    std::string DatedName;
    std::string SourceSubdirName;
    std::string SnapshotParent;  // empty when the layout keeps no dated folders

    // The copy pass's work folder with /Z: its path, and the folder itself, which the
    // job's ending deletes.
    std::string ZipWorkDir;
    std::shared_ptr<WorkFolder> ZipWork;

    // Counted by the copy pass: the files put in place (copied or compacted) and their bytes.
    std::int64_t FilesCopied = 0;
    std::uint64_t BytesCopied = 0;
};

// Reads the parts of the command line into the options, without checking them.
// today is the date /D counts back from. False when the zip component cannot be
// started for /Z: the user has been told, the run is asked to end, the job must not go on.
bool ParseJobOptions(const std::string& strCommandline, JobOptions& options, RunState& run, Date today);

// The checks and defaults, in their order; the first that fails tells the user and
// gives false.
bool ValidateJobOptions(JobOptions& options);

// The Shift questions, asked by the first job of the run that gets this far, and the
// /M override applied to every job.
void AskShiftQuestions(JobOptions& options, RunState& run);

// The whole options phase: true when the job goes on to name its snapshot.
bool ReadJobOptions(const std::string& strCommandline, JobOptions& options, RunState& run, Date today);

}  // namespace quillet
