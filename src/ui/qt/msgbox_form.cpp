#include "ui/qt/msgbox_form.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStyle>

#include "ui/msgbox.h"
#include "ui/qt/printing.h"
#include "ui/qt/twips.h"
#include "ui/qt/window_style.h"

namespace quillet::qt {

namespace {

// The icon sits left of the text, level with its first line.
constexpr TwipRect kIconPlace{180, 240, 480, 480};
constexpr int kIconDesignPixels = 32;
constexpr int kOneSecond = 1000;
// Room left of the text inside the box's frame.
constexpr int kTextIndent = 3;

// The text box's lines hold as many characters as the box counts for a line; a
// font wider than that is narrowed to fit.
QFont message_font(const MsgBoxLayout& layout) {
    QFont font = WindowFont();
    const int characters = CharactersPerLine(layout.txtMessage.width);
    const double wanted = static_cast<double>(ToPixels(layout.txtMessage.width) - 2 - kTextIndent) / characters;
    const double average = QFontMetricsF(font).averageCharWidth();
    if (average > wanted) font.setStretch(static_cast<int>(100 * wanted / average));
    return font;
}

// A frame, a small indent and no margins: one line fits a line's height exactly.
class MessageText final : public QPlainTextEdit {
public:
    explicit MessageText(QWidget* parent) : QPlainTextEdit(parent) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        document()->setDocumentMargin(0);
        setViewportMargins(kTextIndent, 0, 0, 0);
    }
};

// A small printer for the Print button, drawn to fit it.
QIcon printer_picture() {
    QPixmap picture(13, 11);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.setBrush(Qt::white);
    painter.drawRect(3, 0, 6, 4);  // paper going in
    painter.setBrush(QColor(0xb8, 0xb8, 0xb8));
    painter.drawRect(0, 4, 12, 4);  // the body
    painter.setBrush(Qt::white);
    painter.drawRect(3, 7, 6, 3);  // paper coming out
    return QIcon(picture);
}

QLabel* make_icon(QWidget* parent, const char* name, QStyle::StandardPixmap which) {
    const int pixels = static_cast<int>(std::lround(kIconDesignPixels * WindowScale()));
    auto* icon = new QLabel(parent);
    icon->setObjectName(name);
    icon->setPixmap(parent->style()->standardIcon(which).pixmap(pixels, pixels));
    icon->setGeometry(QRect(ToPixels(kIconPlace.left), ToPixels(kIconPlace.top), pixels, pixels));
    icon->hide();
    return icon;
}

}  // namespace

MsgBoxForm::MsgBoxForm(MsgBoxWindow& box, QWidget* parent) : QDialog(parent), box_(box) {
    setObjectName("frmMsgBox");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setFont(WindowFont());
    setWindowTitle(QString::fromStdString(box.Title()));
    const MsgBoxLayout& layout = box.Layout();
    setFixedSize(ToPixels(layout.client_width), ToPixels(layout.client_height));

    make_icons();
    if (box.Icon() != MsgBoxIcon::none) Icon(box.Icon()).show();

    txtMessage_ = new MessageText(this);
    txtMessage_->setObjectName("txtMessage");
    txtMessage_->setReadOnly(true);
    txtMessage_->setFont(message_font(layout));
    txtMessage_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    txtMessage_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtMessage_->setFocusPolicy(Qt::ClickFocus);
    txtMessage_->setPlainText(WidgetText(box.Text()));
    txtMessage_->setGeometry(ToPixels(layout.txtMessage));

    cmdOk_ = new QPushButton("Ok", this);
    cmdOk_->setObjectName("cmdOk");
    cmdOk_->setGeometry(ToPixels(layout.cmdOk));
    cmdOk_->setDefault(true);
    connect(cmdOk_, &QPushButton::clicked, this, &MsgBoxForm::PressOk);

    cmdPrint_ = new QPushButton(this);
    cmdPrint_->setObjectName("cmdPrint");
    cmdPrint_->setIcon(printer_picture());
    cmdPrint_->setIconSize(QSize(13, 11));
    cmdPrint_->setToolTip("Print");
    cmdPrint_->setFocusPolicy(Qt::NoFocus);
    cmdPrint_->setGeometry(ToPixels(layout.cmdPrint));
    connect(cmdPrint_, &QPushButton::clicked, this, &MsgBoxForm::Print);

    lblCountDown_ = new QLabel(this);
    lblCountDown_->setObjectName("lblCountDown");
    lblCountDown_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCountDown_->setGeometry(ToPixels(layout.lblCountDown));

    timTimer_.setInterval(kOneSecond);
    connect(&timTimer_, &QTimer::timeout, this, &MsgBoxForm::Tick);
    show_countdown();
    if (box.CountingDown()) timTimer_.start();

    cmdOk_->setFocus();
}

void MsgBoxForm::make_icons() {
    picCritical_ = make_icon(this, "picCritical", QStyle::SP_MessageBoxCritical);
    picExclamation_ = make_icon(this, "picExclamation", QStyle::SP_MessageBoxWarning);
    picInformation_ = make_icon(this, "picInformation", QStyle::SP_MessageBoxInformation);
}

QLabel& MsgBoxForm::Icon(MsgBoxIcon which) const {
    switch (which) {
        case MsgBoxIcon::critical:
            return *picCritical_;
        case MsgBoxIcon::exclamation:
            return *picExclamation_;
        case MsgBoxIcon::information:
        case MsgBoxIcon::none:
            break;
    }
    return *picInformation_;
}

void MsgBoxForm::show_countdown() {
    lblCountDown_->setText(QString::number(box_.CountDown()));
    lblCountDown_->setVisible(box_.CountingDown());
}

void MsgBoxForm::Tick() {
    box_.Tick();
    lblCountDown_->setText(QString::number(box_.CountDown()));
    if (box_.Closed()) {
        timTimer_.stop();
        accept();
    }
}

void MsgBoxForm::PressOk() {
    timTimer_.stop();
    box_.PressOk();
    lblCountDown_->setText("0");
    accept();
}

// The box stays open, printed or not; a print that cannot be made is not passed
// over in silence.
void MsgBoxForm::Print() {
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull()) {
        lib_MsgBoxWarning("This message was not printed: there is no printer to print it on.");
        return;
    }
    if (!PrintOnDefaultPrinter(*this)) {
        lib_MsgBoxWarning("This message was not printed: the printer " + printer.printerName().toStdString() +
                          " could not be used.");
    }
}

void MsgBoxForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) {
        QDialog::keyPressEvent(event);
        return;
    }
    // Esc stops the countdown where it is; the box then waits for Ok.
    box_.PressEscape();
    timTimer_.stop();
    lblCountDown_->hide();
}

// Closing the box from its title bar counts as Ok.
void MsgBoxForm::reject() { PressOk(); }

}  // namespace quillet::qt
