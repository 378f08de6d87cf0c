#include "job/snapshot_job.h"

#include <gmock/gmock.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif
#include <filesystem>
#include <map>

#include "support/jobs.h"
#include "job/retention_cleanup.h"
#include "platform/platform.h"
#include "support/archives.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// Whole jobs on real folders, with the temporary folder pointed at one of the test's own.
class SnapshotJobTest : public testing::JobTest {
protected:
    SnapshotJobTest() {
        fs::create_directories(disk.native("tmp"));
        testing::set_environment("TMPDIR", testing::utf8(disk.native("tmp")));
        disk.write("data/a.txt", "a");
        disk.write("data/sub/b.txt", "b");
    }
    ~SnapshotJobTest() override { testing::unset_environment("TMPDIR"); }

    void job(const std::string& options) {
        HandleCommandLineS(disk.text("data") + "\\*.* " + disk.text("backup") + " " + options, run);
    }
    std::string destination() const { return screen.summaries.empty() ? "" : screen.summaries.back().destination; }
    // The dated entries that the job left in a folder of the backup.
    std::vector<fs::path> dated_entries(const std::string& folder) const {
        std::vector<fs::path> entries;
        for (const auto& entry : fs::directory_iterator(disk.native(folder))) {
            if (IsDatedName(entry.path().filename().string())) entries.push_back(entry.path());
        }
        return entries;
    }
    bool temporary_folder_is_empty() const { return fs::is_empty(disk.native("tmp")); }

    RunState run;
};

TEST_F(SnapshotJobTest, TheSummaryNamesTheArchiveOrFolderAndAZippedJobLeavesNoWorkFolder) {
    job("/X");  // the syntax shown: a failure in the job's account
    EXPECT_EQ(destination(), "no snapshot");
    EXPECT_EQ(screen.summaries.back().failures, 1);
    HandleCommandLineS(disk.text("gone") + "\\*.* " + disk.text("backup"), run);  // its folder is never made
    EXPECT_EQ(destination(), "no snapshot");
    job("/Z /E=*.TXT");  // nothing to zip
    EXPECT_EQ(destination(), "no archive");

    disk.write("data/sub/.hidden", "h");
    job("/S /Z=secret");
    const auto archives = dated_entries("backup/data");
    ASSERT_EQ(archives.size(), 1u);
    std::map<std::string, std::string> contents;
    for (const auto& [name, entry] : zip_test::read_archive(archives[0], "secret")) contents[name] = entry.content;
    EXPECT_EQ(contents, (std::map<std::string, std::string>{
                            {"a.txt", "a"}, {"sub/", ""}, {"sub/.hidden", "h"}, {"sub/b.txt", "b"}}));
    EXPECT_TRUE(temporary_folder_is_empty());
    EXPECT_TRUE(screen.boxes.empty());
    EXPECT_EQ(title(), "");
    EXPECT_EQ(destination(), "archive " + *platform::path_text(archives[0].string()));
    EXPECT_EQ(screen.summaries.back().files, 3);

    job("/F=4");
    ASSERT_EQ(dated_entries("backup").size(), 1u);
    EXPECT_EQ(destination(), "snapshot " + *platform::path_text(dated_entries("backup")[0].string()));
}

#ifndef _WIN32
// For a scope, no file can grow beyond a few hundred bytes (the /Z work folder's
// mark fits): writing a larger copy fails on the target's side (EFBIG), as a full
// disk would. Windows has no such limit on a process.
class SmallFileLimit {
public:
    SmallFileLimit() {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved_;
        small.rlim_cur = 256;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~SmallFileLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};
#endif

TEST_F(SnapshotJobTest, AnErrorWhileCopyingEndsTheJobWithoutZipping) {
#ifdef _WIN32
    GTEST_SKIP() << "no file size limit to make a copy fail on Windows";
#else
    disk.write("data/large.txt", std::string(1000, 'x'));
    {
        SmallFileLimit limit;
        job("/Z");
    }

    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_THAT(last_box(), HasSubstr("HandleCommandLineS"));
    EXPECT_THAT(dated_entries("backup/data"), IsEmpty());
    EXPECT_TRUE(temporary_folder_is_empty());
    EXPECT_EQ(title(), "");

    // The run goes on: the next job works.
    job("/F=4");
    EXPECT_EQ(dated_entries("backup").size(), 1u);
#endif
}

// A window that stays open after its jobs must not keep the target's drive busy.
TEST_F(SnapshotJobTest, AJobKeepsNothingOfTheTargetOpen) {
#ifndef __linux__
    GTEST_SKIP() << "open descriptors are read from /proc/self/fd, which only Linux has";
#endif
    job("/S /F=4");
    ASSERT_EQ(dated_entries("backup").size(), 1u);

    const std::string target = disk.native("backup").string();
    for (const auto& descriptor : fs::directory_iterator("/proc/self/fd")) {
        std::error_code gone;  // the listing's own descriptor is closed by now
        EXPECT_FALSE(fs::read_symlink(descriptor.path(), gone).string().starts_with(target));
    }
}

}  // namespace
}  // namespace quillet
