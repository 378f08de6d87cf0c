#pragma once
// The front end for terminals, cron and tests. Message rows go to standard output
// as they are added, message boxes to standard error (a line naming the kind, then
// the text as the box breaks it), the syntax to standard output. The activity line
// is drawn, and rewritten in place, only when standard error is a terminal. Input
// boxes read one line from standard input, a password unechoed on a terminal.

#include <iosfwd>
#include <map>
#include <string>

#include "ui/front_end.h"
#include "ui/run_outcome.h"

namespace quillet {

// Text with CR LF, a lone CR or a lone LF between its lines, as a terminal's lines.
std::string AsConsoleLines(const std::string& text);

// A count of bytes as a person reads it: "512 B", "1.5 KiB", "2.0 GiB".
std::string ReadableBytes(std::uint64_t bytes);

// A job's summary on one line: "Snapshot Z:\bak\2024-03-05   14.30: 12 files,
// 1.5 MiB in 0.4 s, no failures".
std::string SummaryLine(const JobSummary& summary);

class ConsoleFrontEnd final : public FrontEnd {
public:
    // The streams stand for standard output and error; whether those are
    // terminals is asked of the host.
    ConsoleFrontEnd(std::ostream& out, std::ostream& err);

    void caption_changed(MainLabel label, const std::string& caption) override;
    void refresh_label(MainLabel label) override;
    std::int32_t caption_width(MainLabel label, const std::string& caption) override;
    void message_added(const std::string& text) override;
    void main_window_changed(const MainWindowLayout& layout) override;

    Rect work_area() override;
    bool is_minimised(WindowHandle window) override;
    void restore_window(WindowHandle window) override;
    void set_window_title(WindowHandle window, const std::string& title) override;
    std::optional<std::string> window_title(WindowHandle window) override;
    bool is_loaded(WindowHandle window) override;

    void show_message_box(MsgBoxWindow& box) override;
    void show_fatal_error(const std::string& text) override;
    std::string input_box(const InputBoxRequest& request) override;
    void show_syntax(const std::string& title, const std::string& text) override;

    void beep() override;
    void set_busy(bool busy) override;
    void do_events() override;
    bool shift_held() override;
    void job_counts(std::int64_t files, std::uint64_t bytes) override;
    void job_ended(const JobSummary& summary) override;

    // The run's exit status (RunOutcome); also takes the activity line off the terminal.
    int Finish();

private:
    void write_box(const std::string& kind, const std::string& text);
    void clear_activity();
    void draw_activity();

    std::ostream& out_;
    std::ostream& err_;
    bool err_is_terminal_;
    std::string activity_;
    std::string counts_;  // the job's running counts, drawn before the activity
    bool activity_drawn_ = false;
    RunOutcome outcome_;
    std::map<WindowHandle, std::string> titles_;
};

}  // namespace quillet
