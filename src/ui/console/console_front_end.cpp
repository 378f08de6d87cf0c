#include "ui/console/console_front_end.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <ostream>

#include "platform/platform.h"
#include "text/line_breaks.h"
#include "text/unicode.h"
#include "ui/models/msgbox_window.h"

namespace quillet {

namespace {

// A caption's width when it is only text on a terminal: a character of the
// window's usual font is about six pixels wide.
constexpr std::int32_t kTwipsPerCharacter = 90;

// Clears from the cursor to the end of the terminal line.
constexpr const char* kClearToEndOfLine = "\x1b[K";

}  // namespace

std::string AsConsoleLines(const std::string& text) { return PlainLines(text, '\n'); }

std::string ReadableBytes(std::uint64_t bytes) {
    constexpr const char* kUnits[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    if (bytes < 1024) return std::to_string(bytes) + " B";
    double amount = static_cast<double>(bytes);
    std::size_t unit = 0;
    while (amount >= 1024 && unit + 1 < std::size(kUnits)) {
        amount /= 1024;
        ++unit;
    }
    char text[32] = {};
    std::snprintf(text, sizeof text, "%.1f %s", amount, kUnits[unit]);
    return text;
}

std::string SummaryLine(const JobSummary& summary) {
    std::string line = summary.destination;
    if (!line.empty()) line[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(line[0])));
    char seconds[32] = {};
    std::snprintf(seconds, sizeof seconds, "%.1f s", summary.seconds);
    line += ": " + std::to_string(summary.files) + (summary.files == 1 ? " file, " : " files, ") +
            ReadableBytes(summary.bytes) + " in " + seconds + ", ";
    if (summary.failures == 0) return line + "no failures";
    return line + std::to_string(summary.failures) + (summary.failures == 1 ? " failure" : " failures");
}

namespace {

std::string kind_name(MsgBoxIcon icon) {
    switch (icon) {
        case MsgBoxIcon::critical:
            return "Error";
        case MsgBoxIcon::exclamation:
            return "Warning";
        case MsgBoxIcon::information:
        case MsgBoxIcon::none:
            break;
    }
    return "Information";
}

// The text cut to fit one terminal line, so that rewriting it in place works.
std::string fitted_to_terminal(const std::string& text) {
    const auto columns = platform::terminal_columns();
    const std::u32string chars = unicode::decode(text);
    if (!columns || chars.size() < static_cast<std::size_t>(*columns)) return text;
    return unicode::encode(std::u32string_view(chars).substr(0, static_cast<std::size_t>(std::max(*columns - 1, 0))));
}

}  // namespace

ConsoleFrontEnd::ConsoleFrontEnd(std::ostream& out, std::ostream& err)
    : out_(out), err_(err), err_is_terminal_(platform::is_terminal(platform::StandardStream::error)) {}

void ConsoleFrontEnd::caption_changed(MainLabel label, const std::string& caption) {
    // Without a terminal the activity is never drawn, so it is not even kept.
    if (label != MainLabel::lblDisplay || !err_is_terminal_) return;
    activity_ = caption;
    draw_activity();
}

void ConsoleFrontEnd::refresh_label(MainLabel) {}

std::int32_t ConsoleFrontEnd::caption_width(MainLabel, const std::string& caption) {
    // Captions that are never drawn take no room, and are asked for with every file.
    if (!err_is_terminal_) return 0;
    std::size_t widest = 0;
    std::size_t start = 0;
    const std::string lines = AsConsoleLines(caption);
    for (;;) {
        const std::size_t end = lines.find('\n', start);
        widest = std::max(widest, unicode::length(std::string_view(lines).substr(start, end - start)));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return static_cast<std::int32_t>(widest) * kTwipsPerCharacter;
}

void ConsoleFrontEnd::message_added(const std::string& text) {
    clear_activity();
    out_ << PlainLines(text, ' ') << '\n' << std::flush;
    outcome_.note_failure();
    draw_activity();
}

void ConsoleFrontEnd::main_window_changed(const MainWindowLayout&) {}

Rect ConsoleFrontEnd::work_area() { return Rect{0, 0, 1024, 738}; }

bool ConsoleFrontEnd::is_minimised(WindowHandle) { return false; }

void ConsoleFrontEnd::restore_window(WindowHandle) {}

void ConsoleFrontEnd::set_window_title(WindowHandle window, const std::string& title) {
    titles_[window == kForegroundWindow ? kMainWindow : window] = title;
}

std::optional<std::string> ConsoleFrontEnd::window_title(WindowHandle window) {
    const auto found = titles_.find(window == kForegroundWindow ? kMainWindow : window);
    if (found == titles_.end()) return std::nullopt;
    return found->second;
}

bool ConsoleFrontEnd::is_loaded(WindowHandle window) {
    return window == kMainWindow || (window == kSyntaxWindow && outcome_.syntax_shown());
}

void ConsoleFrontEnd::show_message_box(MsgBoxWindow& box) {
    write_box(kind_name(box.Icon()), box.Text());
    outcome_.note_failure();
    box.PressOk();  // nobody is there to answer it
}

void ConsoleFrontEnd::show_fatal_error(const std::string& text) {
    write_box("Error", text);
    outcome_.note_failure();
}

void ConsoleFrontEnd::write_box(const std::string& kind, const std::string& text) {
    clear_activity();
    err_ << kind << '\n' << AsConsoleLines(text) << '\n' << std::flush;
    draw_activity();
}

std::string ConsoleFrontEnd::input_box(const InputBoxRequest& request) {
    clear_activity();
    std::string prompt = request.prompt;
    if (!request.default_text.empty() && !request.password) prompt += " [" + request.default_text + ']';
    prompt += ": ";
    // Asked on standard error at a terminal; else on the terminal typed at, the
    // messages going to a file.
    const bool typed = platform::is_terminal(platform::StandardStream::input);
    const auto show = [&](const std::string& text) {
        if (err_is_terminal_) {
            err_ << text << std::flush;
        } else if (typed) {
            platform::show_at_input_terminal(text);
        }
    };
    show(prompt);
    const auto line = platform::read_input_line(request.password);
    if (request.password && typed) show("\n");  // the Enter key was not echoed either
    draw_activity();
    if (!line) return {};  // end of input is Cancel
    // An empty line keeps the text the box would have offered.
    return line->empty() ? request.default_text : *line;
}

void ConsoleFrontEnd::show_syntax(const std::string&, const std::string& text) {
    clear_activity();
    out_ << AsConsoleLines(text) << '\n' << std::flush;
    outcome_.note_syntax();
    draw_activity();
}

void ConsoleFrontEnd::beep() {
    if (err_is_terminal_) err_ << '\a' << std::flush;
}

void ConsoleFrontEnd::set_busy(bool) {}

void ConsoleFrontEnd::do_events() {}

bool ConsoleFrontEnd::shift_held() { return platform::environment_variable("QUILLET_SHIFT") == "1"; }

int ConsoleFrontEnd::Finish() {
    clear_activity();
    activity_.clear();
    return outcome_.exit_status();
}

// Drawn only where the activity line is: on a terminal.
void ConsoleFrontEnd::job_counts(std::int64_t files, std::uint64_t bytes) {
    if (!err_is_terminal_) return;
    counts_ = "[" + std::to_string(files) + (files == 1 ? " file, " : " files, ") + ReadableBytes(bytes) + "] ";
    draw_activity();
}

// The job's activity is over with it; the summary stays on the terminal.
void ConsoleFrontEnd::job_ended(const JobSummary& summary) {
    counts_.clear();
    if (!err_is_terminal_) return;
    clear_activity();
    activity_.clear();
    err_ << PlainLines(SummaryLine(summary), ' ') << '\n' << std::flush;
}

void ConsoleFrontEnd::clear_activity() {
    if (!activity_drawn_) return;
    err_ << '\r' << kClearToEndOfLine << std::flush;
    activity_drawn_ = false;
}

void ConsoleFrontEnd::draw_activity() {
    if (!err_is_terminal_ || activity_.empty()) return;
    err_ << '\r' << fitted_to_terminal(counts_ + PlainLines(activity_, ' ')) << kClearToEndOfLine << std::flush;
    activity_drawn_ = true;
}

}  // namespace quillet
