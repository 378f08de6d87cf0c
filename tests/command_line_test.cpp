// The command line as a whole: the syntax, validation, command files, the Shift
// questions and the exit status that tells a script how the run went. How a
// command file's lines are read and run is the dispatcher's tests'.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "sandbox.h"

namespace quillet::end_to_end {
namespace {

class CommandLine : public ::testing::Test {
protected:
    Outcome run(const Lines& arguments) const { return box.run(arguments, {.clock = "2010-09-30 09:00:00"}); }

    Sandbox box;
};

// 0 for a clean run, which prints nothing, blanks in its paths and all; 1 after a
// box; 2 for the syntax shown unasked (a job line's refusals, and that they make
// nothing, are the job's tests'). Help is answered only as the one argument:
// beside others it is a path like any other. What cannot be a command file is
// refused in a box that quotes it, and never read: a device, a FIFO, a file over
// 16 MiB. A quote left open makes the whole line one part, taken as a command
// file's path; its box shows no password (compared whole, so that none shows
// anywhere).
TEST_F(CommandLine, TheStatusTellsAScriptHowTheRunWentAndOnlyARegularFileIsACommandFile) {
    box.write("my data/c.txt");
    ASSERT_EQ(mkfifo(box.native("fifo").c_str(), 0600), 0);
    box.write("huge.txt", std::string(16 * 1024 * 1024 + 1, ' '));
    const auto refused = [](const std::string& shown) { return Outcome{1, "", "Error\nCommand File " + shown + "\n"}; };
    const std::string syntax = run({}).out;
    EXPECT_TRUE(syntax.starts_with("Make snapshots of a dir\\files\n\nSyntax:  quillet\n")) << syntax;
    const struct {
        Lines arguments;
        Outcome outcome;
    } cases[] = {
        {{}, {2, syntax, ""}},
        {{"--help"}, {0, syntax, ""}},
        {{"-h"}, {0, syntax, ""}},
        {{"/?"}, {0, syntax, ""}},
        {{"--help", "/S"}, refused("--help -  not found")},
        {{"Z:\\dev\\zero"}, refused("Z:\\dev\\zero -  not found")},
        {{box.text("fifo")}, refused(box.text("fifo") + " -  not found")},
        {{box.text("huge.txt")}, refused(box.text("huge.txt") + " -  too large (over 16 MiB)")},
        // The value runs to the end of the open quote (how each key is found is the masking's tests').
        {{"\"" + box.text("src") + "\\*.*", box.text("dst"), "/c=wg/user/pw/Sesame1", "/S"},
         refused(box.text("src") + "\\*.* " + box.text("dst") + " /c=*** -  not found")},
    };
    for (const auto& line : cases) {
        // A run that read a FIFO or a device would never end.
        EXPECT_EQ(box.run(line.arguments, {.through = within(20)}), line.outcome)
            << ::testing::PrintToString(line.arguments);
    }
    EXPECT_EQ(run({box.text("my data") + "\\*.*", box.text("back ups")}), (Outcome{0, "", ""}));
    EXPECT_EQ(box.tree("back ups"),
              (Lines{"my data/", "my data/2010-09-30   09.00/", "my data/2010-09-30   09.00/c.txt"}));
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("quillet 1.")) << version.out;
}

TEST_F(CommandLine, ALinuxPathOrEatenBackslashesGetAHintAfterTheMessage) {
    if (under_wine()) GTEST_SKIP() << "the hints are for a POSIX shell (the Windows build gives them too, for now)";
    EXPECT_EQ(run({"/home/ann/Data/*.*", "/home/ann/Backup"}).err,
              "Error\nCommand File /home/ann/Data/*.* -  not found\nHint: paths are written the Windows way, drive Z: "
              "being the root of the file system: write /home/ann/Data/*.* as 'Z:\\home\\ann\\Data\\*.*', in single "
              "quotes.\n");
    const std::string source = box.text("Data") + "\\*.*";
    EXPECT_EQ(run({source, "/home/ann/Backup", "/S"}).err,
              "Error\nCommand File " + source + " -  not found\nHint: paths are written the Windows way, drive Z: "
              "being the root of the file system: write /home/ann/Backup as 'Z:\\home\\ann\\Backup', in single "
              "quotes.\n");
    EXPECT_EQ(run({"Z:homeannData*.*", "Z:homeannBackup", "/S"}).err,
              "Information\nDestination drive  not found\nHint: the shell took the backslashes out of "
              "Z:homeannData*.*: put each path in single quotes, as in 'Z:\\home\\ann\\Data\\*.*'.\n");
}

// Without a terminal the answers are read from standard input, once for the run.
TEST_F(CommandLine, ShiftAsksOnceForACommentAndAnMOverrideThatEveryJobUses) {
    for (const char* file : {"src/a.txt", "src/b.txt"}) box.write(file);
    // A command file of two jobs, its lines ended as on Windows.
    const std::string source = box.text("src") + "\\*.* ";
    box.write("cmds.txt", source + box.text("one") + " /F=4 /M=1\r\n" + source + box.text("two") + " /F=4\r\n");
    EXPECT_EQ(box.run({box.text("cmds.txt")}, {.clock = "2010-09-30 14:37:00", .input = "weekly\n15\n", .shift = true}),
              (Outcome{0, "", ""}));
    const std::string dated = "2010-09-30   14.30   (weekly)";
    for (const char* target : {"one", "two"}) {
        EXPECT_EQ(box.tree(target), (Lines{dated + "/", dated + "/a.txt", dated + "/b.txt"})) << target;
    }

    // Left unanswered, the questions add no comment and keep the job's /M.
    box.run({box.text("src") + "\\*.*", box.text("three"), "/F=4", "/M=10"},
            {.clock = "2010-09-30 14:37:00", .shift = true});
    const std::string plain = "2010-09-30   14.30";
    EXPECT_EQ(box.tree("three"), (Lines{plain + "/", plain + "/a.txt", plain + "/b.txt"}));
}

}  // namespace
}  // namespace quillet::end_to_end
