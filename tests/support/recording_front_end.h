#pragma once
// A front end for tests: it records what the program asks of its windows and
// answers from what the test set up.

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "text/unicode.h"
#include "ui/front_end.h"
#include "ui/models/main_window_layout.h"
#include "ui/models/msgbox_window.h"

namespace quillet::testing {

struct ShownBox {
    MsgBoxIcon icon;
    std::string title;
    std::string text;
    bool busy_while_up;
};

class RecordingFrontEnd : public FrontEnd {
public:
    std::set<WindowHandle> minimised;
    std::set<WindowHandle> loaded;
    // Runs when a box is shown, to close it as a user would, or to fail.
    std::function<void(MsgBoxWindow&)> on_box;
    // Runs when the main window's layout changes, as a window system's resize would.
    std::function<void(const MainWindowLayout&)> on_layout;
    // Runs when window events are let run, as whatever else goes on meanwhile would.
    std::function<void()> on_events;

    std::vector<std::string> events;  // in order, for tests of sequence
    std::map<MainLabel, std::string> captions;
    std::vector<std::string> rows;
    std::vector<MainWindowLayout> layouts;
    std::vector<ShownBox> boxes;
    std::map<WindowHandle, std::string> titles;
    std::vector<InputBoxRequest> questions;
    std::vector<std::string> fatal_errors;
    std::string syntax_text;
    int beeps = 0;
    bool busy = false;

    void caption_changed(MainLabel label, const std::string& caption) override {
        captions[label] = caption;
        events.push_back((label == MainLabel::lblDisplay ? "lblDisplay=" : "lblSizingMsg=") + caption);
    }
    void refresh_label(MainLabel) override { events.push_back("refresh"); }
    std::int32_t caption_width(MainLabel, const std::string& caption) override {
        std::size_t widest = 0;
        for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 2) {
            end = caption.find("\r\n", start);
            widest = std::max(widest, unicode::length(caption.substr(start, end - start)));
        }
        return static_cast<std::int32_t>(widest) * 100;  // twips a character
    }
    void message_added(const std::string& text) override {
        rows.push_back(text);
        events.push_back("row=" + text);
    }
    void main_window_changed(const MainWindowLayout& layout) override {
        layouts.push_back(layout);
        if (on_layout) on_layout(layout);
    }
    Rect work_area() override { return Rect{0, 0, 1024, 738}; }
    bool is_minimised(WindowHandle window) override { return minimised.contains(window); }
    void restore_window(WindowHandle window) override {
        minimised.erase(window);
        events.push_back("restore");
    }
    void set_window_title(WindowHandle window, const std::string& title) override { titles[window] = title; }
    std::optional<std::string> window_title(WindowHandle window) override {
        return titles.contains(window) ? std::optional(titles[window]) : std::nullopt;
    }
    bool is_loaded(WindowHandle window) override { return loaded.contains(window); }
    void show_message_box(MsgBoxWindow& box) override {
        boxes.push_back(ShownBox{box.Icon(), box.Title(), box.Text(), busy});
        events.push_back("box");
        if (on_box) on_box(box);
    }
    void show_fatal_error(const std::string& text) override { fatal_errors.push_back(text); }
    std::string input_box(const InputBoxRequest& request) override {
        questions.push_back(request);
        return {};  // as Cancel
    }
    void show_syntax(const std::string&, const std::string& text) override {
        syntax_text = text;
        loaded.insert(kSyntaxWindow);
    }
    void beep() override {
        ++beeps;
        events.push_back("beep");
    }
    void set_busy(bool value) override { busy = value; }
    void do_events() override {
        events.push_back("events");
        if (on_events) on_events();
    }
    bool shift_held() override { return false; }
    void job_ended(const JobSummary& summary) override { summaries.push_back(summary); }

    std::vector<JobSummary> summaries;
};

}  // namespace quillet::testing
