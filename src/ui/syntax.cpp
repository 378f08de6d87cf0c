#include "ui/syntax.h"

#include <array>
#include <string_view>

#include "platform/platform.h"
#include "text/unicode.h"
#include "ui/busy.h"
#include "ui/display.h"
#include "ui/failure_log.h"
#include "ui/front_end.h"
#include "ui/msgbox.h"
#include "ui/version.h"

namespace quillet {

namespace {

// The lines that do not name the program.
constexpr std::array<std::string_view, 17> kOptionLines{
    R"((1) Path\Filename  TargetDir  [options] [/S] [/E=dir] [/D=x] [/M=mins] [/F[=1-5]] [/K=days])",
    R"(           [/C[=wrkgrp/user/pwd[/DBpwd]|[=DBpwd]] [/Z[=[password]]])",
    "",
    R"(     /S    include files in sub directories)",
    R"(     /E=   excl [dir][\][files] matching this pattern (comma delimit if more than one, enter path excl SourceDir))",
    R"(     /D=   only include files modified within the last x day(s). 1=today, 2=yesterday etc)",
    R"(     /F[=] files will created in TargetDir, optionally within subdirs whose name is based on SourceDir &/or date)",
    R"(           1:subdir\date, 2:date\subdir, 3:subdir, 4:date, 5:no sub (def=1))",
    R"(     /A    an addon dir to the subdir/date created according to /F  eg. to create specific subdir within dated subdir)",
    R"(     /M=   a subdir off TargetDir will be created using date/time, where time is rounded to the nearest /M mins (def 1))",
    R"(     /K=   keep x days worth of backups, delete older)",
    R"(           eg. 0:keep none, 1:keep today, 2:keep last 2 days (works on unique days snapped, not calendar))",
    R"(     /C[=] compact MSAccess databases (must be <= v2003) - optionally specify a workgroup_file/user/pwd &/or DB_pwd )",
    R"(     /Z    zip the output, /Z=[password] to encrypt, if password not supplied you will be prompted at run time)",
    "",
    R"((2) Commandline_file)",
    R"(     where Commandline_file is a textfile containing multiple commandlines of format (1) excluding appname)",
};

constexpr std::string_view kCrLf = "\r\n";

}  // namespace

std::string SyntaxText(const std::string& program_name) {
    std::string text;
    text.append("Make snapshots of a dir\\files").append(kCrLf);
    text.append(kCrLf);
    text.append("Syntax:  ").append(program_name).append(kCrLf);
    text.append(kCrLf);
    for (const std::string_view line : kOptionLines) text.append(line).append(kCrLf);
    text.append(kCrLf);
    text.append("eg. ")
        .append(program_name)
        .append(R"( F:\Apps\YearlyData\*.*  C:\MyBackup  /S  /E="1998\Junk","1999\Onefile"  /M=60  /K=5  /C)")
        .append(kCrLf);
    text.append(kCrLf);
    text.append("Hold Shift key down when starting to be prompted for a Comment and /M override");
    return text;
}

std::string SyntaxWindowTitle(int major, int minor, int revision) {
    return std::string(kProgramTitle) + " Syntax   v" + std::to_string(major) + "." + std::to_string(minor) +
           RevisionLetter(revision) + std::string(10, ' ');
}

std::string ProgramNameForSyntax(const std::string& executable_file_name) {
    constexpr std::string_view kExtension = ".exe";
    const std::size_t length = executable_file_name.size();
    if (length > kExtension.size() &&
        unicode::equal_ignoring_case(std::string_view(executable_file_name).substr(length - kExtension.size()),
                                     kExtension)) {
        return executable_file_name.substr(0, length - kExtension.size());
    }
    return executable_file_name;
}

// A line that ran no job is a failure of its own: an unattended run's log says so,
// and counts it, where the syntax window goes unread.
void ShowSyntax() {
    LogShownFailure(platform::Severity::warning, "Syntax shown");
    const std::string text = SyntaxText(ProgramNameForSyntax(platform::executable_name()));
    MsgBoxRequest = text;  // carries the text to the window; no box is shown
    lib_basDisplay::lib_SetBusy(false);
    FrontEnd& windows = front_end();
    const std::string title = lib_basDisplay::WindowTitleText(
        SyntaxWindowTitle(VersionMajor(), VersionMinor(), VersionRevision()), "", windows.is_minimised(kSyntaxWindow));
    windows.show_syntax(title, text);
}

}  // namespace quillet
