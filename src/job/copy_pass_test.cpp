#include "job/copy_pass.h"

#include <gmock/gmock.h>

#include <chrono>
#include <filesystem>

#include "job/job_test_support.h"
#include "platform/platform.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;

class CopyPassTest : public testing::JobTest {
protected:
    CopyPassTest() {
        options.FilePattern = "*.*";
        options.SourceDir = disk.text("src");
        options.TargetDir = disk.text("snap");
        for (const char* file : {"a.txt", "b.TMP", "1998/Junk/x.txt", "1998/keep.txt", "1999/OneFile", "1999/two.txt",
                                 "only-tmp/c.tmp"}) {
            disk.write(std::string("src/") + file, file);
        }
        fs::create_directories(disk.native("src/empty"));
    }

    void exclude(const std::vector<std::string>& patterns) {
        for (const std::string& pattern : patterns) options.ExcludePatterns[++options.ExcludeCount] = pattern;
    }
    bool copied(const std::string& file) { return disk.exists("snap/" + file); }

    JobOptions options;
    RunState run;
};

TEST_F(CopyPassTest, ExclusionsLeaveOutFilesAndWholeFoldersWhichAreNotCreated) {
    options.IncludeSubdirs = true;
    exclude({"1998\\JUNK", "*.TMP", "1999\\ONEFILE"});
    CopyPass(options, run);
    EXPECT_TRUE(copied("a.txt"));
    EXPECT_TRUE(copied("1998/keep.txt"));
    EXPECT_TRUE(copied("1999/two.txt"));
    EXPECT_FALSE(copied("b.TMP"));
    EXPECT_FALSE(copied("1998/Junk"));
    EXPECT_FALSE(copied("1999/OneFile"));
    EXPECT_FALSE(copied("only-tmp"));
    EXPECT_FALSE(copied("empty"));
    EXPECT_EQ(run.CopiedCount(), 3);
    EXPECT_EQ(options.FilesCopied, 3);
    EXPECT_EQ(options.BytesCopied, std::string("a.txt1998/keep.txt1999/two.txt").size());
    EXPECT_TRUE(screen.rows.empty());
    EXPECT_EQ(title(), "Copying...");
    EXPECT_THAT(screen.events, Contains("lblDisplay=Copying\r\n" + disk.text("src/1998/keep.txt") + "\r\nto\r\n" +
                                        disk.text("snap/1998")));
    EXPECT_EQ(screen.captions[MainLabel::lblDisplay], "Looking for next file....");
}

TEST_F(CopyPassTest, ADestinationWrittenEarlierInTheRunIsReportedAndNotCopiedAgain) {
    options.FilePattern = "a.txt";
    CopyPass(options, run);
    disk.write("src/a.txt", "changed");
    JobOptions second = options;
    CopyPass(second, run);

    const std::string source = disk.text("src/a.txt");
    const std::string destination = disk.text("snap/a.txt");
    EXPECT_THAT(screen.rows,
                ElementsAre("Duplicates:", destination + " <-- " + source, destination + " <-- " + source));
    EXPECT_EQ(disk.read("snap/a.txt"), "a.txt");
    EXPECT_EQ(run.CopiedCount(), 1);
}

TEST_F(CopyPassTest, AFullTableOfCopiedFilesEndsTheJob) {
    run.CopiedFiles.assign(kCopiedFilesLimit, CopiedFile{"Z:\\x", "Z:\\y"});
    EXPECT_EQ(CopyPass(options, run), CopyPassOutcome::table_full);
    EXPECT_EQ(last_box(), "Oops, tried to copy more than 10000 files");
    EXPECT_EQ(screen.boxes.size(), 1u);
    EXPECT_FALSE(copied("a.txt"));
}

TEST_F(CopyPassTest, DatabasesAreCompactedOnlyWithTheOptionAndCopiedWhenTheyCannotBe) {
    disk.write("src/DATA.mda", "not a database any engine knows");
    disk.write("src/data.mdb.bak", "backup");
    options.CompactDatabases = true;
    CopyPass(options, run);
    EXPECT_THAT(screen.events, Contains("lblDisplay=Compacting\r\n" + disk.text("src/DATA.mda") + "\r\nto\r\n" +
                                        options.TargetDir));
    EXPECT_THAT(screen.events, Contains("lblDisplay=Copying\r\n" + disk.text("src/data.mdb.bak") + "\r\nto\r\n" +
                                        options.TargetDir));
    EXPECT_EQ(disk.read("snap/DATA.mda"), "not a database any engine knows");
}

TEST_F(CopyPassTest, NamesThatPathTextCannotHoldAreReported) {
    options.IncludeSubdirs = true;
    disk.write("src/odd\\name.txt", "x");
    disk.write("src/odd\\folder/inside.txt", "x");
    CopyPass(options, run);
    EXPECT_THAT(screen.rows, ElementsAre("Failed to copy " + disk.text("src") + "\\odd\\name.txt" +
                                             ": its name holds a backslash",
                                         "Failed to copy " + disk.text("src") + "\\odd\\folder" +
                                             ": its name holds a backslash"));
    EXPECT_TRUE(copied("a.txt"));
}

}  // namespace
}  // namespace quillet
