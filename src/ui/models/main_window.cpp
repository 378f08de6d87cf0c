#include "ui/models/main_window.h"

#include <algorithm>

#include "platform/platform.h"
#include "text/password_masking.h"
#include "ui/failure_log.h"
#include "ui/models/min_max.h"

namespace quillet {

MainWindow frmMain;

namespace {

// Space between the copyright strip and the list below it.
constexpr std::int32_t kListGap = 20;
// The window is this much wider than its widest label; the list is narrower.
constexpr std::int32_t kLabelMargin = 500;
constexpr std::int32_t kListInset = 100;

}  // namespace

MainWindow::Label& MainWindow::label(MainLabel which) {
    return which == MainLabel::lblDisplay ? display_ : sizing_;
}

const MainWindow::Label& MainWindow::label(MainLabel which) const {
    return which == MainLabel::lblDisplay ? display_ : sizing_;
}

void MainWindow::SetLabelCaption(MainLabel which, const std::string& caption) {
    Label& target = label(which);
    target.caption = caption;
    target.text_width.reset();
    front_end().caption_changed(which, caption);
}

std::int32_t MainWindow::text_width(MainLabel which) {
    Label& measured = label(which);
    if (!measured.text_width) measured.text_width = front_end().caption_width(which, measured.caption);
    return *measured.text_width;
}

const std::string& MainWindow::LabelCaption(MainLabel which) const { return label(which).caption; }

void MainWindow::RefreshLabel(MainLabel which) { front_end().refresh_label(which); }

void MainWindow::ClearSizingMessage() {
    // A label that sizes itself to its text measures itself and repaints only when
    // its caption changes. The no-break space first makes the blank a change even
    // when the label was blank already, so the label always shrinks to the blank
    // and the next fit of the window does not keep the width of an old row.
    SetLabelCaption(MainLabel::lblSizingMsg, "\u00A0");
    SetLabelCaption(MainLabel::lblSizingMsg, " ");
}

void MainWindow::SetWindowCaption(const std::string& title) { front_end().set_window_title(kMainWindow, title); }

void MainWindow::MessagesInit() {
    layout_.list_visible = false;
    messages_.clear();
    // The list's single column, without a header text, always fills its width.
    publish_layout();
}

void MainWindow::LayOutAtStartUp() {
    SetWindowHeight(Height());
    FitWindowToMessage(true, false);
    MessagesInit();
}

void MainWindow::AddMessage(const std::string& row) {
    // A row may quote command line text; its passwords show nowhere.
    const std::string text = MaskPasswords(row);
    LogShownFailure(platform::Severity::error, text);
    SetLabelCaption(MainLabel::lblSizingMsg, text);
    messages_.push_back(text);
    front_end().message_added(text);

    layout_.lvwMessages.top = layout_.lblCopyright.bottom() + kListGap;
    const auto rows = static_cast<std::int32_t>(messages_.size());
    if (rows <= kMessageRowsShown) {
        layout_.lvwMessages.height = rows * kMessageRowHeight;
        window_height_ += kMessageRowHeight;
        resizing_ = true;
        layout_.window.height += kMessageRowHeight;
        resizing_ = false;
    }
    layout_.list_visible = true;
    lib_basDisplay::lib_CentreForm(*this, 4, 2);
    publish_layout();
}

void MainWindow::FitWindowToMessage(bool always, bool force) {
    if (!force && resizing_) return;
    resizing_ = true;
    if (!front_end().is_minimised(kMainWindow)) {
        // Never wider than the screen's work area: a longer text shows its end.
        const std::int32_t width =
            std::min(lib_Max(lib_Max(text_width(MainLabel::lblSizingMsg), text_width(MainLabel::lblDisplay)) +
                                 kLabelMargin,
                             kMainMinimumWidth),
                     front_end().work_area().width() * kTwipsPerPixel);
        if (layout_.window.width < width || always || force) {
            layout_.window.width = width;
            lib_basDisplay::lib_CentreForm(*this, 4, 2);
            lay_out_for_width(width);
            publish_layout();
            RefreshLabel(MainLabel::lblDisplay);
        }
    }
    resizing_ = false;
}

void MainWindow::lay_out_for_width(std::int32_t width) {
    layout_.lvwMessages.width = width - kListInset;
    layout_.lblCopyrightBG.width = width;
    layout_.lblSizingMsg.left = 0;
    layout_.lblSizingMsg.width = width;
    layout_.lblDisplay.left = 0;
    layout_.lblDisplay.width = width;
    layout_.lblCopyright.left = (width - layout_.lblCopyright.width) / 2;
    layout_.imgCopyright.left = (width - layout_.imgCopyright.width) / 2;
}

void MainWindow::Form_Resize(std::int32_t width, std::int32_t height) {
    // A minimised window's size says nothing about the size it comes back with.
    const bool minimised = front_end().is_minimised(kMainWindow);
    if (!minimised) {
        layout_.window.width = width;
        layout_.window.height = height;
    }
    if (resizing_) return;
    resizing_ = true;
    if (!minimised && layout_.window.height != window_height_) layout_.window.height = window_height_;
    FitWindowToMessage(false, true);  // the width snaps back too, and the layout is published
    resizing_ = false;
}

Rect MainWindow::WindowRect() const {
    const TwipRect& window = layout_.window;
    const std::int32_t left = window.left / kTwipsPerPixel;
    const std::int32_t top = window.top / kTwipsPerPixel;
    return Rect{left, top, left + window.width / kTwipsPerPixel, top + window.height / kTwipsPerPixel};
}

void MainWindow::MoveWindow(const Rect& rect) {
    // Only the place changes: the size stays exact in twips.
    layout_.window.left = rect.left * kTwipsPerPixel;
    layout_.window.top = rect.top * kTwipsPerPixel;
}

void MainWindow::publish_layout() { front_end().main_window_changed(layout_); }

}  // namespace quillet
