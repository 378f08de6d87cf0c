#include "job/job_log.h"

#include <cstdio>

#include "job/zip_pass.h"
#include "platform/platform.h"
#include "text/password_masking.h"
#include "ui/failure_log.h"

namespace quillet {

namespace {

// Where the job's files went. A /Z job's archive is known once the copy pass has
// made its work folder; a job that ended before then wrote nothing.
std::string destination(const JobOptions& options) {
    if (options.DatedName.empty()) return "no snapshot";
    if (!options.ZipOutput) return "snapshot " + options.TargetDir;
    if (options.ZipWorkDir.empty()) return "no snapshot";
    return "archive " + ArchivePath(options);
}

std::string seconds_text(double seconds) {
    char text[32] = {};
    std::snprintf(text, sizeof text, "%.1f seconds", seconds);
    return text;
}

}  // namespace

std::string JobStartLine(const std::string& strCommandline) { return "Job started: " + MaskPasswords(strCommandline); }

JobSummary SummaryOfJob(const JobOptions& options, double seconds, std::int64_t failures) {
    return JobSummary{destination(options), options.FilesCopied, options.BytesCopied, seconds, failures};
}

std::string JobClosingLine(const JobSummary& summary) {
    return "Job ended: " + summary.destination + ", " + std::to_string(summary.files) + " files, " +
           std::to_string(summary.bytes) + " bytes, " + seconds_text(summary.seconds) + ", " +
           std::to_string(summary.failures) + " failures";
}

JobLog::JobLog(const std::string& strCommandline) noexcept
    : started_(platform::tick_count()), failures_before_(ShownFailures()) {
    try {
        platform::system_log(platform::Severity::information, JobStartLine(strCommandline));
    } catch (...) {
        // As below: the job runs all the same.
    }
}

void JobLog::closing(const JobOptions& options) noexcept {
    try {
        const double seconds = static_cast<double>(platform::tick_count() - started_) / 1000.0;
        const JobSummary summary = SummaryOfJob(options, seconds, ShownFailures() - failures_before_);
        platform::system_log(platform::Severity::information, JobClosingLine(summary));
        front_end().job_ended(summary);
    } catch (...) {
        // The account of a job is never a reason for it to fail.
    }
}

}  // namespace quillet
