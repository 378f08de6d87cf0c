#include "ui/qt/qt_front_end.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "platform/platform.h"
#include "ui/qt/main_form.h"
#include "ui/qt/msgbox_form.h"
#include "ui/qt/syntax_form.h"
#include "ui/qt/twips.h"
#include "ui/qt/window_style.h"

namespace quillet::qt {

namespace {

// A run whose main window was closed did not finish.
constexpr int kRunNotFinished = 1;
// Events run at most this often: a job lets them run for every file, and drawing
// the window each time costs more than copying a small file.
constexpr qint64 kFrameMilliseconds = 20;

// Ends the process without running anything more of the program: what is written
// so far is flushed, and what the run has half made is deleted, as when it is
// interrupted by a signal.
void end_process(int status) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    platform::end_interrupted_run(status, "the window was closed during a job");
}

// A question or an alert gets the normal pointer while it waits for the user.
class NormalPointerWhileAsking {
public:
    explicit NormalPointerWhileAsking(bool busy) : busy_(busy) {
        if (busy_) QGuiApplication::restoreOverrideCursor();
    }
    ~NormalPointerWhileAsking() {
        if (busy_) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    NormalPointerWhileAsking(const NormalPointerWhileAsking&) = delete;
    NormalPointerWhileAsking& operator=(const NormalPointerWhileAsking&) = delete;

private:
    bool busy_;
};

}  // namespace

QtFrontEnd::QtFrontEnd(MainWindow& model) : end_at_once(end_process), main_(std::make_unique<MainForm>(model)) {
    // Which windows keep the program alive is decided here, not by Qt.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    main_->on_unload = [this] { main_unloaded(); };
}

QtFrontEnd::~QtFrontEnd() {
    if (busy_) QGuiApplication::restoreOverrideCursor();
}

void QtFrontEnd::caption_changed(MainLabel label, const std::string& caption) { main_->SetCaption(label, caption); }

void QtFrontEnd::refresh_label(MainLabel label) { main_->RefreshLabel(label); }

std::int32_t QtFrontEnd::caption_width(MainLabel label, const std::string& caption) {
    return main_->CaptionWidth(label, caption);
}

void QtFrontEnd::message_added(const std::string& text) {
    main_->AddRow(text);
    outcome_.note_failure();
}

void QtFrontEnd::main_window_changed(const MainWindowLayout& layout) {
    main_->ApplyLayout(layout);
    // The window shows as soon as start-up has laid it out for the first time.
    if (main_loaded_ && !main_shown_) {
        main_shown_ = true;
        main_->ShowDrawn();
    }
}

// In the pixels of the models' design, as they place their windows: the windows
// are drawn larger, by WindowScale, with the desktop's font.
Rect QtFrontEnd::work_area() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return Rect{0, 0, 1024, 738};
    const QRect area = screen->availableGeometry();
    const double scale = WindowScale();
    const auto design = [scale](int pixels) { return static_cast<std::int32_t>(pixels / scale); };
    return Rect{design(area.left()), design(area.top()), design(area.left() + area.width()),
                design(area.top() + area.height())};
}

QWidget* QtFrontEnd::window(WindowHandle handle) const {
    switch (handle) {
        case kForegroundWindow:
            if (QWidget* active = QApplication::activeWindow()) return active;
            if (main_loaded_) return main_.get();
            return Syntax();
        case kMainWindow:
            return main_loaded_ ? main_.get() : nullptr;
        case kMsgBoxWindow:
            return box_;
        case kSyntaxWindow:
            return Syntax();
        default:
            return nullptr;  // the About window: nothing opens it
    }
}

SyntaxForm* QtFrontEnd::Syntax() const { return syntax_loaded_ ? syntax_.get() : nullptr; }

bool QtFrontEnd::is_minimised(WindowHandle handle) {
    const QWidget* widget = window(handle);
    return widget != nullptr && widget->isMinimized();
}

void QtFrontEnd::restore_window(WindowHandle handle) {
    if (QWidget* widget = window(handle)) widget->showNormal();
}

void QtFrontEnd::set_window_title(WindowHandle handle, const std::string& title) {
    if (QWidget* widget = window(handle)) widget->setWindowTitle(QString::fromStdString(title));
}

std::optional<std::string> QtFrontEnd::window_title(WindowHandle handle) {
    const QWidget* widget = window(handle);
    if (widget == nullptr) return std::nullopt;
    return widget->windowTitle().toStdString();
}

bool QtFrontEnd::is_loaded(WindowHandle handle) {
    if (handle == kForegroundWindow) return false;
    return window(handle) != nullptr;
}

QWidget* QtFrontEnd::owner_for_dialogs() const {
    if (main_loaded_ && main_->isVisible()) return main_.get();
    return Syntax();
}

void QtFrontEnd::show_message_box(MsgBoxWindow& box) {
    outcome_.note_failure();
    // A box may open over another (one that could not be printed says so).
    MsgBoxForm* const under = box_;
    MsgBoxForm form(box, under != nullptr ? under : owner_for_dialogs());
    box_ = &form;
    form.exec();
    box_ = under;
}

void QtFrontEnd::show_fatal_error(const std::string& text) {
    outcome_.note_failure();
    const NormalPointerWhileAsking pointer(busy_);
    QMessageBox alert(QMessageBox::Critical, QString(), WidgetText(text), QMessageBox::Ok, owner_for_dialogs());
    alert.exec();
}

std::string QtFrontEnd::input_box(const InputBoxRequest& request) {
    const NormalPointerWhileAsking pointer(busy_);
    QInputDialog dialog(owner_for_dialogs());
    dialog.setObjectName("InputBox");
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(QString::fromStdString(request.title));
    dialog.setLabelText(WidgetText(request.prompt));
    dialog.setTextValue(QString::fromStdString(request.default_text));
    dialog.setTextEchoMode(request.password ? QLineEdit::Password : QLineEdit::Normal);
    if (dialog.exec() != QDialog::Accepted) return {};  // Cancel
    return dialog.textValue().toStdString();
}

void QtFrontEnd::show_syntax(const std::string& title, const std::string& text) {
    if (!syntax_) {
        syntax_ = std::make_unique<SyntaxForm>();
        syntax_->on_unload = [this] { syntax_unloaded(); };
    }
    syntax_loaded_ = true;
    outcome_.note_syntax();
    syntax_->Show(title, text);
}

void QtFrontEnd::beep() { QApplication::beep(); }

void QtFrontEnd::set_busy(bool busy) {
    if (busy == busy_) return;
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
    busy_ = busy;
}

void QtFrontEnd::do_events() {
    if (since_events_ran_.isValid() && !since_events_ran_.hasExpired(kFrameMilliseconds)) return;
    draw_now();
}

void QtFrontEnd::draw_now() {
    main_->PlacePendingLabels();  // else they would be drawn only when events run again
    QCoreApplication::processEvents();
    since_events_ran_.start();
}

bool QtFrontEnd::shift_held() {
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

void QtFrontEnd::main_unloaded() {
    main_loaded_ = false;
    // Closing it ends a run, as an interruption would, whatever else is open: the
    // run's rows would have nowhere to go.
    if (!run_finished_) {
        end_at_once(kRunNotFinished);
        return;
    }
    if (syntax_loaded_) return;  // the syntax window keeps the program alive
    QCoreApplication::quit();
}

void QtFrontEnd::syntax_unloaded() {
    syntax_loaded_ = false;
    if (run_finished_ && !main_loaded_) QCoreApplication::quit();
}

int QtFrontEnd::Finish(bool main_window_stays) {
    run_finished_ = true;
    if (!main_window_stays && main_loaded_) {
        main_loaded_ = false;
        main_->hide();
    }
    if (main_loaded_ || syntax_loaded_) QApplication::exec();
    return exit_status();
}

int QtFrontEnd::exit_status() const { return outcome_.exit_status(); }

}  // namespace quillet::qt
