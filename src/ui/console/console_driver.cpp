// Drives the console front end for its tests: each argument names a step that
// asks something of the windows, as the program's start-up and jobs do. The exit
// status is the front end's.

#include <iostream>
#include <map>
#include <string>

#include "text/error.h"
#include "ui/activity_report.h"
#include "ui/console/console_front_end.h"
#include "ui/input_box.h"
#include "ui/models/main_window.h"
#include "ui/msgbox.h"
#include "ui/reporting.h"
#include "ui/syntax.h"
#include "ui/version.h"

namespace {

using namespace quillet;

void ask_questions() {
    const std::string comment = InputBox("Comment (becomes part of backup dir name)", kProgramTitle);
    const std::string minutes = InputBox("Override for /M", kProgramTitle, "5");
    const std::string password = InputBox("Please Enter The Password!", kProgramTitle, "", true);
    std::cout << "comment=[" << comment << "] minutes=[" << minutes << "] password=[" << password << "]\n";
}

void show_boxes() {
    lib_MsgBoxError("Line one@Line two");
    lib_MsgBoxWarning("done@@12 ", 30);
    lib_MsgBoxInfo("a\r\nb\nc\rd");
}

// A job that copies two files, as the copy pass and the job's ending tell it.
void copy_two_files() {
    front_end().job_counts(1, 512);
    ReportActivity("Copying\r\nC:\\b.txt\r\nto\r\nD:\\snap");
    front_end().job_counts(2, 2048);
    front_end().job_ended(JobSummary{"snapshot D:\\snap", 2, 2048, 0.4, 0});
}

const std::map<std::string, void (*)()> kSteps{
    {"activity", [] { ReportActivity("Copying\r\nC:\\a.txt\r\nto\r\nD:\\snap"); }},
    {"row", [] { AddMessageAndLog("Failed to copy C:\\a.txt to D:\\snap\\a.txt"); }},
    {"job", copy_two_files},
    {"boxes", show_boxes},
    {"report",
     [] {
         lib_ErrorHandler("Base7.lib_CopyFile", kObjectErrorBase + 1001, "Access denied", true,
                          "Src:C:\\a.txt\r\nTgt:D:\\a.txt");
     }},
    {"long", [] { lib_MsgBoxInfo(std::string(995, 'x') + " " + std::string(304, 'y')); }},
    {"syntax", ShowSyntax},
    {"ask", ask_questions},
    {"shift", [] { std::cout << (front_end().shift_held() ? "shift" : "no shift") << "\n"; }},
};

}  // namespace

int main(int argc, char** argv) {
    ConsoleFrontEnd console(std::cout, std::cerr);
    const FrontEndScope installed(console);
    ShowErrorDetails = true;
    frmMain.LayOutAtStartUp();

    for (int i = 1; i < argc; ++i) {
        const auto step = kSteps.find(argv[i]);
        if (step == kSteps.end()) {
            std::cerr << "unknown step " << argv[i] << "\n";
            return 99;
        }
        step->second();
    }
    if (frmMain.ListVisible()) frmMain.SetLabelCaption(MainLabel::lblDisplay, "Errors encountered");
    return console.Finish();
}
