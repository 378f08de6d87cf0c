#include "ui/qt/window_style.h"

#include "ui/qt/twips.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quillet::qt {

QFont WindowFont() { return QGuiApplication::font(); }

double WindowScale() {
    const int pixels = QFontInfo(WindowFont()).pixelSize();
    return pixels > 0 ? static_cast<double>(pixels) / kDesignFontPixels : 1.0;
}

QString WidgetText(std::string_view text) {
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QChar('\r'), QChar('\n'));
    return shown;
}

namespace {

// A dated sheet going into a folder: a snapshot.
QPixmap draw_icon(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    const QPen outline(QColor(0x8a, 0x6d, 0x1c), 1.2);

    QPainterPath back;  // the folder's back with its tab
    back.moveTo(2, 6);
    back.lineTo(11, 6);
    back.lineTo(14, 9);
    back.lineTo(30, 9);
    back.lineTo(30, 28);
    back.lineTo(2, 28);
    back.closeSubpath();
    painter.setPen(outline);
    painter.setBrush(QColor(0xd9, 0xa8, 0x2e));
    painter.drawPath(back);

    painter.setPen(QPen(QColor(0x3b, 0x5b, 0x8c), 1.2));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(8, 2, 16, 20));
    painter.setBrush(QColor(0x3b, 0x5b, 0x8c));
    painter.drawRect(QRectF(8, 2, 16, 5));  // the date on the sheet

    QPainterPath front;  // the folder's front, lower than the sheet
    front.moveTo(2, 15);
    front.lineTo(30, 15);
    front.lineTo(30, 28);
    front.lineTo(2, 28);
    front.closeSubpath();
    painter.setPen(outline);
    painter.setBrush(QColor(0xf5, 0xcd, 0x52));
    painter.drawPath(front);
    return picture;
}

}  // namespace

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48}) icon.addPixmap(draw_icon(size));
    return icon;
}

}  // namespace quillet::qt
