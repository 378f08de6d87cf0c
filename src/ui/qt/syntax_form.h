#pragma once
// frmSyntaxMsg: the command syntax in a fixed-pitch label, shown without blocking.

#include <QWidget>
#include <functional>
#include <string>

namespace quillet::qt {

class SyntaxLabel;

class SyntaxForm : public QWidget {
    Q_OBJECT
public:
    SyntaxForm();

    void Show(const std::string& title, const std::string& text);
    SyntaxLabel& Message() const { return *lblMsg_; }

    // Told when the user closes the window.
    std::function<void()> on_unload;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    SyntaxLabel* lblMsg_;
};

}  // namespace quillet::qt
