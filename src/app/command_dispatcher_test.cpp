#include "app/command_dispatcher.h"

#include <gtest/gtest.h>

#include "support/files.h"
#include "ui/models/main_window.h"
#include "support/recording_front_end.h"
#include "ui/reporting.h"

namespace quillet {
namespace {

using Lines = std::vector<std::string>;

// Runs lines through a dispatcher whose jobs only record their command lines.
class DispatchTest : public ::testing::Test {
protected:
    DispatchTest() {
        ShowErrorDetails = true;  // as start-up sets it
        frmMain.MessagesInit();
    }

    void dispatch(const std::string& line) { dispatcher.HandleCommandline(line); }

    // Writes a command file into the test folder and returns its path text.
    std::string command_file(const std::string& name, const std::string& content) {
        folder.write(name, content);
        return folder.text(name);
    }

    testing::RecordingFrontEnd windows;
    FrontEndScope installed{windows};
    testing::ScratchFolder folder;
    RunState run;
    Lines jobs;
    std::function<void(const std::string&)> on_job;
    CommandDispatcher dispatcher{run, [this](const std::string& line, RunState&) {
                                     jobs.push_back(line);
                                     if (on_job) on_job(line);
                                 }};
};

// Comment characters count only in the first position; a job gets its line unsplit.
TEST_F(DispatchTest, CommentsAreSkippedBlanksAskForTheSyntaxAndAJobGetsTheWholeLine) {
    for (const char* line : {";Z:\\a Z:\\b", "'Z:\\a Z:\\b", "#Z:\\a Z:\\b", " ;Z:\\a Z:\\b",
                             "  \"Z:\\My Data\\*.*\"\tZ:\\bak  /S "}) {
        dispatch(line);
    }
    EXPECT_EQ(jobs, (Lines{" ;Z:\\a Z:\\b", "  \"Z:\\My Data\\*.*\"\tZ:\\bak  /S "}));
    EXPECT_TRUE(windows.syntax_text.empty());
    dispatch("  \t ");
    EXPECT_FALSE(windows.syntax_text.empty());
}

// A line of more than ten parts, a command file without a line.
TEST_F(DispatchTest, WhatCannotBeReadIsReportedAndNotRun) {
    const std::pair<std::string, std::vector<const char*>> cases[] = {
        {"Z:\\a Z:\\b /S /S /S /S /S /S /S /S /S", {"HandleCommandLine()", "LineParts array too small"}},
        {command_file("empty.txt", ""), {"HandleCommandLineA()", "Input past end of file"}},
    };
    for (const auto& [line, texts] : cases) {
        windows.boxes.clear();
        dispatch(line);
        ASSERT_EQ(windows.boxes.size(), 1u) << line;
        for (const char* text : texts) EXPECT_NE(windows.boxes[0].text.find(text), std::string::npos) << text;
    }
    EXPECT_TRUE(jobs.empty());
}

// Blank lines and lines too short for a command are passed over; a file that is
// already running is refused with a row, and the lines after it still run.
TEST_F(DispatchTest, ANestedCommandFileRunsInFullAndMayRunAgainOnceEnded) {
    const std::string inner = folder.text("inner.txt");
    command_file("inner.txt", "Z:\\i1 Z:\\b\r\n" + inner + " /S\r\nZ:\\i2 Z:\\b");
    dispatch(command_file("outer.txt", "Z:\\o1 Z:\\b\r\n\r\nab\r\n" + inner + "\r\nZ:\\o2 Z:\\b\r\n"));
    EXPECT_EQ(frmMain.Messages(), Lines{"Command File " + inner + " -  already running"});
    dispatch(inner);  // the file may run again once it has ended
    EXPECT_EQ(jobs, (Lines{"Z:\\o1 Z:\\b", "Z:\\i1 Z:\\b", "Z:\\i2 Z:\\b", "Z:\\o2 Z:\\b", "Z:\\i1 Z:\\b",
                           "Z:\\i2 Z:\\b"}));
    EXPECT_TRUE(windows.boxes.empty() && windows.syntax_text.empty());
}

TEST_F(DispatchTest, AJobThatUnloadsTheWindowEndsTheRestOfTheRun) {
    on_job = [this](const std::string& line) { run.UnloadRequested = line.starts_with("Z:\\stop"); };
    const std::string inner = command_file("inner.txt", "Z:\\stop Z:\\b\r\nZ:\\after Z:\\b\r\n");
    dispatch(command_file("outer.txt", inner + "\r\nZ:\\outer Z:\\b\r\n"));
    dispatch("Z:\\later Z:\\b");
    EXPECT_EQ(jobs, Lines{"Z:\\stop Z:\\b"});
    EXPECT_TRUE(dispatcher.RunEnded());
}

}  // namespace
}  // namespace quillet
