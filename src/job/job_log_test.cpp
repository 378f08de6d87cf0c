#include "job/job_log.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(JobLog, TheStartLineQuotesTheCommandLineWithoutItsPasswords) {
    EXPECT_EQ(JobStartLine(R"(C:\src\*.* D:\bak /S /Z="my secret" /c=db)"),
              R"(Job started: C:\src\*.* D:\bak /S /Z=*** /c=***)");
}

TEST(JobLog, TheClosingLineNamesWhereTheFilesWentAndWhatTheJobDid) {
    JobOptions named;
    named.FilesCopied = 3;
    named.BytesCopied = 1234;
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
        {JobOptions(), 0.04, "Job ended: no snapshot, 0 files, 0 bytes, 0.0 seconds, 2 failures"},
        {named, 1.5, R"(Job ended: snapshot D:\bak\src\2010-09-30   12.00, 3 files, 1234 bytes, 1.5 seconds, 2 failures)"},
        {zipped, 62.0,
         R"(Job ended: archive D:\bak\src\2010-09-30   12.00.zip, 3 files, 1234 bytes, 62.0 seconds, 2 failures)"},
        {zipped_before_copying, 1.5, "Job ended: no snapshot, 3 files, 1234 bytes, 1.5 seconds, 2 failures"},
    };
    for (const Case& job : cases) EXPECT_EQ(JobClosingLine(SummaryOfJob(job.options, job.seconds, 2)), job.line);
}

}  // namespace
}  // namespace quillet
