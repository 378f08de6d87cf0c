#include "ui/syntax.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "ui/busy.h"
#include "ui/display.h"
#include "ui/msgbox.h"
#include "ui/recording_front_end.h"
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

TEST(SyntaxText, ReadsLineForLineWithTheProgramsName) {
    const std::vector<std::string> expected{
        "Make snapshots of a dir\\files",
        "",
        "Syntax:  qsnap",
        "",
        "(1) Path\\Filename  TargetDir  [options] [/S] [/E=dir] [/D=x] [/M=mins] [/F[=1-5]] [/K=days]",
        "           [/C[=wrkgrp/user/pwd[/DBpwd]|[=DBpwd]] [/Z[=[password]]]",
        "",
        "     /S    include files in sub directories",
        "     /E=   excl [dir][\\][files] matching this pattern (comma delimit if more than one, enter path excl "
        "SourceDir)",
        "     /D=   only include files modified within the last x day(s). 1=today, 2=yesterday etc",
        "     /F[=] files will created in TargetDir, optionally within subdirs whose name is based on SourceDir "
        "&/or date",
        "           1:subdir\\date, 2:date\\subdir, 3:subdir, 4:date, 5:no sub (def=1)",
        "     /A    an addon dir to the subdir/date created according to /F  eg. to create specific subdir within "
        "dated subdir",
        "     /M=   a subdir off TargetDir will be created using date/time, where time is rounded to the nearest /M "
        "mins (def 1)",
        "     /K=   keep x days worth of backups, delete older",
        "           eg. 0:keep none, 1:keep today, 2:keep last 2 days (works on unique days snapped, not calendar)",
        "     /C[=] compact MSAccess databases (must be <= v2003) - optionally specify a workgroup_file/user/pwd "
        "&/or DB_pwd ",
        "     /Z    zip the output, /Z=[password] to encrypt, if password not supplied you will be prompted at run "
        "time",
        "",
        "(2) Commandline_file",
        "     where Commandline_file is a textfile containing multiple commandlines of format (1) excluding appname",
        "",
        "eg. qsnap F:\\Apps\\YearlyData\\*.*  C:\\MyBackup  /S  /E=\"1998\\Junk\",\"1999\\Onefile\"  /M=60  /K=5  /C",
        "",
        "Hold Shift key down when starting to be prompted for a Comment and /M override",
    };
    const std::string text = SyntaxText("qsnap");
    EXPECT_EQ(split_lines(text), expected);
    EXPECT_NE(text.back(), '\n');
}

TEST(SyntaxTitle, VersionRevisionLetterAndTrailingBlanks) {
    EXPECT_EQ(SyntaxWindowTitle(2, 3, 0), "Quillet Syntax   v2.3          ");
    EXPECT_EQ(SyntaxWindowTitle(2, 3, 2), "Quillet Syntax   v2.3b          ");
    EXPECT_EQ(SyntaxWindowTitle(1, 0, 1), "Quillet Syntax   v1.0a          ");
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
    EXPECT_EQ(screen.syntax_text, SyntaxText(platform::executable_name()));
    EXPECT_EQ(MsgBoxRequest, screen.syntax_text);
    EXPECT_EQ(screen.syntax_title,
              SyntaxWindowTitle(VersionMajor(), VersionMinor(), VersionRevision()) + " ");
    EXPECT_TRUE(screen.boxes.empty());
    EXPECT_TRUE(lib_basDisplay::lib_FormIsLoaded(kSyntaxWindow));
}

}  // namespace
}  // namespace quillet
