#include "ui/qt/syntax_form.h"

#include <QCloseEvent>

#include "ui/qt/syntax_label.h"
#include "ui/qt/twips.h"
#include "ui/qt/window_style.h"

namespace quillet::qt {

namespace {

constexpr std::int32_t kClientWidth = 14190;
constexpr std::int32_t kClientHeight = 5475;
constexpr TwipRect kMessagePlace{0, 0, 14175, 5535};

// Courier, so that the columns of the syntax line up: 9.75 points of the design's
// 96 dots per inch, grown with the desktop's font as the window is.
constexpr double kSyntaxFontDesignPixels = 13;

QFont syntax_font() {
    QFont font("Courier");
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(static_cast<int>(std::lround(kSyntaxFontDesignPixels * WindowScale())));
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace

SyntaxForm::SyntaxForm() {
    setObjectName("frmSyntaxMsg");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(ProgramIcon());
    setFixedSize(ToPixels(kClientWidth), ToPixels(kClientHeight));

    lblMsg_ = new SyntaxLabel(this);
    lblMsg_->setObjectName("lblMsg");
    lblMsg_->setFont(syntax_font());
    lblMsg_->setGeometry(ToPixels(kMessagePlace));
}

void SyntaxForm::Show(const std::string& title, const std::string& text) {
    setWindowTitle(QString::fromStdString(title));
    lblMsg_->setText(WidgetText(text));
    show();
    raise();
}

void SyntaxForm::closeEvent(QCloseEvent* event) {
    event->accept();
    if (on_unload) on_unload();
}

}  // namespace quillet::qt
