#include "job/job_log.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(JobLog, TheStartLineQuotesTheCommandLineWithoutItsPasswords) {
    EXPECT_EQ(JobStartLine(R"(C:\src\*.* D:\bak /S /Z="my secret" /c=db)"),
              R"(Job started: C:\src\*.* D:\bak /S /Z=*** /c=***)");
}

TEST(JobLog, TheClosingLineNamesWhereTheFilesWentAndWhatTheJobDid) {
    EXPECT_EQ(JobClosingLine(JobSummary{R"(archive D:\bak\src\2010-09-30   12.00.zip)", 3, 1234, 62.0, 2}),
              R"(Job ended: archive D:\bak\src\2010-09-30   12.00.zip, 3 files, 1234 bytes, 62.0 seconds, 2 failures)");
    EXPECT_EQ(JobClosingLine(JobSummary{"no snapshot", 0, 0, 0.04, 0}),
              "Job ended: no snapshot, 0 files, 0 bytes, 0.0 seconds, 0 failures");
}

}  // namespace
}  // namespace quillet
