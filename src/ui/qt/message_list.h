#pragma once
// lvwMessages: a report-view list of one column without a header, one row per
// message, with rows exactly as high as the window grows for each of them. A row
// too long for the list shows its end, where the file name is; its whole text is
// in its tooltip and is what Copy takes (Ctrl+C, or the context menu's "Copy" and
// "Copy all").

#include <QTreeWidget>
#include <string>

namespace quillet::qt {

class MessageList : public QTreeWidget {
    Q_OBJECT
public:
    explicit MessageList(QWidget* parent);

    // Appends a row; nothing is scrolled or selected.
    void AddRow(const std::string& text);
    QString RowText(int row) const;

    // The selected rows, or all of them, one a line, onto the clipboard.
    void CopySelected() const;
    void CopyAll() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace quillet::qt
