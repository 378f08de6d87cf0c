#include "job/snapshot_job.h"

#include <new>

#include "job/copy_pass.h"
#include "job/job_log.h"
#include "job/job_options.h"
#include "job/retention_cleanup.h"
#include "job/snapshot_naming.h"
#include "job/source_check.h"
#include "job/zip_pass.h"
#include "platform/platform.h"
#include "text/error.h"
#include "ui/reporting.h"

namespace quillet {

namespace {

constexpr const char* kJobSource = "HandleCommandLineS";
// The language's numbers for failures that do not come as its errors.
constexpr std::int32_t kOutOfMemory = 7;
constexpr std::int32_t kInternalError = 51;

// The phases in their order; each one reads what the ones before it set.
void run_phases(const std::string& strCommandline, JobOptions& options, RunState& run) {
    if (!ReadJobOptions(strCommandline, options, run, platform::now())) return;
    NameSnapshot(options, run.SnapshotComment, platform::now());
    if (!SourceFolderReadable(options)) return;
    RetentionCleanup(options);
    if (CopyPass(options, run) != CopyPassOutcome::walked) return;
    ZipPass(options, run);
}

void report(std::int32_t number, const std::string& description) noexcept {
    try {
        lib_ErrorHandler(kJobSource, number, description);
    } catch (...) {
        // The reporter is the last resort; the job ends all the same.
    }
}

}  // namespace

void HandleCommandLineS(std::string& strCommandline, RunState& run) {
    JobLog log(strCommandline);
    JobOptions options;
    // The job's one error handler: whatever fails ends this job, reported, and the
    // run goes on with the next one.
    try {
        run_phases(strCommandline, options, run);
    } catch (const Error& error) {
        report(error.number(), error.description());
    } catch (const std::bad_alloc&) {
        report(kOutOfMemory, "Out of memory");
    } catch (const std::exception& error) {
        report(kInternalError, error.what());
    }
    JobEnding(options);
    log.closing(options);
}

}  // namespace quillet
