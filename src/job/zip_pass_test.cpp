#include "job/zip_pass.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>

#include "support/jobs.h"
#include "platform/platform.h"
#include "text/error.h"
#include "support/archives.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class ZipPassTest : public testing::JobTest {
protected:
    ZipPassTest() {
        options.ZipOutput = true;
        target.Folder = disk.text("backup");
        fs::create_directories(disk.native("backup"));
        copied.files = 1;
        plan.DatedName = kDatedName;
        plan.SourceDir = disk.text("");
    }
    // A work folder of its own for each job, as the job makes them.
    void work_folder(const std::string& file) {
        fs::create_directories(disk.native("tmp"));
        target.ZipWork = WorkFolder::Make(disk.text("tmp"), "qtk");
        const fs::path folder = *platform::native_path(target.ZipWork->Path());
        fs::create_directories((folder / file).parent_path());
        std::ofstream(folder / file) << file;
    }
    void zip_pass() { ZipPass(options, plan, target, copied, run, activity); }
    std::string archive_path() const { return ArchivePath(target.Folder, kDatedName); }
    fs::path archive() const { return disk.native("backup/2024-03-05   14.30.zip"); }

    static constexpr const char* kDatedName = "2024-03-05   14.30";
    JobOptions options;
    SnapshotPlan plan;
    CopyTarget target;
    CopyCounts copied;
    RunState run;
    MainWindowActivity activity;
};

TEST_F(ZipPassTest, TheFirstJobReplacesAnOlderArchiveAndLaterJobsAddToIt) {
    disk.write("backup/2024-03-05   14.30.zip", "an archive of an earlier run");
    work_folder("sub/a.txt");
    zip_pass();
    work_folder("b.txt");
    zip_pass();

    EXPECT_THAT(zip_test::names_in(archive()), ElementsAre("sub/", "sub/a.txt", "b.txt"));
    EXPECT_EQ(zip_test::file_bytes(testing::PrivateHome::get().trashed("2024-03-05   14.30.zip")),
              "an archive of an earlier run");
    EXPECT_THAT(run.ArchiveNames, ElementsAre(archive_path()));
    EXPECT_TRUE(screen.boxes.empty());
}

// A link to nothing where the archive goes: the trash has no file to take, and the
// new archive, which cannot take the name, is kept where no later run sweeps it.
TEST_F(ZipPassTest, AnArchiveThatCannotTakeItsNameIsKeptAndNamed) {
    std::error_code no_links;
    fs::create_symlink(disk.native("nothing"), archive(), no_links);
    if (no_links) GTEST_SKIP() << "no links here: " << no_links.message();
    work_folder("a.txt");
    std::string description;
    try {
        zip_pass();
    } catch (const Error& error) {
        description = error.description();
    }
    const std::size_t kept_at = description.find("Kept as:");
    ASSERT_NE(kept_at, std::string::npos) << description;
    const std::string kept = description.substr(kept_at + 8);
    EXPECT_THAT(zip_test::names_in(*platform::native_path(kept)), ElementsAre("a.txt"));
    // Without its mark, the folder is no run's to sweep.
    for (const auto& entry : fs::directory_iterator(disk.native("backup"))) {
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
    EXPECT_THAT(run.ArchiveNames, ::testing::IsEmpty());
}

// Nor does it take a folder's place: nothing is written.
TEST_F(ZipPassTest, AFolderWhereTheArchiveGoesIsAnErrorThatLeavesItAlone) {
    disk.write("backup/2024-03-05   14.30.zip/kept.txt", "kept");
    work_folder("a.txt");
    zip_pass();
    EXPECT_THAT(last_box(), HasSubstr("Error creating zip"));
    EXPECT_THAT(last_box(), HasSubstr("Rc:15 Could't Open To Write Error"));  // the string table's spelling
    EXPECT_EQ(zip_test::file_bytes(archive() / "kept.txt"), "kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(disk.native("backup")), fs::directory_iterator()), 1);
}

TEST_F(ZipPassTest, NothingIsZippedWhenTheJobCopiedNothing) {
    work_folder("a.txt");
    EXPECT_FALSE(ZipPass(options, plan, target, CopyCounts{}, run, activity));
    EXPECT_FALSE(fs::exists(archive()));
    EXPECT_TRUE(screen.titles.empty());
}

TEST_F(ZipPassTest, AnArchiveThatCannotBeWrittenIsReportedWithItsCode) {
    work_folder("a.txt");
    target.Folder = disk.text("missing");
    zip_pass();
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_THAT(last_box(), HasSubstr("Error creating zip"));
    EXPECT_THAT(last_box(), HasSubstr("Zip:" + archive_path()));
    EXPECT_THAT(last_box(), HasSubstr("Rc:"));
    EXPECT_EQ(title(), "Zipping...");
    EXPECT_EQ(screen.captions[MainLabel::lblDisplay], "Zipping to \r\n" + archive_path());
}

TEST_F(ZipPassTest, AFiftyFirstArchiveIsAnErrorThatLeavesTheOldOneAlone) {
    for (int i = 0; i < 50; ++i) run.ArchiveNames.push_back("Z:\\archive" + std::to_string(i) + ".zip");
    disk.write("backup/2024-03-05   14.30.zip", "old");
    work_folder("a.txt");
    EXPECT_THROW(zip_pass(), Error);
    EXPECT_EQ(zip_test::file_bytes(archive()), "old");
}

}  // namespace
}  // namespace quillet
