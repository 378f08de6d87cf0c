// The command line as a whole: the syntax, validation, command files and the exit
// status that tells a script how the run went.

#include <gtest/gtest.h>

#include "sandbox.h"

namespace quillet::end_to_end {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kClock = "2010-09-30 09:00:00";
constexpr const char* kSnapshot = "2010-09-30   09.00";

class CommandLine : public ::testing::Test {
protected:
    CommandLine() {
        box.write("src/a.txt");
        box.write("src/b.txt");
    }

    Outcome run(const std::vector<std::string>& arguments, RunOptions options = {}) const {
        options.clock = kClock;
        return box.run(arguments, options);
    }

    // One job line: the source folder's files into a target folder.
    std::string job(const std::string& source, const std::string& target, const std::string& options = {}) const {
        return box.text(source) + "\\*.* " + box.text(target) + (options.empty() ? "" : " " + options);
    }

    Sandbox box;
};

TEST_F(CommandLine, NoArgumentsOrABadOptionShowTheSyntaxWithStatusTwo) {
    const Outcome bare = run({});
    EXPECT_EQ(bare.status, 2);
    EXPECT_TRUE(bare.out.starts_with("Make snapshots of a dir\\files\n\nSyntax:  quillet\n")) << bare.out;
    EXPECT_EQ(bare.err, "");

    const Outcome bad = run({box.text("src") + "\\*.*", box.text("bak"), "/S", "/X"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, bare.out);
    EXPECT_FALSE(box.exists("bak"));
}

TEST_F(CommandLine, HelpAndVersionAreAnsweredWithStatusZero) {
    const Outcome syntax = run({});
    for (const char* question : {"--help", "-h", "/?"}) {
        const Outcome help = run({question});
        EXPECT_EQ(help.status, 0) << question;
        EXPECT_EQ(help.out, syntax.out) << question;
        EXPECT_EQ(help.err, "") << question;
    }
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("quillet 1.")) << version.out;
    // Only as the one argument: beside others it is a path like any other.
    EXPECT_EQ(run({"--help", "/S"}).err, "Error\nCommand File --help -  not found\n");
}

TEST_F(CommandLine, ALinuxPathOrEatenBackslashesGetAHintAfterTheMessage) {
    if (under_wine()) GTEST_SKIP() << "the hints are for a POSIX shell (the Windows build gives them too, for now)";
    const struct {
        std::vector<std::string> arguments;
        std::string message;
        std::string hint;
    } cases[] = {
        {{"/home/ann/Data/*.*", "/home/ann/Backup"},
         "Error\nCommand File /home/ann/Data/*.* -  not found\n",
         "Hint: paths are written the Windows way, drive Z: being the root of the file system: write "
         "/home/ann/Data/*.* as 'Z:\\home\\ann\\Data\\*.*', in single quotes.\n"},
        {{"Z:homeannData*.*", "Z:homeannBackup", "/S"},
         "Information\nDestination drive  not found\n",
         "Hint: the shell took the backslashes out of Z:homeannData*.*: put each path in single quotes, as in "
         "'Z:\\home\\ann\\Data\\*.*'.\n"},
    };
    for (const auto& mistake : cases) {
        EXPECT_EQ(run(mistake.arguments).err, mistake.message + mistake.hint);
    }
}

TEST_F(CommandLine, ACleanRunEndsWithStatusZeroAndPrintsNothing) {
    const Outcome outcome = run({box.text("src") + "\\*.*", box.text("bak")});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(box.tree("bak"), (Lines{"src/", std::string("src/") + kSnapshot + "/",
                                      std::string("src/") + kSnapshot + "/a.txt",
                                      std::string("src/") + kSnapshot + "/b.txt"}));
}

TEST_F(CommandLine, ArgumentsWithBlanksReachTheJobAsOnePath) {
    box.write("my data/c.txt");
    EXPECT_EQ(run({box.text("my data") + "\\*.*", box.text("back ups")}).status, 0);
    EXPECT_EQ(box.tree("back ups"), (Lines{"my data/", std::string("my data/") + kSnapshot + "/",
                                           std::string("my data/") + kSnapshot + "/c.txt"}));
}

// A box is the run's only word of these failures; the status tells a script too.
TEST_F(CommandLine, ValidationFailuresCreateNothingAndEndWithStatusOne) {
    box.make_folder("d");
    std::vector<Outcome> outcomes{run({"Z:\\nowhere\\*.*", "D:\\bak"})};
    EXPECT_EQ(outcomes.back().err, "Information\nDestination drive D: not found\n");
    // Drives other than Z: are mapped on POSIX hosts only; Windows has its own.
    if (!under_wine()) {
        outcomes.push_back(run({box.text("src") + "\\*.*", "D:\\bak", "/F=2", "/Z"},
                               RunOptions().with("QUILLET_DRIVES", "D:=" + box.native("d").string())));
        EXPECT_EQ(outcomes.back().err,
                  "Information\nWith /Z option, only /F type 1(def) & 4 allowed, and /A not allowed\n");
    }
    outcomes.push_back(run({box.text("src") + "\\*.*", box.text("bak"), "/Z", "/A=x"}));
    EXPECT_EQ(outcomes.back().err, "Information\nWith /Z option, only /F type 1(def) & 4 allowed, and /A not allowed\n");
    for (const Outcome& outcome : outcomes) {
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
    }
    EXPECT_FALSE(box.exists("bak"));
    EXPECT_EQ(box.tree("d"), Lines{});
    EXPECT_EQ(box.tree("tmp"), Lines{});
}

TEST_F(CommandLine, AMissingCommandFileIsAnErrorBoxAndStatusOne) {
    const Outcome outcome = run({box.text("cmds.txt"), "/K=3"});
    EXPECT_EQ(outcome.err, "Error\nCommand File " + box.text("cmds.txt") + " -  not found\n");
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.status, 1);
}

TEST_F(CommandLine, ACommandFileRunsItsLinesAndTheFilesItNames) {
    box.write("more/c.txt");
    const std::string inner = box.command_file("inner.txt", {job("more", "bak")});
    const std::string outer = box.command_file(
        "outer.txt", {"; a comment", "", "ab", job("src", "bak", "/F=3"), inner, "  " + job("src", "bak2", "/F=3")});
    const Outcome outcome = run({outer});
    EXPECT_EQ(box.tree("bak"), (Lines{"more/", std::string("more/") + kSnapshot + "/",
                                      std::string("more/") + kSnapshot + "/c.txt", "src/", "src/a.txt",
                                      "src/b.txt"}));
    EXPECT_EQ(box.tree("bak2"), (Lines{"src/", "src/a.txt", "src/b.txt"}));
    EXPECT_EQ(outcome.status, 0);
}

TEST_F(CommandLine, ACommandFileThatRunsItselfIsRefusedAndTheRunGoesOn) {
    const std::string first = box.text("first.txt");
    const std::string second = box.command_file("second.txt", {first, job("src", "bak", "/F=3")});
    box.command_file("first.txt", {first + " /S", second, job("src", "bak2", "/F=3")});
    const Outcome outcome = run({first});
    EXPECT_EQ(lines_of(outcome.out), (Lines{"Command File " + first + " -  already running",
                                            "Command File " + first + " -  already running"}));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(box.tree("bak"), (Lines{"src/", "src/a.txt", "src/b.txt"}));
    EXPECT_EQ(box.tree("bak2"), (Lines{"src/", "src/a.txt", "src/b.txt"}));
}

TEST_F(CommandLine, ARowAndTheSyntaxTogetherLeaveTheWindowOpenWithErrors) {
    const std::string file = box.command_file("cmds.txt", {job("src", "bak", "/X"), box.text("cmds.txt")});
    const Outcome outcome = run({file});
    EXPECT_TRUE(outcome.out.starts_with("Make snapshots")) << outcome.out;
    EXPECT_TRUE(outcome.out.ends_with("Command File " + file + " -  already running\n")) << outcome.out;
    EXPECT_EQ(outcome.status, 1);
}

}  // namespace
}  // namespace quillet::end_to_end
