#pragma once
// One job's option set, and the first phase of the job that reads it from the
// command line. Reading shows nothing and starts nothing; the steps that may show a
// box or end the run (starting the zip component, the checks, the Shift questions)
// come after it, each on its own. Once read, the options do not change.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "job/run_state.h"
#include "text/dates.h"
#include "zip/lib_basZip.h"

namespace quillet {

// A KeepDays this high keeps every snapshot: there is no clean-up.
inline constexpr std::int16_t kKeepEverything = 9999;

struct JobOptions {
    std::string SourceSpec;  // source folder and file pattern
    std::string TargetDir;   // the target folder, as the command line gives it
    bool IncludeSubdirs = false;
    std::vector<std::string> ExcludePatterns;  // upper case, ten at most
    Date ModifiedSince = 0;                    // 0: no limit
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
};

// Reads the parts of the command line, with the defaults that stand for a zero or
// a negative value; nothing is checked. today is the date /D counts back from.
// Throws Error for a number beyond 16 bits or more than ten /E patterns.
JobOptions ParseJobOptions(const std::string& strCommandline, Date today);

// Starts the zip component for a /Z job. False when it cannot be started: the user
// has been told, the run is asked to end, and the job must not go on.
bool StartZipComponent(RunState& run);

// The checks, in their order; the first that fails tells the user and gives false.
bool ValidateJobOptions(const JobOptions& options);

// The Shift questions, asked by the first job of the run that gets this far;
// round_minutes is the default offered for /M.
void AskShiftQuestions(std::int16_t round_minutes, RunState& run);

// The whole options phase: the options the job goes on with, or nothing when it ends
// here. The run's /M override is applied to every job.
std::optional<JobOptions> ReadJobOptions(const std::string& strCommandline, RunState& run, Date today);

}  // namespace quillet
