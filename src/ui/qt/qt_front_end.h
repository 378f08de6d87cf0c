#pragma once
// The window front end: frmMain, frmMsgBox, frmSyntaxMsg and the input boxes as
// Qt widgets, laid out by the window models. Needs a QApplication.

#include <QElapsedTimer>
#include <functional>
#include <memory>

#include "ui/front_end.h"
#include "ui/models/main_window.h"
#include "ui/run_outcome.h"

class QWidget;

namespace quillet::qt {

class MainForm;
class MsgBoxForm;
class SyntaxForm;

class QtFrontEnd final : public FrontEnd {
public:
    explicit QtFrontEnd(MainWindow& model = frmMain);
    ~QtFrontEnd() override;
    QtFrontEnd(const QtFrontEnd&) = delete;
    QtFrontEnd& operator=(const QtFrontEnd&) = delete;

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
    void draw_now() override;
    bool shift_held() override;

    // The run is over: the main window stays open to show what went wrong, or it
    // unloads. The windows left then live until the last of them is closed.
    // Returns the run's exit status (RunOutcome), as the console front end gives it.
    int Finish(bool main_window_stays);

    MainForm& Main() const { return *main_; }
    // Null while the window is not loaded.
    SyntaxForm* Syntax() const;
    MsgBoxForm* OpenBox() const { return box_; }

    // Ends the program there and then, with that exit status: the main window was
    // closed while jobs ran and no syntax window keeps the program alive.
    std::function<void(int)> end_at_once;

private:
    QWidget* window(WindowHandle handle) const;
    QWidget* owner_for_dialogs() const;
    void main_unloaded();
    void syntax_unloaded();
    int exit_status() const;

    std::unique_ptr<MainForm> main_;
    std::unique_ptr<SyntaxForm> syntax_;
    MsgBoxForm* box_ = nullptr;
    bool main_loaded_ = true;
    bool main_shown_ = false;
    bool syntax_loaded_ = false;
    bool run_finished_ = false;
    RunOutcome outcome_;
    bool busy_ = false;
    QElapsedTimer since_events_ran_;
};

}  // namespace quillet::qt
