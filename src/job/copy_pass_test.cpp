#include "job/copy_pass.h"

#include <gmock/gmock.h>

#include <chrono>
#include <filesystem>

#include "support/jobs.h"
#include "platform/platform.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;

class CopyPassTest : public testing::JobTest {
protected:
    CopyPassTest() {
        plan.FilePattern = "*.*";
        plan.SourceDir = disk.text("src");
        target.Folder = disk.text("snap");
        for (const char* file : {"a.txt", "b.TMP", "1998/Junk/x.txt", "1998/keep.txt", "1999/OneFile", "1999/two.txt",
                                 "only-tmp/c.tmp"}) {
            disk.write(std::string("src/") + file, file);
        }
        fs::create_directories(disk.native("src/empty"));
    }

    CopyPassOutcome copy_pass() { return CopyPass(options, plan, target, run, activity, counts); }
    bool copied(const std::string& file) { return disk.exists("snap/" + file); }

    JobOptions options;
    SnapshotPlan plan;
    CopyTarget target;
    RunState run;
    MainWindowActivity activity;
    CopyCounts counts;
};

TEST_F(CopyPassTest, ExclusionsLeaveOutFilesAndWholeFoldersWhichAreNotCreated) {
    options.IncludeSubdirs = true;
    options.ExcludePatterns = {"1998\\JUNK", "*.TMP", "1999\\ONEFILE"};
    copy_pass();
    EXPECT_TRUE(copied("a.txt"));
    EXPECT_TRUE(copied("1998/keep.txt"));
    EXPECT_TRUE(copied("1999/two.txt"));
    EXPECT_FALSE(copied("b.TMP"));
    EXPECT_FALSE(copied("1998/Junk"));
    EXPECT_FALSE(copied("1999/OneFile"));
    EXPECT_FALSE(copied("only-tmp"));
    EXPECT_FALSE(copied("empty"));
    EXPECT_EQ(run.CopiedCount(), 3);
    EXPECT_EQ(counts.files, 3);
    EXPECT_EQ(counts.bytes, std::string("a.txt1998/keep.txt1999/two.txt").size());
    EXPECT_TRUE(screen.rows.empty());
    EXPECT_EQ(title(), "Copying...");
    EXPECT_THAT(screen.events, Contains("lblDisplay=Copying\r\n" + disk.text("src/1998/keep.txt") + "\r\nto\r\n" +
                                        disk.text("snap/1998")));
    EXPECT_EQ(screen.captions[MainLabel::lblDisplay], "Looking for next file....");
}

TEST_F(CopyPassTest, ADestinationWrittenEarlierInTheRunIsReportedAndNotCopiedAgain) {
    plan.FilePattern = "a.txt";
    copy_pass();
    disk.write("src/a.txt", "changed");
    copy_pass();

    const std::string source = disk.text("src/a.txt");
    const std::string destination = disk.text("snap/a.txt");
    EXPECT_THAT(screen.rows,
                ElementsAre("Duplicates:", destination + " <-- " + source, destination + " <-- " + source));
    EXPECT_EQ(disk.read("snap/a.txt"), "a.txt");
    EXPECT_EQ(run.CopiedCount(), 1);
}

TEST_F(CopyPassTest, AFullTableOfCopiedFilesEndsTheJob) {
    for (std::size_t i = 0; i < kCopiedFilesLimit; ++i) run.CopiedFiles.add("Z:\\x", "Z:\\" + std::to_string(i));
    for (const char* added : {"Z:\\0", "Z:\\9999"}) EXPECT_EQ(run.CopiedFiles.find(added)->destination, added);
    EXPECT_EQ(run.CopiedFiles.find("z:\\9999"), nullptr);  // case counts
    EXPECT_EQ(copy_pass(), CopyPassOutcome::table_full);
    EXPECT_EQ(last_box(), "Oops, tried to copy more than 10000 files");
    EXPECT_EQ(screen.boxes.size(), 1u);
    EXPECT_FALSE(copied("a.txt"));
}

TEST_F(CopyPassTest, DatabasesAreCompactedOnlyWithTheOptionAndCopiedWhenTheyCannotBe) {
    disk.write("src/DATA.mda", "not a database any engine knows");
    disk.write("src/data.mdb.bak", "backup");
    options.CompactDatabases = true;
    copy_pass();
    EXPECT_THAT(screen.events, Contains("lblDisplay=Compacting\r\n" + disk.text("src/DATA.mda") + "\r\nto\r\n" +
                                        target.Folder));
    EXPECT_THAT(screen.events, Contains("lblDisplay=Copying\r\n" + disk.text("src/data.mdb.bak") + "\r\nto\r\n" +
                                        target.Folder));
    EXPECT_EQ(disk.read("snap/DATA.mda"), "not a database any engine knows");
}

TEST_F(CopyPassTest, NamesThatPathTextCannotHoldAreReported) {
    options.IncludeSubdirs = true;
    disk.write("src/odd\\name.txt", "x");
    disk.write("src/odd\\folder/inside.txt", "x");
    copy_pass();
    EXPECT_THAT(screen.rows, ElementsAre("Failed to copy " + disk.text("src") + "\\odd\\name.txt" +
                                             ": its name holds a backslash",
                                         "Failed to copy " + disk.text("src") + "\\odd\\folder" +
                                             ": its name holds a backslash"));
    EXPECT_TRUE(copied("a.txt"));
}

}  // namespace
}  // namespace quillet
