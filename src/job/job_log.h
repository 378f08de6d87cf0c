#pragma once
// The account of a job: in the system log, a line when it starts, with its command
// line, and one when it has ended; on the front end, a summary. Both say where its
// snapshot went, how many files and bytes it copied, how long it took and how many
// failures it showed. The message rows and boxes between them are logged as they
// are shown.

#include <cstdint>
#include <string>

#include "ui/front_end.h"
#include "ui/job_activity.h"

namespace quillet {

// The start line; the line's passwords read "***".
std::string JobStartLine(const std::string& strCommandline);

// "Job ended: snapshot D:\bak\src\2010-09-30   12.00, 3 files, 1234 bytes, 1.5 seconds, 0 failures".
std::string JobClosingLine(const JobSummary& summary);

// Logs the start line, and the closing line and the summary when the job is over.
class JobLog {
public:
    explicit JobLog(const std::string& strCommandline) noexcept;
    // destination: "snapshot " + its folder, "archive " + its path with /Z, or "no
    // snapshot" for a job that ended before it had one.
    void closing(const std::string& destination, std::int64_t files, std::uint64_t bytes,
                 JobActivity& activity) noexcept;

private:
    std::uint32_t started_;
    std::int64_t failures_before_;
};

}  // namespace quillet
