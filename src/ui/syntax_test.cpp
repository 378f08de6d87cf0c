#include "ui/syntax.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "ui/busy.h"
#include "ui/display.h"
#include "ui/msgbox.h"
#include "support/recording_front_end.h"
#include "ui/version.h"

namespace quillet {
namespace {

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return lines;
        start = end + 2;
    }
}

TEST(SyntaxText, NamesTheProgramTwiceAndKeepsItsExactSpacing) {
    const auto lines = split_lines(SyntaxText("qsnap"));
    ASSERT_EQ(lines.size(), 25u);
    EXPECT_EQ(lines[0], "Make snapshots of a dir\\files");
    EXPECT_EQ(lines[2], "Syntax:  qsnap");
    EXPECT_EQ(lines[4],
              "(1) Path\\Filename  TargetDir  [options] [/S] [/E=dir] [/D=x] [/M=mins] [/F[=1-5]] [/K=days]");
    EXPECT_EQ(lines[5], "           [/C[=wrkgrp/user/pwd[/DBpwd]|[=DBpwd]] [/Z[=[password]]]");
    EXPECT_EQ(lines[16],
              "     /C[=] compact MSAccess databases (must be <= v2003) - optionally specify a workgroup_file/user/pwd "
              "&/or DB_pwd ");
    EXPECT_EQ(lines[22],
              "eg. qsnap F:\\Apps\\YearlyData\\*.*  C:\\MyBackup  /S  /E=\"1998\\Junk\",\"1999\\Onefile\"  /M=60  /K=5  /C");
    EXPECT_EQ(lines[24], "Hold Shift key down when starting to be prompted for a Comment and /M override");
    for (const std::size_t empty : {1u, 3u, 6u, 18u, 21u, 23u}) EXPECT_EQ(lines[empty], "") << empty;
}

TEST(SyntaxTitle, VersionRevisionLetterAndTrailingBlanks) {
    EXPECT_EQ(SyntaxWindowTitle(2, 3, 0), "Quillet Syntax   v2.3          ");
    EXPECT_EQ(SyntaxWindowTitle(2, 3, 2), "Quillet Syntax   v2.3b          ");
}

TEST(SyntaxProgramName, DropsOnlyAnExeExtension) {
    EXPECT_EQ(ProgramNameForSyntax("quillet"), "quillet");
    EXPECT_EQ(ProgramNameForSyntax("Quillet.EXE"), "Quillet");
    EXPECT_EQ(ProgramNameForSyntax("quillet-1.0"), "quillet-1.0");
}

TEST(ShowSyntax, ShowsTheRunningProgramsSyntaxWithANormalPointer) {
    testing::RecordingFrontEnd screen;
    const FrontEndScope installed(screen);
    lib_basDisplay::lib_SetBusy(true);
    ShowSyntax();
    EXPECT_FALSE(lib_basDisplay::BusyState);
    EXPECT_EQ(screen.syntax_text, SyntaxText(ProgramNameForSyntax(platform::executable_name())));
    EXPECT_EQ(MsgBoxRequest, screen.syntax_text);
    EXPECT_EQ(screen.syntax_title,
              SyntaxWindowTitle(VersionMajor(), VersionMinor(), VersionRevision()) + " ");
    EXPECT_TRUE(screen.boxes.empty());
    EXPECT_TRUE(lib_basDisplay::lib_FormIsLoaded(kSyntaxWindow));
}

}  // namespace
}  // namespace quillet
