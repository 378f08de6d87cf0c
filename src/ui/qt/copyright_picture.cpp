#include "ui/qt/copyright_picture.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include "ui/models/main_window_layout.h"
#include "ui/qt/maker.h"
#include "ui/qt/twips.h"

namespace quillet::qt {

namespace {

QPixmap draw_mark(const QSize& size, const QColor& strip, const QFont& font, const QColor& ink) {
    QPixmap picture(size);
    picture.fill(strip);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(picture.rect(), Qt::AlignCenter, QString::fromUtf8(kCopyrightLine));
    return picture;
}

}  // namespace

CopyrightPicture::CopyrightPicture(QWidget* parent, const QColor& strip) : QLabel(parent) {
    setObjectName("imgCopyright");
    const QRect designed = ToPixels(MainWindowLayout{}.imgCopyright);
    setPixmap(draw_mark(designed.size(), strip, parent->font(), palette().color(QPalette::Link)));
    setCursor(Qt::PointingHandCursor);
    setToolTip(QString::fromUtf8(kWebAddress));
}

QUrl CopyrightPicture::WebAddress() { return QUrl(QString("https://") + kWebAddress); }

void CopyrightPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        QDesktopServices::openUrl(WebAddress());  // a failure to open it is no concern of the program's
    }
    QLabel::mouseReleaseEvent(event);
}

}  // namespace quillet::qt
