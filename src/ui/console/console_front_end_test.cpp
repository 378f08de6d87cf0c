#include <gtest/gtest.h>

#include <tuple>

#include "support/run_process.h"

namespace quillet {
namespace {

using testing::RunOnTerminal;
using testing::RunWithPipes;

// The driver names its steps after what the program does: "activity" reports an
// activity, "row" adds a message row, "job" copies two files, "boxes" shows one box of each kind,
// "report" an error report, "long" a text that takes two boxes, "syntax" the
// syntax window, "ask" the Shift questions and the zip password.
testing::ProcessResult drive(std::vector<std::string> steps, const std::string& input = {},
                             const std::vector<std::string>& environment = {}) {
    steps.insert(steps.begin(), QUILLET_CONSOLE_DRIVER);
    return RunWithPipes(steps, input, environment);
}

// Without a terminal: rows go to standard output, boxes to standard error with
// their kind, questions read lines, and the status says whether anything failed.
TEST(ConsoleOnPipes, RowsBoxesAnswersAndTheStatus) {
    struct Case {
        std::vector<std::string> steps;
        std::string input;
        std::vector<std::string> environment;
        std::string out;
        std::string err;
        int status;
    };
    const std::string row = "Failed to copy C:\\a.txt to D:\\snap\\a.txt\n";
    const Case cases[] = {
        {{"activity", "job", "activity"}, "", {}, "", "", 0},  // no activity line without a terminal
        {{"activity", "row", "activity", "row"}, "", {}, row + row, "", 1},
        {{"boxes", "report"}, "", {}, "",
         "Error\nLine one\nLine two\nWarning\ndone\nInformation\na\nb\nc\nd\n"
         "Warning\nAn error has occurred in Base7.lib_CopyFile\n\n(&H800403E9)(AppDef 1001) Access denied\n"
         "Src:C:\\a.txt\nTgt:D:\\a.txt\n",
         1},  // every box reports a failure or a refusal
        {{"long"}, "", {}, "",
         "Information\n" + std::string(995, 'x') + " " + std::string(244, 'y') + "...(contd)\nInformation\n" +
             std::string(60, 'y') + "\n",
         1},
        {{"ask"}, "before noon\n\nhush\n", {}, "comment=[before noon] minutes=[5] password=[hush]\n", "", 0},
        {{"ask"}, "a\r\n15\r\nlast line without end", {}, "comment=[a] minutes=[15] password=[last line without end]\n",
         "", 0},
        {{"ask"}, "only one\n", {}, "comment=[only one] minutes=[] password=[]\n", "", 0},  // then Cancel
        {{"shift"}, "", {"QUILLET_SHIFT=1"}, "shift\n", "", 0},
        {{"shift"}, "", {"QUILLET_SHIFT=0"}, "no shift\n", "", 0},
        {{"shift"}, "", {}, "no shift\n", "", 0},
    };
    for (const Case& c : cases) {
        const auto run = drive(c.steps, c.input, c.environment);
        EXPECT_EQ(std::tie(run.out, run.err, run.status), std::tie(c.out, c.err, c.status)) << c.steps[0];
    }
}

TEST(ConsoleOnPipes, TheSyntaxGoesToStandardOutputAndEndsWithTwo) {
    const auto run = drive({"syntax"});
    EXPECT_TRUE(run.out.starts_with("Make snapshots of a dir\\files\n\nSyntax:  quillet_console_driver\n"));
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
    EXPECT_TRUE(run.out.ends_with("prompted for a Comment and /M override\n"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(drive({"syntax", "row"}).status, 1);  // the main window stays open with the errors
}

TEST(ConsoleOnTerminal, TheActivityLineIsRewrittenInPlaceAndClearedAtTheEnd) {
    const auto run = RunOnTerminal({QUILLET_CONSOLE_DRIVER, "activity", "row"}, {}, 20);
    EXPECT_EQ(run.out, "Failed to copy C:\\a.txt to D:\\snap\\a.txt\n");
    // Cut to the terminal's width less one, line breaks as blanks.
    EXPECT_NE(run.err.find("\rCopying C:\\a.txt to\x1b[K"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("\rErrors encountered\x1b[K"), std::string::npos) << run.err;
    EXPECT_TRUE(run.err.ends_with("\r\x1b[K")) << run.err;
    EXPECT_EQ(run.status, 1);
}

TEST(ConsoleOnTerminal, AJobDrawsItsCountsBeforeTheActivityAndEndsWithASummary) {
    const auto run = RunOnTerminal({QUILLET_CONSOLE_DRIVER, "job"}, {}, 80);
    EXPECT_NE(run.err.find("\r[2 files, 2.0 KiB] Copying C:\\b.txt to D:\\snap\x1b[K"), std::string::npos) << run.err;
    // The terminal ends its lines with CR LF.
    EXPECT_TRUE(run.err.ends_with("\r\x1b[KSnapshot D:\\snap: 2 files, 2.0 KiB in 0.4 s, no failures\r\n")) << run.err;
    EXPECT_EQ(run.status, 0);
}

TEST(ConsoleOnTerminal, QuestionsPromptAndThePasswordIsNotEchoed) {
    const auto run = RunOnTerminal({QUILLET_CONSOLE_DRIVER, "ask"},
                                   {{"Comment (becomes part of backup dir name): ", "note\n"},
                                    {"Override for /M [5]: ", "\n"},
                                    {"Please Enter The Password!: ", "hush\n", true}});
    EXPECT_EQ(run.out, "comment=[note] minutes=[5] password=[hush]\n");
    EXPECT_NE(run.err.find("note"), std::string::npos);  // typed and echoed
    EXPECT_EQ(run.err.find("hush"), std::string::npos) << run.err;
    EXPECT_EQ(run.status, 0);

    // With the messages in a file, the questions are still asked at the terminal.
    const auto logged = RunOnTerminal({"/bin/sh", "-c", "exec \"$0\" ask 2>/dev/null", QUILLET_CONSOLE_DRIVER},
                                      {{"Comment (becomes part of backup dir name): ", "note\n"},
                                       {"Override for /M [5]: ", "\n"},
                                       {"Please Enter The Password!: ", "hush\n", true}});
    EXPECT_EQ(logged.out, "comment=[note] minutes=[5] password=[hush]\n");
}

}  // namespace
}  // namespace quillet
