#include "ui/job_activity.h"

#include <string_view>

#include "ui/activity_report.h"
#include "ui/models/main_window.h"

namespace quillet {

namespace {

const char* title_of(JobPhase phase) {
    switch (phase) {
        case JobPhase::cleaning_up:
            return "Cleanup...";
        case JobPhase::copying:
            return "Copying...";
        case JobPhase::zipping:
            return "Zipping...";
        case JobPhase::ended:
            break;
    }
    return "";
}

// The verb, the source, "to" and the folder, a line each; built in one allocation,
// as it is for every file.
std::string copy_text(std::string_view verb, const std::string& source, const std::string& folder) {
    constexpr std::string_view kLineBreak = "\r\n";
    constexpr std::string_view kTo = "to";
    std::string text;
    text.reserve(verb.size() + source.size() + kTo.size() + folder.size() + 3 * kLineBreak.size());
    text.append(verb).append(kLineBreak).append(source).append(kLineBreak).append(kTo).append(kLineBreak);
    text.append(folder);
    return text;
}

}  // namespace

void MainWindowActivity::phase(JobPhase phase) { frmMain.SetWindowCaption(title_of(phase)); }

// What the trash, a compaction or the archive's first entries are doing is drawn
// before they start: they let no events run for a while.

void MainWindowActivity::cleaning_up(const std::string& path) {
    ReportActivity("Cleaning up\r\n" + path);
    front_end().draw_now();
}

void MainWindowActivity::copying(const std::string& source, const std::string& folder, bool compacting) {
    // Shown for every file: not worth a log line.
    ShowActivity(copy_text(compacting ? "Compacting" : "Copying", source, folder));
    if (compacting) front_end().draw_now();
}

void MainWindowActivity::looking_for_next_file() {
    frmMain.ClearSizingMessage();
    frmMain.SetLabelCaption(MainLabel::lblDisplay, "Looking for next file....");
    frmMain.RefreshLabel(MainLabel::lblDisplay);
    front_end().do_events();
}

void MainWindowActivity::zipping_into(const std::string& archive) {
    ShowActivity("Zipping to \r\n" + archive);
    front_end().draw_now();
}

void MainWindowActivity::put_in_place(std::int64_t files, std::uint64_t bytes) {
    front_end().job_counts(files, bytes);
}

void MainWindowActivity::job_ended(const JobSummary& summary) { front_end().job_ended(summary); }

void MainWindowActivity::let_events_run() { front_end().do_events(); }

}  // namespace quillet
