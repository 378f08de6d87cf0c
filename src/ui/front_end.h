#pragma once
// What the program asks of its windows. One front end serves a run (the window
// front end, or the console front end for terminals, cron and tests); the program
// installs it at start-up and every window-side routine goes through it.

#include <cstdint>
#include <optional>
#include <string>

#include "ui/geometry.h"
#include "ui/windows.h"

namespace quillet {

struct MainWindowLayout;
class MsgBoxWindow;

// The two labels of the main window whose captions change while jobs run.
enum class MainLabel { lblDisplay, lblSizingMsg };

// What one job did, for its closing word: where its files went ("snapshot
// Z:\...", "archive Z:\....zip" or "no snapshot"), how many, how long it took and
// how many failures it showed.
struct JobSummary {
    std::string destination;
    std::int64_t files = 0;
    std::uint64_t bytes = 0;
    double seconds = 0;
    std::int64_t failures = 0;
};

struct InputBoxRequest {
    std::string prompt;
    std::string title;
    std::string default_text;
    bool password = false;  // the answer is not shown while it is typed
};

class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    // The main window. Captions and layout come from its model (MainWindow).
    virtual void caption_changed(MainLabel label, const std::string& caption) = 0;
    virtual void refresh_label(MainLabel label) = 0;
    // The width in twips that the label needs to show the caption on one line
    // per line break, as a label that sizes itself to its text.
    virtual std::int32_t caption_width(MainLabel label, const std::string& caption) = 0;
    virtual void message_added(const std::string& text) = 0;
    virtual void main_window_changed(const MainWindowLayout& layout) = 0;

    // Windows in general. Handles always name a window (NamesAWindow); one of
    // kForegroundWindow means the window in the foreground now.
    virtual Rect work_area() = 0;  // the desktop less the task bar, in pixels
    virtual bool is_minimised(WindowHandle window) = 0;
    virtual void restore_window(WindowHandle window) = 0;
    virtual void set_window_title(WindowHandle window, const std::string& title) = 0;
    // Empty when there is no such window.
    virtual std::optional<std::string> window_title(WindowHandle window) = 0;
    virtual bool is_loaded(WindowHandle window) = 0;

    // Returns when the box is closed, by OK or by its countdown.
    virtual void show_message_box(MsgBoxWindow& box) = 0;
    // The system's own box, critical icon, no title: the last resort of the error
    // reporter when reporting itself failed.
    virtual void show_fatal_error(const std::string& text) = 0;
    // The answer typed; Cancel gives an empty text.
    virtual std::string input_box(const InputBoxRequest& request) = 0;
    // Shows the syntax window without waiting for it.
    virtual void show_syntax(const std::string& title, const std::string& text) = 0;

    virtual void beep() = 0;
    virtual void set_busy(bool busy) = 0;
    // Lets pending window events run; a front end may leave them for a later call
    // that comes soon.
    virtual void do_events() = 0;
    // Lets them run now: the program is about to work for long without a call.
    virtual void draw_now() { do_events(); }
    virtual bool shift_held() = 0;

    // A job's running counts, after each file it has put in place, and its summary
    // when it has ended. A front end that shows neither ignores them.
    virtual void job_counts(std::int64_t /*files*/, std::uint64_t /*bytes*/) {}
    virtual void job_ended(const JobSummary& /*summary*/) {}
};

// The front end in use. Until one is installed, a silent one that shows nothing
// and answers every question with Cancel.
FrontEnd& front_end();
// Installs a front end, or the silent one again for null. The caller keeps it alive.
void set_front_end(FrontEnd* front_end);

// Lets pending window events run: long work calls it between its steps.
inline void DoEvents() { front_end().do_events(); }

// Installs a front end for a scope and puts the previous one back.
class FrontEndScope {
public:
    explicit FrontEndScope(FrontEnd& front_end);
    ~FrontEndScope();
    FrontEndScope(const FrontEndScope&) = delete;
    FrontEndScope& operator=(const FrontEndScope&) = delete;

private:
    FrontEnd* previous_;
};

}  // namespace quillet
