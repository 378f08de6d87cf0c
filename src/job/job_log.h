#pragma once
// The system log's account of a job: a line when it starts, with its command line,
// and one when it has ended, with where its snapshot went and how long it took. The
// message rows and boxes between them are logged as they are shown.

#include <cstdint>
#include <string>

#include "job/job_options.h"

namespace quillet {

// The start line; the line's passwords read "***".
std::string JobStartLine(const std::string& strCommandline);

// The closing line of a job that ran `seconds`: its snapshot folder, or its
// archive with /Z; "no snapshot" when it ended before its snapshot was named.
std::string JobClosingLine(const JobOptions& options, double seconds);

// Logs the start line, and the closing line when the job is over.
class JobLog {
public:
    explicit JobLog(const std::string& strCommandline) noexcept;
    void closing(const JobOptions& options) noexcept;

private:
    std::uint32_t started_;
};

}  // namespace quillet
