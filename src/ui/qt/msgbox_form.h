#pragma once
// frmMsgBox as a modal dialog: the icon of its kind, the message in a read-only
// text box as tall as its lines, "Ok", the Print button and the countdown that
// closes the box by itself. What the box shows and does comes from its model.

#include <QDialog>
#include <QTimer>

#include "ui/models/msgbox_window.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quillet::qt {

class MsgBoxForm : public QDialog {
    Q_OBJECT
public:
    MsgBoxForm(MsgBoxWindow& box, QWidget* parent);

    // The picture box shown for a kind (picInformation for an unknown one).
    QLabel& Icon(MsgBoxIcon which) const;
    QPlainTextEdit& Message() const { return *txtMessage_; }
    QPushButton& OkButton() const { return *cmdOk_; }
    QPushButton& PrintButton() const { return *cmdPrint_; }
    QLabel& CountDownLabel() const { return *lblCountDown_; }
    QTimer& Timer() { return timTimer_; }

public slots:
    void Tick();
    void PressOk();
    void Print();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void make_icons();
    void show_countdown();

    MsgBoxWindow& box_;
    QLabel* picCritical_;
    QLabel* picExclamation_;
    QLabel* picInformation_;
    QPlainTextEdit* txtMessage_;
    QPushButton* cmdOk_;
    QPushButton* cmdPrint_;
    QLabel* lblCountDown_;
    QTimer timTimer_;
};

}  // namespace quillet::qt
