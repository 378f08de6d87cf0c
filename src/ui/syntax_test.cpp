#include "ui/syntax.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quillet {
namespace {

TEST(SyntaxText, NamesTheProgramTwiceAndKeepsItsExactSpacing) {
    const std::string text = SyntaxText("qsnap");
    EXPECT_TRUE(text.starts_with(
        "Make snapshots of a dir\\files\r\n\r\nSyntax:  qsnap\r\n\r\n"
        "(1) Path\\Filename  TargetDir  [options] [/S] [/E=dir] [/D=x] [/M=mins] [/F[=1-5]] [/K=days]\r\n"
        "           [/C[=wrkgrp/user/pwd[/DBpwd]|[=DBpwd]] [/Z[=[password]]]\r\n\r\n"))
        << text;
    EXPECT_NE(text.find("\r\n     /C[=] compact MSAccess databases (must be <= v2003) - optionally specify a "
                        "workgroup_file/user/pwd &/or DB_pwd \r\n"),
              std::string::npos);
    EXPECT_TRUE(text.ends_with(
        "\r\n\r\neg. qsnap F:\\Apps\\YearlyData\\*.*  C:\\MyBackup  /S  /E=\"1998\\Junk\",\"1999\\Onefile\"  "
        "/M=60  /K=5  /C"
        "\r\n\r\nHold Shift key down when starting to be prompted for a Comment and /M override"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 24);
}

TEST(SyntaxTitle, VersionRevisionLetterAndTrailingBlanks) {
    EXPECT_EQ(SyntaxWindowTitle(2, 3, 0), "Quillet Syntax   v2.3          ");
    EXPECT_EQ(SyntaxWindowTitle(2, 3, 2), "Quillet Syntax   v2.3b          ");
}

TEST(SyntaxProgramName, DropsOnlyAnExeExtension) {
    EXPECT_EQ(ProgramNameForSyntax("Quillet.EXE"), "Quillet");
    EXPECT_EQ(ProgramNameForSyntax("quillet-1.0"), "quillet-1.0");
}

}  // namespace
}  // namespace quillet
