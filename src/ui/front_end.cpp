#include "ui/front_end.h"

namespace quillet {

namespace {

// Shows nothing and answers with Cancel: the state before start-up has chosen a
// front end, and the library's own tests.
class SilentFrontEnd final : public FrontEnd {
public:
    void caption_changed(MainLabel, const std::string&) override {}
    void refresh_label(MainLabel) override {}
    std::int32_t caption_width(MainLabel, const std::string&) override { return 0; }
    void message_added(const std::string&) override {}
    void main_window_changed(const MainWindowLayout&) override {}
    Rect work_area() override { return Rect{0, 0, 1024, 738}; }
    bool is_minimised(WindowHandle) override { return false; }
    void restore_window(WindowHandle) override {}
    void set_window_title(WindowHandle, const std::string&) override {}
    std::optional<std::string> window_title(WindowHandle) override { return std::nullopt; }
    bool is_loaded(WindowHandle) override { return false; }
    void show_message_box(MsgBoxWindow&) override {}
    void show_fatal_error(const std::string&) override {}
    std::string input_box(const InputBoxRequest&) override { return {}; }
    void show_syntax(const std::string&, const std::string&) override {}
    void beep() override {}
    void set_busy(bool) override {}
    void do_events() override {}
    bool shift_held() override { return false; }
};

SilentFrontEnd silent;
FrontEnd* current = &silent;

}  // namespace

FrontEnd& front_end() { return *current; }

void set_front_end(FrontEnd* front_end) { current = front_end != nullptr ? front_end : &silent; }

FrontEndScope::FrontEndScope(FrontEnd& front_end) : previous_(current) { set_front_end(&front_end); }

FrontEndScope::~FrontEndScope() { set_front_end(previous_); }

}  // namespace quillet
