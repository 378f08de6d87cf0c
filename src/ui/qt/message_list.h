#pragma once
// lvwMessages: a report-view list of one column without a header, one row per
// message, with rows exactly as high as the window grows for each of them.

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
};

}  // namespace quillet::qt
