#include "ui/qt/main_form.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "ui/qt/copyright_picture.h"
#include "ui/qt/maker.h"
#include "ui/qt/message_list.h"
#include "ui/qt/twips.h"
#include "ui/qt/window_style.h"

namespace quillet::qt {

namespace {

// The design's client area is 7080 x 1530 twips of its outer 7200 x 1935: the rest
// is the border and the title bar.
constexpr std::int32_t kBorderTwips = kMainDesignWidth - 7080;
constexpr std::int32_t kBorderAndTitleTwips = kMainDesignHeight - 1530;

const QColor kStripColour(0xdd, 0xe3, 0xea);
// Milliseconds a new window may take to reach the screen.
constexpr qint64 kLongestWaitForScreen = 2000;

QLabel* make_label(QWidget* parent, const char* name, Qt::Alignment alignment) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment);
    return label;
}

}  // namespace

MainForm::MainForm(MainWindow& model) : model_(model) {
    setObjectName("frmMain");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(ProgramIcon());
    setFont(WindowFont());

    lblCopyrightBG_ = make_label(this, "lblCopyrightBG", Qt::AlignCenter);
    lblCopyrightBG_->setAutoFillBackground(true);
    QPalette strip = lblCopyrightBG_->palette();
    strip.setColor(QPalette::Window, kStripColour);
    lblCopyrightBG_->setPalette(strip);
    lblCopyright_ = make_label(this, "lblCopyright", Qt::AlignCenter);
    lblCopyright_->setText(QString::fromUtf8(kCopyrightLine));
    imgCopyright_ = new CopyrightPicture(this, kStripColour);

    lblDisplay_ = make_label(this, "lblDisplay", Qt::AlignHCenter | Qt::AlignTop);
    lblSizingMsg_ = make_label(this, "lblSizingMsg", Qt::AlignHCenter | Qt::AlignTop);
    // It only measures the latest message for the window's width; the list shows
    // the message itself.
    lblSizingMsg_->hide();
    lvwMessages_ = new MessageList(this);

    ApplyLayout(model_.Layout());
}

QSize MainForm::ClientSize(const TwipRect& window) {
    return QSize(ToPixels(window.width - kBorderTwips), ToPixels(window.height - kBorderAndTitleTwips));
}

QLabel& MainForm::label_widget(MainLabel which) const {
    return which == MainLabel::lblDisplay ? *lblDisplay_ : *lblSizingMsg_;
}

QLabel& MainForm::Label(MainLabel which) {
    PlacePendingLabels();
    return label_widget(which);
}

void MainForm::ApplyLayout(const MainWindowLayout& layout) {
    layout_ = layout;
    applying_ = true;
    move(ToPixels(layout.window.left), ToPixels(layout.window.top));
    resize(ClientSize(layout.window).boundedTo(available_client_size()));
    place_when_events_run(MainLabel::lblDisplay);
    place_when_events_run(MainLabel::lblSizingMsg);
    lvwMessages_->setGeometry(ToPixels(layout.lvwMessages));
    lvwMessages_->setVisible(layout.list_visible);
    lblCopyrightBG_->setGeometry(ToPixels(layout.lblCopyrightBG));
    lblCopyright_->setGeometry(ToPixels(layout.lblCopyright));
    imgCopyright_->setGeometry(ToPixels(layout.imgCopyright));
    applying_ = false;
}

// The client area the screen's work area leaves room for, frame and title bar
// included: a window taller than that would hide its foot.
QSize MainForm::available_client_size() const {
    const QScreen* shown_on = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (shown_on == nullptr) return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QSize area = shown_on->availableGeometry().size();
    return QSize(area.width() - ToPixels(kBorderTwips), area.height() - ToPixels(kBorderAndTitleTwips));
}

// A line wider than the window loses its beginning, not its end: the end of a
// path is the file's name.
QString MainForm::fitted_text(const QLabel& label, const QString& text, int width) {
    const QFontMetrics metrics(label.font());
    QStringList lines = text.split(QChar('\n'));
    for (QString& line : lines) line = metrics.elidedText(line, Qt::ElideLeft, width);
    return lines.join(QChar('\n'));
}

// A job changes the labels for every file, and laying out their text costs more
// than copying a small file: they are placed once, when events next run.
void MainForm::place_when_events_run(MainLabel which) {
    placement_pending_[static_cast<int>(which)] = true;
    if (placement_posted_) return;
    placement_posted_ = true;
    QMetaObject::invokeMethod(this, &MainForm::PlacePendingLabels, Qt::QueuedConnection);
}

void MainForm::PlacePendingLabels() {
    placement_posted_ = false;
    for (const MainLabel which : {MainLabel::lblDisplay, MainLabel::lblSizingMsg}) {
        bool& pending = placement_pending_[static_cast<int>(which)];
        if (pending) place_label(which);
        pending = false;
    }
}

// A label that sizes itself to its text keeps the model's place and width but is
// as high as its lines need.
void MainForm::place_label(MainLabel which) {
    QLabel& label = label_widget(which);
    QRect rect = ToPixels(which == MainLabel::lblDisplay ? layout_.lblDisplay : layout_.lblSizingMsg);
    rect.setWidth(std::min(rect.width(), width()));
    label.setText(fitted_text(label, captions_[static_cast<int>(which)], rect.width()));
    rect.setHeight(std::max(rect.height(), label.sizeHint().height()));
    label.setGeometry(rect);
}

void MainForm::SetCaption(MainLabel which, const std::string& caption) {
    captions_[static_cast<int>(which)] = WidgetText(caption);
    place_when_events_run(which);
}

void MainForm::ShowDrawn() {
    PlacePendingLabels();
    show();
    // A window manager maps a new window in its own time. One hidden again before
    // then could still be mapped by it and stay there unpainted; so the window is
    // drawn once it is on the screen, before the program goes on.
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() != nullptr && !windowHandle()->isExposed() && waited.elapsed() < kLongestWaitForScreen) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    repaint();
}

// Drawn when events next run, as every change of the window is.
void MainForm::RefreshLabel(MainLabel which) { place_when_events_run(which); }

std::int32_t MainForm::CaptionWidth(MainLabel which, const std::string& caption) const {
    const QFontMetrics metrics(label_widget(which).font());
    int widest = 0;
    for (const QString& line : WidgetText(caption).split(QChar('\n'))) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    return ToTwips(widest);
}

void MainForm::AddRow(const std::string& text) { lvwMessages_->AddRow(text); }

void MainForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (applying_ || event->size() == ClientSize(layout_.window)) return;
    // The user changed the size: the model puts it back and publishes its layout.
    model_.Form_Resize(ToTwips(event->size().width()) + kBorderTwips,
                       ToTwips(event->size().height()) + kBorderAndTitleTwips);
}

void MainForm::closeEvent(QCloseEvent* event) {
    event->accept();
    if (on_unload) on_unload();
}

}  // namespace quillet::qt
