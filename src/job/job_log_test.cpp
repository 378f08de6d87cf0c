#include "job/job_log.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(JobLog, TheStartLineQuotesTheCommandLineWithoutItsPasswords) {
    EXPECT_EQ(JobStartLine(R"(C:\src\*.* D:\bak /S /Z="my secret" /c=db)"),
              R"(Job started: C:\src\*.* D:\bak /S /Z=*** /c=***)");
}

TEST(JobLog, TheClosingLineNamesWhereTheFilesWent) {
    JobOptions named;
    named.DatedName = "2010-09-30   12.00";
    named.TargetDir = R"(D:\bak\src\2010-09-30   12.00)";
    JobOptions zipped = named;
    zipped.ZipOutput = true;
    JobOptions zipped_before_copying = zipped;
    zipped.TargetDir = R"(D:\bak\src)";  // as the copy pass leaves it
    zipped.ZipWorkDir = R"(Z:\tmp\qtk1A2B)";

    struct Case {
        const JobOptions& options;
        double seconds;
        const char* line;
    };
    const Case cases[] = {
        {JobOptions(), 0.04, "Job ended: no snapshot, 0.0 seconds"},
        {named, 1.5, R"(Job ended: snapshot D:\bak\src\2010-09-30   12.00, 1.5 seconds)"},
        {zipped, 62.0, R"(Job ended: archive D:\bak\src\2010-09-30   12.00.zip, 62.0 seconds)"},
        {zipped_before_copying, 1.5, "Job ended: no snapshot, 1.5 seconds"},
    };
    for (const Case& job : cases) EXPECT_EQ(JobClosingLine(job.options, job.seconds), job.line);
}

}  // namespace
}  // namespace quillet
