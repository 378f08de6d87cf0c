#pragma once
// Printing a window as it looks: an image of it on one page.

class QPrinter;
class QWidget;

namespace quillet::qt {

// Draws an image of the widget at the top left of the page, as large as on the
// screen or narrowed to the page. False when the printer could not be used.
bool PrintImageOf(QWidget& widget, QPrinter& printer);

// Prints the widget on the default printer; false when it could not be used.
bool PrintOnDefaultPrinter(QWidget& widget);

}  // namespace quillet::qt
