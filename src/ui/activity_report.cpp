#include "ui/activity_report.h"

#include "ui/log.h"
#include "ui/main_window.h"

namespace quillet {

namespace {

// The handle the jobs pass: a true value, which names no window.
constexpr WindowHandle kNoWindow = -1;

const std::string kNoBreakSpace = "\u00A0";

void show_activity_labels(const std::string& text) {
    // Each label is set twice so that it sizes itself again even to the same text.
    frmMain.SetLabelCaption(MainLabel::lblSizingMsg, kNoBreakSpace);
    frmMain.SetLabelCaption(MainLabel::lblSizingMsg, " ");
    frmMain.SetLabelCaption(MainLabel::lblDisplay, " ");
    frmMain.SetLabelCaption(MainLabel::lblDisplay, text);
    frmMain.RefreshLabel(MainLabel::lblDisplay);
}

}  // namespace

std::string JoinActivityLines(const std::string& text) {
    std::string joined;
    joined.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        joined += (c == '\r' || c == '\n') ? ' ' : c;
    }
    return joined;
}

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
