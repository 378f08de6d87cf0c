#include "ui/activity_report.h"

#include "text/line_breaks.h"
#include "ui/log.h"
#include "ui/models/main_window.h"

namespace quillet {

namespace {

// The handle the jobs pass: a true value, which names no window.
constexpr WindowHandle kNoWindow = -1;

void show_activity_labels(const std::string& text) {
    frmMain.ClearSizingMessage();
    // Set twice so that it sizes itself again even to the same text.
    frmMain.SetLabelCaption(MainLabel::lblDisplay, " ");
    frmMain.SetLabelCaption(MainLabel::lblDisplay, text);
    frmMain.RefreshLabel(MainLabel::lblDisplay);
}

}  // namespace

std::string JoinActivityLines(const std::string& text) { return ReplaceLineBreaks(text, ' '); }

void ReportActivity(const std::string& text) {
    show_activity_labels(text);
    LogJobActivity(text);
    frmMain.FitWindowToMessage(false, false);
}

void ShowActivity(const std::string& text) {
    show_activity_labels(text);
    frmMain.FitWindowToMessage(false, false);
}

void LogJobActivity(const std::string& text) { lib_LogMessage(JoinActivityLines(text), kNoWindow); }

void AddMessageAndLog(const std::string& text) {
    frmMain.AddMessage(text);
    LogJobActivity(text);
}

}  // namespace quillet
