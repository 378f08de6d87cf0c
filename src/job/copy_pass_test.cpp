#include "job/copy_pass.h"

#include <gmock/gmock.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "files/find_files.h"
#include "support/databases.h"
#include "support/jobs.h"
#include "support/links.h"
#include "support/unit_checks.h"
#include "text/paths.h"
#include "text/unicode.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::StartsWith;

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

// Exclusions leave out files and whole folders, which are not created; a database
// that cannot be compacted is copied; a destination written earlier in the run is
// a duplicate, under one heading for the run, and is not copied again.
TEST_F(CopyPassTest, FiltersCompactsAndRefusesDuplicates) {
    options.IncludeSubdirs = true;
    options.CompactDatabases = true;
    options.ExcludePatterns = {"1998\\JUNK", "*.TMP", "1999\\ONEFILE"};
    disk.write("src/DATA.mda", "not a database any engine knows");
    const std::string two = disk.text("src/1999/two.txt");
    run.CopiedFiles.add("Z:\\earlier", disk.text("snap/1999/two.txt"));
    copy_pass();
    EXPECT_TRUE(copied("a.txt") && copied("1998/keep.txt"));
    EXPECT_FALSE(copied("b.TMP") || copied("1998/Junk") || copied("1999") || copied("only-tmp") || copied("empty"));
    EXPECT_EQ(disk.read("snap/DATA.mda"), "not a database any engine knows");
    EXPECT_EQ(counts.files, 3);
    EXPECT_EQ(counts.bytes, std::string("a.txt1998/keep.txtnot a database any engine knows").size());
    EXPECT_EQ(title(), "Copying...");
    EXPECT_THAT(screen.events, Contains("lblDisplay=Copying\r\n" + disk.text("src/1998/keep.txt") + "\r\nto\r\n" +
                                        disk.text("snap/1998")));
    EXPECT_THAT(screen.events, Contains("lblDisplay=Compacting\r\n" + disk.text("src/DATA.mda") + "\r\nto\r\n" +
                                        target.Folder));
    EXPECT_EQ(screen.captions[MainLabel::lblDisplay], "Looking for next file....");

    disk.write("src/a.txt", "changed");
    plan.FilePattern = "a.txt";
    copy_pass();
    EXPECT_EQ(disk.read("snap/a.txt"), "a.txt");
    // Each duplicate: a heading, the file written earlier, the one refused.
    const std::string two_to = disk.text("snap/1999/two.txt") + " <-- ";
    const std::string a_to = disk.text("snap/a.txt") + " <-- " + disk.text("src/a.txt");
    EXPECT_THAT(screen.rows,
                ElementsAre("Duplicates:", two_to + "Z:\\earlier", two_to + two, "Duplicates:", a_to, a_to));
}

// A later run's /K takes the snapshot folder, or the dated folder above it (/F=2,
// /A), while this job still writes it: the job cannot follow its files, but says
// so. (Windows names each copy by its whole path: the next copy fails, and that
// ends the job.)
TEST_F(CopyPassTest, ASnapshotFolderTakenAwayWhileCopyingIsReported) {
#ifdef _WIN32
    GTEST_SKIP() << "the next copy fails and ends the job";
#endif
    run.CopyThreads = 1;
    options.TargetDir = disk.text("bak");
    struct Case {
        std::string taken;
        std::string snapshot;
    };
    for (const Case& row : {Case{"bak/snap", "bak/snap"}, Case{"bak/dated", "bak/dated/snap"}}) {
        SCOPED_TRACE(row.taken);
        target.Folder = disk.text(row.snapshot);
        counts = CopyCounts{};
        screen.rows.clear();
        screen.on_events = [&] {
            if (counts.files == 1 && disk.exists(row.taken)) {
                fs::rename(disk.native(row.taken), disk.native(row.taken + ".trashed"));
            }
        };
        EXPECT_EQ(copy_pass(), CopyPassOutcome::walked);
        EXPECT_THAT(screen.rows, ElementsAre("Moved or deleted while copying " + target.Folder));
    }
}

// A file that grows while it is copied keeps its copy, and the row says so. Each
// time the copy lets events run, the file grows by a byte.
TEST_F(CopyPassTest, ASourceThatChangesWhileItIsCopiedIsReported) {
#ifdef _WIN32
    GTEST_SKIP() << "Wine's CopyFileExW calls no progress routine: no event comes while the file is copied";
#endif
    run.CopyThreads = 1;
    plan.SourceDir = disk.text("growing");
    disk.write("growing/log.txt", "first line");
    screen.on_events = [&] { std::ofstream(disk.native("growing/log.txt"), std::ios::app) << 'x'; };
    EXPECT_EQ(copy_pass(), CopyPassOutcome::walked);
    EXPECT_THAT(screen.rows, ElementsAre("Changed while copying " + disk.text("growing/log.txt")));
    EXPECT_TRUE(copied("log.txt"));
}

// Path text holds at most 100 components: each folder deeper than that is a row,
// every file in it is left out, and the walk goes on with the rest. A database is
// compacted up to the last folder with room for the compaction's own.
TEST_F(CopyPassTest, FoldersTooDeepForPathTextAreReportedAndTheRestIsCopied) {
    options.IncludeSubdirs = true;
    options.CompactDatabases = true;
    const auto levels_with_room = static_cast<int>(98 - lib_basConversion::path_components(disk.text("snap/1998")).size());
    std::string deep = "src/1998";
    for (int level = 1; level <= levels_with_room + 2; ++level) {
        deep += "/d";
        for (const char* file : {"/one.txt", "/two.txt"}) disk.write(deep + file, "x");
        if (level < levels_with_room) continue;
        testing::make_database(disk.native(deep + "/db.mdb"), 1);
        disk.write(deep + "/db.mdb-wal", "");  // its side file, left out
    }
    EXPECT_EQ(copy_pass(), CopyPassOutcome::walked);
    EXPECT_EQ(screen.rows.size(), 2u);
    EXPECT_THAT(screen.rows, Each(StartsWith("Failed to create dir " + disk.text("snap/1998/d"))));
    std::string made = "1998";
    for (int level = 1; level <= levels_with_room; ++level) made += "/d";
    EXPECT_TRUE(copied(made + "/two.txt") && copied(made + "/db.mdb") && !copied(made + "/d/one.txt"));
    EXPECT_TRUE(copied("a.txt") && copied("1999/two.txt"));
    for (const auto& entry : fs::recursive_directory_iterator(disk.native("snap"))) {
        EXPECT_FALSE(entry.path().filename().string().starts_with("qdb")) << entry.path();
    }
}

TEST_F(CopyPassTest, AFullTableOfCopiedFilesEndsTheJob) {
    run.CopiedFiles.add("Z:\\x", "Z:\\Ärger.txt");
    run.CopiedFiles.add("Z:\\x", "Z:\\Sum");
    for (std::size_t i = 2; i < kCopiedFilesLimit; ++i) run.CopiedFiles.add("Z:\\x", "Z:\\" + std::to_string(i));
    EXPECT_EQ(run.CopiedFiles.find("z:\\9999"), nullptr);  // case counts
    // Only where asked not to count it, in any script.
    for (const char* name : {"z:\\9999", "z:\\äRGER.TXT"}) {
        EXPECT_NE(run.CopiedFiles.find_ignoring_case(name), nullptr) << name;
    }
    // And from one script to another where the host's case mapping says so (GLib's
    // upper-cases the long s, Windows' leaves it).
    EXPECT_EQ(run.CopiedFiles.find_ignoring_case("Z:\\ſum") != nullptr,
              unicode::equal_ignoring_case("Z:\\ſum", "Z:\\Sum"));
    EXPECT_EQ(copy_pass(), CopyPassOutcome::table_full);
    EXPECT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(last_box(), "Oops, tried to copy more than 10000 files");
    EXPECT_FALSE(copied("a.txt"));
}

TEST_F(CopyPassTest, NamesThatPathTextCannotHoldAreReported) {
#ifdef _WIN32
    GTEST_SKIP() << "a name that holds a backslash: Windows makes none";
#endif
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

// What a copy pass left: its rows (the snapshot folder written as "T"), the files
// and folders under the snapshot folder, the rows accepted into the run's table,
// the files counted as put in place, and the error that ended it.
struct PassSeen {
    std::vector<std::string> rows;
    std::map<std::string, std::string> files;
    std::size_t accepted = 0;
    std::int64_t put_in_place = 0;
    std::string failure;
};

// Copies made on several threads are put in place in the walk's order: the rows,
// the duplicates and the files in place are those of one thread copying file
// after file, also when a failure on the target's side ends the job half way.
TEST_F(CopyPassTest, ThreadsChangeNothingThatIsSeenAlsoWhenAFailureEndsTheJob) {
    plan.SourceDir = disk.text("many");
    options.IncludeSubdirs = true;
    for (int i = 0; i < 40; ++i) disk.write("many/f" + std::to_string(i), "file " + std::to_string(i));
    for (int i = 0; i < 30; ++i) disk.write("many/sub/g" + std::to_string(i), "sub " + std::to_string(i));
    // Dangling links: each fails when it is copied.
    for (const char* link : {"many/dangling1", "many/dangling2", "many/dangling3"}) {
        if (!testing::make_link(disk.native("gone"), disk.native(link), false)) GTEST_SKIP() << testing::kNoLinksHere;
    }
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(disk.native("many/fifo").c_str(), 0600), 0);  // skipped by the walk
    constexpr std::size_t kFifos = 1;
#else
    constexpr std::size_t kFifos = 0;  // Windows has none
#endif

    // The walk's order is the file system's: the roles are handed out along it.
    std::vector<std::string> walked;  // relative paths
    lib_clsFindFiles finder;
    for (bool found = finder.FindFirstFile("*.*", plan.SourceDir, true); found; found = finder.FindNextFile()) {
        walked.push_back(lib_basConversion::lib_AddPath(finder.RecursedDir(), finder.File()));
    }
    ASSERT_EQ(walked.size(), 73u + kFifos);
    const auto native = [](std::string relative) {
        std::replace(relative.begin(), relative.end(), '\\', '/');
        return relative;
    };
    const auto is_link = [](const std::string& name) { return name.starts_with("dangling"); };
    const auto plain = [&](std::size_t i) { return i < walked.size() && !is_link(walked[i]) && walked[i] != "fifo"; };
    // A large file holds the copies after the second link back, so that its failure
    // comes late; the duplicate after it is a row of the walk's own, which must wait.
    const std::size_t link =
        std::find_if(std::ranges::find_if(walked, is_link) + 1, walked.end(), is_link) - walked.begin();
    std::size_t large = link - 1;
    while (large > 0 && !plain(large)) --large;
    std::size_t duplicate = link + 1;
    while (!plain(duplicate)) ++duplicate;
    std::size_t failing = duplicate + 1;
    while (!plain(failing)) ++failing;
    ASSERT_TRUE(plain(large) && failing + 3 < walked.size()) << "the walk put the links too close to its end";
    disk.write("many/" + native(walked[large]), std::string(std::size_t{24} << 20, 'x'));

    const auto pass = [&](unsigned threads, bool fails) {
        const std::string snapshot = "snap" + std::to_string(threads) + (fails ? "-failing" : "");
        RunState fresh;
        fresh.CopyThreads = threads;
        target.Folder = disk.text(snapshot);
        // Written by an earlier job of the run: reported as a duplicate, not copied.
        fresh.CopiedFiles.add("Z:\\earlier", target.Folder + "\\" + walked[duplicate]);
        // A folder where a file is to go: its copy cannot be put in place.
        if (fails) fs::create_directories(disk.native(snapshot + "/" + native(walked[failing])));
        screen.rows.clear();
        counts = {};
        PassSeen seen;
        seen.failure =
            testing::described(testing::raised([&] { CopyPass(options, plan, target, fresh, activity, counts); }));
        for (std::string row : screen.rows) {
            for (std::size_t at; (at = row.find(target.Folder)) != std::string::npos;) {
                row.replace(at, target.Folder.size(), "T");
            }
            seen.rows.push_back(row);
        }
        for (const auto& entry : fs::recursive_directory_iterator(disk.native(snapshot))) {
            const std::string relative = fs::relative(entry.path(), disk.native(snapshot)).string();
            seen.files[relative] = entry.is_directory() ? "(folder)" : disk.read(snapshot + "/" + relative);
        }
        seen.accepted = fresh.CopiedFiles.size();
        seen.put_in_place = counts.files;
        return seen;
    };

    for (const bool fails : {false, true}) {
        const PassSeen one_thread = pass(1, fails);
        EXPECT_THAT(one_thread.rows, Contains("Duplicates:"));
        EXPECT_EQ(one_thread.failure, fails ? "58 Base7.lib_CopyFile: File already exists" : "");
        // All but the duplicate, the FIFO and the links; with the failure, none from it on.
        std::int64_t before_failing = -1;  // the duplicate
        for (std::size_t i = 0; i < failing; ++i) before_failing += plain(i) ? 1 : 0;
        EXPECT_EQ(one_thread.put_in_place, fails ? before_failing : 69);
        for (const unsigned threads : {2u, 4u}) {
            SCOPED_TRACE(std::to_string(threads) + " threads" + (fails ? ", failing" : ""));
            const PassSeen seen = pass(threads, fails);
            EXPECT_EQ(seen.rows, one_thread.rows);
            EXPECT_EQ(seen.files, one_thread.files);
            EXPECT_EQ(seen.accepted, one_thread.accepted);
            EXPECT_EQ(seen.put_in_place, one_thread.put_in_place);
            EXPECT_EQ(seen.failure, one_thread.failure);
        }
    }
}

}  // namespace
}  // namespace quillet
