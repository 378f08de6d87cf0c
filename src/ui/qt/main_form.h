#pragma once
// frmMain as a window: the activity line, the latest message, the message list
// and the copyright strip, placed where the model lays them out. The user's
// resizing goes to the model, whose layout then puts the size back.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "ui/front_end.h"
#include "ui/models/main_window.h"
#include "ui/models/main_window_layout.h"

class QLabel;

namespace quillet::qt {

class MessageList;
class CopyrightPicture;

class MainForm : public QWidget {
    Q_OBJECT
public:
    explicit MainForm(MainWindow& model);

    void ApplyLayout(const MainWindowLayout& layout);
    void SetCaption(MainLabel which, const std::string& caption);
    void RefreshLabel(MainLabel which);
    // The twips a label sizing itself to the caption takes: its longest line.
    std::int32_t CaptionWidth(MainLabel which, const std::string& caption) const;
    void AddRow(const std::string& text);
    // Shows the window and returns once it is on the screen and drawn.
    void ShowDrawn();

    // The client area that the model's outer window size leaves inside its border
    // and title bar.
    static QSize ClientSize(const TwipRect& window);

    // A label as it is shown once events have run: its text and place.
    QLabel& Label(MainLabel which);
    // Places the labels whose caption or layout changed now rather than when
    // events next run, so that the next drawing shows them.
    void PlacePendingLabels();
    MessageList& Messages() const { return *lvwMessages_; }
    CopyrightPicture& Copyright() const { return *imgCopyright_; }

    // Told when the window is closed by the user or by the program: it unloads.
    std::function<void()> on_unload;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel& label_widget(MainLabel which) const;
    void place_when_events_run(MainLabel which);
    void place_label(MainLabel which);
    QSize available_client_size() const;
    static QString fitted_text(const QLabel& label, const QString& text, int width);

    MainWindow& model_;
    MainWindowLayout layout_;
    bool applying_ = false;
    QString captions_[2];  // as the program set them, lines and all
    bool placement_pending_[2] = {false, false};
    bool placement_posted_ = false;
    QLabel* lblDisplay_;
    QLabel* lblSizingMsg_;
    MessageList* lvwMessages_;
    QLabel* lblCopyrightBG_;
    QLabel* lblCopyright_;
    CopyrightPicture* imgCopyright_;
};

}  // namespace quillet::qt
