#pragma once
// imgCopyright: the maker's mark on the copyright strip; a click opens the maker's
// web address through the desktop's "open".

#include <QLabel>

namespace quillet::qt {

class CopyrightPicture : public QLabel {
    Q_OBJECT
public:
    // The picture is drawn for the strip's colour, which shows around its text.
    CopyrightPicture(QWidget* parent, const QColor& strip);

    static QUrl WebAddress();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace quillet::qt
