#include "ui/qt/about_form.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "ui/qt/maker.h"
#include "ui/qt/twips.h"
#include "ui/qt/window_style.h"
#include "ui/version.h"

namespace quillet::qt {

namespace {

// The window's places in twips: the icon and version at the top, the copyright
// and the two addresses between separators, and Ok.
constexpr std::int32_t kClientWidth = 5400;
constexpr std::int32_t kClientHeight = 2970;
constexpr TwipRect kIcon{240, 180, 480, 480};
constexpr TwipRect kVersion{900, 285, 4260, 270};
constexpr TwipRect kCopyright{240, 855, 4920, 255};
constexpr TwipRect kWebCaption{240, 1335, 900, 255};
constexpr TwipRect kWebLink{1140, 1335, 4020, 255};
constexpr TwipRect kEmailCaption{240, 1710, 900, 255};
constexpr TwipRect kEmailLink{1140, 1710, 4020, 255};
constexpr TwipRect kOk{2362, 2415, 675, 375};
// Two etched lines, each a dark and a light line.
constexpr std::int32_t kSeparatorTops[] = {780, 2085};

QLabel* make_label(QWidget* parent, const char* name, const QString& text, const TwipRect& place) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(ToPixels(place));
    return label;
}

QLabel* make_link(QWidget* parent, const char* name, const QString& address, const QString& shown,
                  const TwipRect& place) {
    QLabel* label = make_label(parent, name, QString("<a href=\"%1\">%2</a>").arg(address, shown), place);
    label->setTextFormat(Qt::RichText);
    label->setOpenExternalLinks(true);
    return label;
}

void make_separator(QWidget* parent, std::int32_t top) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(ToPixels(TwipRect{120, top, kClientWidth - 240, 30}));
}

}  // namespace

QString AboutForm::VersionLine() {
    return QString("%1  Version %2").arg(kProgramTitle, QString::fromStdString(VersionText()));
}

AboutForm::AboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString("About %1").arg(kProgramTitle));
    setWindowIcon(ProgramIcon());
    setFont(WindowFont());
    setFixedSize(ToPixels(kClientWidth), ToPixels(kClientHeight));

    auto* icon = make_label(this, "imgIcon", QString(), kIcon);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    lblVersion_ = make_label(this, "lblVersion", VersionLine(), kVersion);
    QFont bold = font();
    bold.setBold(true);
    lblVersion_->setFont(bold);
    make_label(this, "lblCopyright", QString::fromUtf8(kCopyrightLine), kCopyright);
    make_label(this, "lblWeb", "Web:", kWebCaption);
    lblWebLink_ = make_link(this, "lblWebLink", QString("https://") + kWebAddress, kWebAddress, kWebLink);
    make_label(this, "lblEmail", "Email:", kEmailCaption);
    lblEmailLink_ = make_link(this, "lblEmailLink", QString("mailto:") + kEmailAddress, kEmailAddress, kEmailLink);
    for (const std::int32_t top : kSeparatorTops) make_separator(this, top);

    cmdOk_ = new QPushButton("Ok", this);
    cmdOk_->setObjectName("cmdOk");
    cmdOk_->setGeometry(ToPixels(kOk));
    cmdOk_->setDefault(true);
    connect(cmdOk_, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace quillet::qt
