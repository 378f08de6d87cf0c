#include "ui/qt/syntax_label.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace quillet::qt {

namespace {

// Room between the label's edge and the text.
constexpr int kMargin = 6;

}  // namespace

SyntaxLabel::SyntaxLabel(QWidget* parent) : QWidget(parent) {}

void SyntaxLabel::setText(const QString& text) {
    text_ = text;
    lines_ = text.split(QChar('\n'));
    update();
}

// The font's own line spacing where the lines fit, else as close as the label's
// height needs, but never so close that lines touch.
int SyntaxLabel::LineStep() const {
    const QFontMetrics metrics(font());
    const int lines = std::max<int>(1, static_cast<int>(lines_.size()));
    const int fitting = (height() - 2 * kMargin) / lines;
    return std::clamp(fitting, metrics.ascent() + 1, metrics.lineSpacing());
}

void SyntaxLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const int step = LineStep();
    int baseline = kMargin + QFontMetrics(font()).ascent();
    for (const QString& line : lines_) {
        painter.drawText(kMargin, baseline, line);
        baseline += step;
    }
}

}  // namespace quillet::qt
