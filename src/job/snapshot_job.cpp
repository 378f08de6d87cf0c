#include "job/snapshot_job.h"

#include <new>
#include <optional>

#include "job/copy_pass.h"
#include "job/job_log.h"
#include "job/job_options.h"
#include "job/retention_cleanup.h"
#include "job/snapshot_naming.h"
#include "job/source_check.h"
#include "job/zip_pass.h"
#include "platform/platform.h"
#include "text/error.h"
#include "ui/job_activity.h"
#include "ui/reporting.h"

namespace quillet {

namespace {

constexpr const char* kJobSource = "HandleCommandLineS";
// The language's numbers for failures that do not come as its errors.
constexpr std::int32_t kOutOfMemory = 7;
constexpr std::int32_t kInternalError = 51;

// What the phases have made so far. It outlives them, so that a job that fails half
// way still removes its work folder and accounts for what it copied.
struct JobMade {
    std::optional<SnapshotPlan> plan;
    std::optional<CopyTarget> target;
    CopyCounts copied;
    bool zip_output = false;
    bool zipped = false;

    // Where the job's files went, for its closing line. A job that ended before
    // its copy pass (a source not found) has no snapshot.
    std::string destination() const {
        if (!plan) return "no snapshot";
        if (!zip_output) return target ? "snapshot " + plan->SnapshotFolder : "no snapshot";
        if (!zipped) return "no archive";
        return "archive " + ArchivePath(target->Folder, plan->DatedName);
    }
};

// The phases in their order, each handed what the ones before it worked out.
void run_phases(const std::string& strCommandline, RunState& run, JobActivity& activity, JobMade& made) {
    const std::optional<JobOptions> read = ReadJobOptions(strCommandline, run, platform::now());
    if (!read) return;
    const JobOptions& options = *read;
    made.zip_output = options.ZipOutput;
    const SnapshotPlan& plan = made.plan.emplace(NameSnapshot(options, run.SnapshotComment, platform::now()));
    if (!SourceFolderReadable(plan.SourceDir)) return;
    RetentionCleanup(options, plan, activity);
    activity.let_events_run();
    const CopyTarget& target = made.target.emplace(PrepareCopyTarget(options, plan));
    if (CopyPass(options, plan, target, run, activity, made.copied) != CopyPassOutcome::walked) return;
    made.zipped = ZipPass(options, plan, target, made.copied, run, activity);
}

void report(std::int32_t number, const std::string& description) noexcept {
    try {
        lib_ErrorHandler(kJobSource, number, description);
    } catch (...) {
        // The reporter is the last resort; the job ends all the same.
    }
}

}  // namespace

void HandleCommandLineS(const std::string& strCommandline, RunState& run) {
    JobLog log(strCommandline);
    MainWindowActivity activity;
    JobMade made;
    const std::size_t rows_before = run.CopiedFiles.size();
    // The job's one error handler: whatever fails ends this job, reported, and the
    // run goes on with the next one.
    try {
        run_phases(strCommandline, run, activity, made);
    } catch (const Error& error) {
        report(error.number(), error.description());
    } catch (const std::bad_alloc&) {
        report(kOutOfMemory, "Out of memory");
    } catch (const std::exception& error) {
        report(kInternalError, error.what());
    }
    JobEnding(made.target ? made.target->ZipWork.get() : nullptr, activity);
    // Its copies went with the work folder: a later job may copy the same names.
    if (made.zip_output && !made.zipped) run.CopiedFiles.keep_first(rows_before);
    log.closing(made.destination(), made.copied.files, made.copied.bytes, activity);
}

}  // namespace quillet
