#include "ui/qt/printing.h"

#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QWidget>
#include <algorithm>

namespace quillet::qt {

bool PrintImageOf(QWidget& widget, QPrinter& printer) {
    const QPixmap image = widget.grab();
    if (image.isNull()) return false;
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double as_on_screen = static_cast<double>(printer.resolution()) / widget.logicalDpiX();
    const double scale = std::min(as_on_screen, static_cast<double>(page.width()) / image.width());
    painter.drawPixmap(QRectF(0, 0, image.width() * scale, image.height() * scale), image, QRectF(image.rect()));
    return painter.end();
}

bool PrintOnDefaultPrinter(QWidget& widget) {
    QPrinter printer(QPrinter::HighResolution);
    return PrintImageOf(widget, printer);
}

}  // namespace quillet::qt
