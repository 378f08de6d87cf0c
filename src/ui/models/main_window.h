#pragma once
// frmMain's window side: the activity labels, the message list and the window's
// geometry. The jobs report through it; the front end draws what it lays out and
// hands it the user's resizing.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/display.h"
#include "ui/front_end.h"
#include "ui/models/main_window_layout.h"

namespace quillet {

class MainWindow : public lib_basDisplay::Form {
public:
    void SetLabelCaption(MainLabel label, const std::string& caption);
    const std::string& LabelCaption(MainLabel label) const;
    void RefreshLabel(MainLabel label);
    // Blanks lblSizingMsg, which holds the latest message row, so that the window's
    // width follows the activity line again.
    void ClearSizingMessage();
    // The window's own title, such as the phase of the job ("Copying...").
    void SetWindowCaption(const std::string& title);

    // Prepares the empty, hidden message list; once, before the first job.
    void MessagesInit();
    // Start-up's layout: the design height kept, the width fitted to the empty
    // labels, the list prepared; publishing it shows the window.
    void LayOutAtStartUp();
    // Adds one row, and logs it to the system log. Any row means the run had
    // failures. Passwords in command line text it quotes read "***".
    void AddMessage(const std::string& row);
    // Refits the window's width to the activity labels.
    void FitWindowToMessage(bool always, bool force);
    // The window now has this outer size (the user dragged its border): the size
    // snaps back to the one the window is meant to have.
    void Form_Resize(std::int32_t width, std::int32_t height);

    // The height the window is meant to have, in twips.
    std::int32_t WindowHeight() const { return window_height_; }
    void SetWindowHeight(std::int32_t height) { window_height_ = height; }
    // The outer height it has now.
    std::int32_t Height() const { return layout_.window.height; }
    bool Resizing() const { return resizing_; }
    bool ListVisible() const { return layout_.list_visible; }
    const std::vector<std::string>& Messages() const { return messages_; }
    const MainWindowLayout& Layout() const { return layout_; }

    Rect WindowRect() const override;
    void MoveWindow(const Rect& rect) override;

private:
    struct Label {
        std::string caption;
        // The label sizes itself to its text. Captions change several times for
        // every file, so the width is measured only when the window is fitted.
        std::optional<std::int32_t> text_width;
    };
    Label& label(MainLabel which);
    const Label& label(MainLabel which) const;
    std::int32_t text_width(MainLabel which);
    void publish_layout();
    void lay_out_for_width(std::int32_t width);

    Label display_;
    Label sizing_;
    std::vector<std::string> messages_;
    MainWindowLayout layout_;
    std::int32_t window_height_ = kMainDesignHeight;
    bool resizing_ = false;
};

// The program's main window.
extern MainWindow frmMain;

}  // namespace quillet
