// What the program refuses to do whatever it is handed: names in the snapshot
// folder that try to steer /K elsewhere, passwords that would be cut short (a
// password it takes encrypts every entry), another user's link in a shared
// folder. Command files that are no files are the command line's tests'.

#include <gmock/gmock.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "sandbox.h"
#include "support/run_process.h"

namespace quillet::end_to_end {
namespace {

namespace fs = std::filesystem;

const std::string kParent = "bak/YearlyData/";
const std::string kSnapshot = "2010-09-30   12.00";
const RunOptions kAtNoon{.clock = "2010-09-30 12:00:00"};

TEST(SafetyRules, CleanupTrashesOnlyTheEntriesItListedNeverWhatTheirNamesOrLinksPointAt) {
    if (under_wine()) {
        GTEST_SKIP() << "Wine's recycle bin moves what a link to a file leads to, and Wine shows such a link as "
                        "no link (a fault under Wine only: docs/windows.md)";
    }
    Sandbox box;
    for (const char* file : {"YearlyData/a.txt", "victim/precious.txt", "outside/kept.txt", "outside.txt"}) {
        box.write(file);
    }
    // One native name, backslashes and all: as path text it would climb out.
    box.make_folder(kParent + "2010-09-01\\..\\..\\..\\victim");
    fs::create_directory_symlink(box.native("outside"), box.native(kParent + "2010-09-02"));
    fs::create_symlink(box.native("outside.txt"), box.native(kParent + "2010-09-03.zip"));

    EXPECT_EQ(box.run({box.text("YearlyData") + "\\*.*", box.text("bak"), "/K=0"}, kAtNoon), (Outcome{0, "", ""}));
    EXPECT_EQ(box.trashed(), (Lines{"2010-09-02", "2010-09-03.zip"}));
    for (const std::string& kept :
         Lines{"victim/precious.txt", kParent + "2010-09-01\\..\\..\\..\\victim", "outside/kept.txt", "outside.txt"}) {
        EXPECT_TRUE(box.exists(kept)) << kept;
    }
    EXPECT_TRUE(fs::is_symlink(box.native("home/.local/share/Trash/files/2010-09-02")));
}

// A source with a dated name where the snapshots go is no snapshot: it stays, and
// an older snapshot beside it goes. So it does when it is named through a link.
TEST(SafetyRules, CleanupNeverTrashesTheSource) {
    Sandbox box;
    box.write("Projects/2010-05-01 Thesis/draft.txt");
    box.write("Projects/2010-09-29   10.00/draft.txt");
    const Lines line{box.text("Projects\\2010-05-01 Thesis\\*.*"), box.text("Projects"), "/F=4", "/K=1"};
    EXPECT_EQ(box.run(line, kAtNoon), (Outcome{0, "", ""}));
    EXPECT_EQ(box.trashed(), Lines{"2010-09-29   10.00"});
    EXPECT_TRUE(box.exists("Projects/2010-05-01 Thesis/draft.txt"));
    EXPECT_TRUE(box.exists("Projects/" + kSnapshot + "/draft.txt"));

    if (under_wine()) return;  // Wine makes no link
    fs::create_directory_symlink(box.native("Projects/2010-05-01 Thesis"), box.native("thesis"));
    const Lines through_link{box.text("thesis\\*.*"), box.text("Projects"), "/F=4", "/K=0"};
    EXPECT_EQ(box.run(through_link, kAtNoon), (Outcome{0, "", ""}));
    EXPECT_TRUE(box.exists("Projects/2010-05-01 Thesis/draft.txt"));
}

// A relative base folder for the desktop's data is ignored, as the desktop's rules
// say: the trash goes where it always goes, not below the folder the run starts in.
TEST(SafetyRules, CleanupTrashesIntoTheUsersTrashWhateverTheCurrentFolder) {
    if (under_wine()) GTEST_SKIP() << "Windows takes its recycle bin from the system";
    Sandbox box;
    box.write("YearlyData/a.txt");
    box.make_folder(kParent + "2010-09-01");
    RunOptions elsewhere = kAtNoon;
    elsewhere.through = {"env", "-C", box.native("").string(), "XDG_DATA_HOME=relative"};
    EXPECT_EQ(box.run({box.text("YearlyData") + "\\*.*", box.text("bak"), "/K=0"}, elsewhere), (Outcome{0, "", ""}));
    EXPECT_EQ(box.trashed(), Lines{"2010-09-01"});
    EXPECT_FALSE(box.exists("relative"));
}

// An empty /Z= password is asked for while zipping. The archiver takes at most 255
// bytes of password; a longer one is refused, never cut, as is one that the
// command line would change. With it every entry is
// encrypted: an archive tool of its own reads them with that password and no other.
TEST(SafetyRules, AZipPasswordIsUsedWholeOrRefused) {
    Sandbox box;
    for (const char* file : {"YearlyData/a.txt", "YearlyData/sub/b.txt"}) box.write(file);
    const auto zip = [&](const std::string& target, const std::string& option, const std::string& typed = {}) {
        return box.run({box.text("YearlyData") + "\\*.*", box.text(target), "/S", option},
                       {.clock = kAtNoon.clock, .input = typed});
    };

    EXPECT_EQ(zip("bak", "/Z=" + std::string(256, 'p')),
              (Outcome{1, "", "Information\nThe /Z password is longer than 255 bytes\n"}));
    // The line would take the quote as its own, and trim the blanks; beside an
    // argument that is not UTF-8 it would be read as Windows-1252 (Windows hands
    // over UTF-16, which is always UTF-8 here).
    const Outcome refused{1, "",
                          "Information\nThe /Z password cannot be passed on as given: it holds a double quote, a "
                          "blank at either end or text that is not UTF-8\n"};
    for (const char* password : {"pa\"ss", "trail  "}) EXPECT_EQ(zip("bak", std::string("/Z=") + password), refused);
    if (!under_wine()) {
        EXPECT_EQ(box.run({box.text("YearlyData") + "\\*.*", box.text("bak"), "/Z=p\u00e4ss", "/E=x\xe9"}, kAtNoon),
                  refused);
    }
    // A command file's line as written: quotes around the whole part or the value are syntax.
    box.write("jobs.txt", box.text("YearlyData") + "\\*.* " + box.text("filed") + " /Z=pa\"ss\n" +
                              box.text("YearlyData") + "\\*.* " + box.text("quoted") + " /Z=\"my pass\"\n");
    EXPECT_EQ(box.run({box.text("jobs.txt")}, kAtNoon), refused);
    EXPECT_FALSE(box.exists("filed"));
    EXPECT_TRUE(box.exists("quoted/YearlyData/" + kSnapshot + ".zip"));

    const Outcome typed = zip("bak", "/Z=", std::string(256, 't') + "\n");
    EXPECT_EQ(lines_of(typed.err).at(1), "The password is longer than 255 bytes") << typed.err;
    EXPECT_FALSE(box.exists(kParent + kSnapshot + ".zip"));

    EXPECT_EQ(zip("bak", "/Z=" + std::string(255, 'p')).err, "");
    EXPECT_TRUE(box.exists(kParent + kSnapshot + ".zip"));

    EXPECT_EQ(zip("asked", "/Z=", "asked\n"), (Outcome{0, "", ""}));
    // 7-Zip tests the archive with the password typed, and with another.
    const std::string archive = box.native("asked/YearlyData/" + kSnapshot + ".zip").string();
    const auto right = testing::RunWithPipes({"7z", "t", "-pasked", archive}, "");
    EXPECT_EQ(right.status, 0) << right.out << right.err;
    EXPECT_THAT(right.out, ::testing::HasSubstr("Files: 2"));
    EXPECT_NE(testing::RunWithPipes({"7z", "t", "-pwrong", archive}, "").status, 0);
    EXPECT_EQ(box.tree("tmp"), Lines{});
}

// Root's job into a folder that another user can write in: her link would take
// its copies, and /K, where she chose. Root's own link is followed.
TEST(SafetyRules, ALinkOfAnotherUserIsNeitherWrittenThroughNorCleanedUp) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give a link to another user";
    if (under_wine()) GTEST_SKIP() << "Wine shows Windows no owners of links nor sticky folders";
    constexpr uid_t kSomeoneElse = 65534;
    Sandbox box;
    box.write("YearlyData/a.txt");
    const std::string made = "YearlyData/" + kSnapshot;
    const struct {
        const char* folder;  // where the link stands
        mode_t mode;
        uid_t folder_owner;
    } folders[] = {{"shared", 01777, 0}, {"theirs", 0755, kSomeoneElse}};
    for (const auto& where : folders) {
        box.make_folder(std::string(where.folder) + "/elsewhere/YearlyData/2010-09-01");
        const std::string link = std::string(where.folder) + "/bak";
        ASSERT_EQ(chmod(box.native(where.folder).c_str(), where.mode), 0);
        ASSERT_EQ(chown(box.native(where.folder).c_str(), where.folder_owner, where.folder_owner), 0);
        fs::create_directory_symlink(box.native(std::string(where.folder) + "/elsewhere"), box.native(link));
        const struct {
            uid_t owner;
            std::string out;
            Lines elsewhere;
        } cases[] = {
            {kSomeoneElse,
             "Failed to create dir " + box.text(link + "\\YearlyData\\" + kSnapshot) + "\n",
             {"YearlyData/", "YearlyData/2010-09-01/"}},
            {0, "", {"YearlyData/", made + "/", made + "/a.txt"}},  // and /K=0 cleans up below it
        };
        for (const auto& planted : cases) {
            ASSERT_EQ(lchown(box.native(link).c_str(), planted.owner, planted.owner), 0);
            const Outcome outcome = box.run({box.text("YearlyData") + "\\*.*", box.text(link), "/K=0"}, kAtNoon);
            EXPECT_EQ(outcome.out, planted.out) << where.folder;
            EXPECT_EQ(box.tree(std::string(where.folder) + "/elsewhere"), planted.elsewhere) << where.folder;
        }
    }
}

}  // namespace
}  // namespace quillet::end_to_end
