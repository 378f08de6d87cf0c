#include "job/job_log.h"

#include <cstdio>

#include "platform/platform.h"
#include "text/password_masking.h"
#include "ui/failure_log.h"

namespace quillet {

namespace {

std::string seconds_text(double seconds) {
    char text[32] = {};
    std::snprintf(text, sizeof text, "%.1f seconds", seconds);
    return text;
}

}  // namespace

std::string JobStartLine(const std::string& strCommandline) { return "Job started: " + MaskPasswords(strCommandline); }

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

void JobLog::closing(const std::string& destination, std::int64_t files, std::uint64_t bytes,
                     JobActivity& activity) noexcept {
    try {
        const double seconds = static_cast<double>(platform::tick_count() - started_) / 1000.0;
        const JobSummary summary{destination, files, bytes, seconds, ShownFailures() - failures_before_};
        platform::system_log(platform::Severity::information, JobClosingLine(summary));
        activity.job_ended(summary);
    } catch (...) {
        // The account of a job is never a reason for it to fail.
    }
}

}  // namespace quillet
