#pragma once
// frmAbout: the program's name and version, the copyright, the maker's web and
// e-mail addresses as links, and "Ok".

#include <QDialog>

class QLabel;
class QPushButton;

namespace quillet::qt {

class AboutForm : public QDialog {
    Q_OBJECT
public:
    explicit AboutForm(QWidget* parent = nullptr);

    // "Quillet  Version 1.0a"
    static QString VersionLine();

    QLabel& Version() const { return *lblVersion_; }
    QLabel& Web() const { return *lblWebLink_; }
    QLabel& Email() const { return *lblEmailLink_; }
    QPushButton& OkButton() const { return *cmdOk_; }

private:
    QLabel* lblVersion_;
    QLabel* lblWebLink_;
    QLabel* lblEmailLink_;
    QPushButton* cmdOk_;
};

}  // namespace quillet::qt
