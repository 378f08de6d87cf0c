#include "app/command_dispatcher.h"

#include <gtest/gtest.h>

#include <fstream>

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
        std::ofstream(folder.native() / name, std::ios::binary) << content;
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

TEST_F(DispatchTest, CommentCharactersCountOnlyInTheFirstPositionAndBlanksAskForTheSyntax) {
    dispatch(";Z:\\a Z:\\b");
    dispatch("'Z:\\a Z:\\b");
    dispatch("#Z:\\a Z:\\b");
    dispatch(" ;Z:\\a Z:\\b");
    EXPECT_EQ(jobs, Lines{" ;Z:\\a Z:\\b"});
    EXPECT_TRUE(windows.syntax_text.empty());
    dispatch("  \t ");
    EXPECT_FALSE(windows.syntax_text.empty());
}

TEST_F(DispatchTest, TwoPartsRunOneJobWithTheWholeUnsplitLine) {
    dispatch("  \"Z:\\My Data\\*.*\"\tZ:\\bak  /S ");
    EXPECT_EQ(jobs, Lines{"  \"Z:\\My Data\\*.*\"\tZ:\\bak  /S "});
}

TEST_F(DispatchTest, MoreThanTenPartsAreReportedAndNotRun) {
    dispatch("Z:\\a Z:\\b /S /S /S /S /S /S /S /S /S");
    EXPECT_TRUE(jobs.empty());
    ASSERT_EQ(windows.boxes.size(), 1u);
    EXPECT_NE(windows.boxes[0].text.find("HandleCommandLine()"), std::string::npos);
    EXPECT_NE(windows.boxes[0].text.find("LineParts array too small"), std::string::npos);
}

TEST_F(DispatchTest, ANestedCommandFileRunsInFullAndMayRunAgainOnceEnded) {
    const std::string inner = command_file("inner.txt", "Z:\\i1 Z:\\b\r\nZ:\\i2 Z:\\b");
    dispatch(command_file("outer.txt", "Z:\\o1 Z:\\b\r\n" + inner + "\r\nZ:\\o2 Z:\\b\r\n"));
    dispatch(inner);  // the file may run again once it has ended
    EXPECT_EQ(jobs, (Lines{"Z:\\o1 Z:\\b", "Z:\\i1 Z:\\b", "Z:\\i2 Z:\\b", "Z:\\o2 Z:\\b", "Z:\\i1 Z:\\b",
                           "Z:\\i2 Z:\\b"}));
    EXPECT_TRUE(frmMain.Messages().empty());
}

TEST_F(DispatchTest, AnEmptyCommandFileIsReportedAsAReadError) {
    // A byte order mark alone holds no line either.
    for (const char* content : {"", "\xEF\xBB\xBF"}) {
        windows.boxes.clear();
        dispatch(command_file("empty.txt", content));
        ASSERT_EQ(windows.boxes.size(), 1u);
        EXPECT_NE(windows.boxes[0].text.find("HandleCommandLineA()"), std::string::npos);
        EXPECT_NE(windows.boxes[0].text.find("Input past end of file"), std::string::npos);
    }
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
