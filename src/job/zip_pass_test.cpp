#include "job/zip_pass.h"

#include <gmock/gmock.h>

#include <filesystem>

#include "job/job_test_support.h"
#include "text/error.h"
#include "zip/zip_test_support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class ZipPassTest : public testing::JobTest {
protected:
    ZipPassTest() {
        options.ZipOutput = true;
        options.TargetDir = disk.text("backup");
        options.DatedName = "2024-03-05   14.30";
        fs::create_directories(disk.native("backup"));
        run.CopiedFiles.push_back({"Z:\\x", "Z:\\y"});
    }
    // A work folder of its own for each job, as the copy pass makes them.
    void work_folder(const std::string& name, const std::string& file) {
        disk.write(name + "/" + file, file);
        options.ZipWorkDir = disk.text(name);
    }
    fs::path archive() const { return disk.native("backup/2024-03-05   14.30.zip"); }

    JobOptions options;
    RunState run;
};

TEST_F(ZipPassTest, TheFirstJobReplacesAnOlderArchiveAndLaterJobsAddToIt) {
    disk.write("backup/2024-03-05   14.30.zip", "an archive of an earlier run");
    work_folder("work1", "sub/a.txt");
    ZipPass(options, run);
    work_folder("work2", "b.txt");
    ZipPass(options, run);

    EXPECT_THAT(zip_test::names_in(archive()), ElementsAre("sub/", "sub/a.txt", "b.txt"));
    EXPECT_EQ(zip_test::file_bytes(testing::PrivateHome::get().trashed("2024-03-05   14.30.zip")),
              "an archive of an earlier run");
    EXPECT_THAT(run.ArchiveNames, ElementsAre(ArchivePath(options)));
    EXPECT_EQ(ArchivePath(options), disk.text("backup") + "\\2024-03-05   14.30.zip");
    EXPECT_EQ(title(), "Zipping...");
    EXPECT_EQ(screen.captions[MainLabel::lblDisplay], "Zipping to \r\n" + ArchivePath(options));
    EXPECT_TRUE(screen.boxes.empty());
}

TEST_F(ZipPassTest, NothingIsZippedUntilTheRunHasCopiedSomething) {
    run.CopiedFiles.clear();
    work_folder("work", "a.txt");
    ZipPass(options, run);
    EXPECT_FALSE(fs::exists(archive()));
    EXPECT_TRUE(screen.titles.empty());
}

TEST_F(ZipPassTest, AnArchiveThatCannotBeWrittenIsReportedWithItsCode) {
    work_folder("work", "a.txt");
    options.TargetDir = disk.text("missing");
    ZipPass(options, run);
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_THAT(last_box(), HasSubstr("Error creating zip"));
    EXPECT_THAT(last_box(), HasSubstr("Zip:" + ArchivePath(options)));
    EXPECT_THAT(last_box(), HasSubstr("Rc:"));
}

TEST_F(ZipPassTest, AFiftyFirstArchiveIsAnErrorThatLeavesTheOldOneAlone) {
    for (int i = 0; i < 50; ++i) run.ArchiveNames.push_back("Z:\\archive" + std::to_string(i) + ".zip");
    disk.write("backup/2024-03-05   14.30.zip", "old");
    work_folder("work", "a.txt");
    EXPECT_THROW(ZipPass(options, run), Error);
    EXPECT_EQ(zip_test::file_bytes(archive()), "old");
}

}  // namespace
}  // namespace quillet
