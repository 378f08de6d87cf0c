#pragma once
// lblMsg of the syntax window: lines of fixed-pitch text, stepped closely enough
// that all of them fit the label's height, as the window's design had them.

#include <QString>
#include <QWidget>

namespace quillet::qt {

class SyntaxLabel : public QWidget {
    Q_OBJECT
public:
    explicit SyntaxLabel(QWidget* parent);

    void setText(const QString& text);
    const QString& text() const { return text_; }
    // The distance from one line to the next, in pixels.
    int LineStep() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QStringList lines_;
};

}  // namespace quillet::qt
