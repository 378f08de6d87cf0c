#include "ui/qt/message_list.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QStyledItemDelegate>

#include "ui/models/main_window_layout.h"
#include "ui/qt/twips.h"

namespace quillet::qt {

namespace {

// Every row is one message row of the window's growth high, so that the first
// seven rows fill the list exactly and the eighth scrolls.
class FixedRowHeight final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(ToPixels(kMessageRowHeight));
        return size;
    }
};

}  // namespace

MessageList::MessageList(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("lvwMessages");
    setColumnCount(1);
    setHeaderHidden(true);
    header()->setStretchLastSection(true);  // the one column fills the list's width
    setRootIsDecorated(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setItemDelegate(new FixedRowHeight(this));
    setFrameShape(QFrame::NoFrame);  // a frame would cost the rows their last pixels
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideLeft);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setFocusPolicy(Qt::ClickFocus);  // for Ctrl+C; the list never takes the focus by itself
    hide();
}

void MessageList::AddRow(const std::string& text) {
    auto* row = new QTreeWidgetItem(QStringList{QString::fromStdString(text)});
    row->setToolTip(0, row->text(0));  // a row wider than the list is shown whole here
    addTopLevelItem(row);
}

QString MessageList::RowText(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr ? item->text(0) : QString();
}

namespace {

void to_clipboard(const QStringList& rows) {
    if (!rows.isEmpty()) QGuiApplication::clipboard()->setText(rows.join(QChar('\n')));
}

}  // namespace

// In the order of the list, whatever the order they were picked in.
void MessageList::CopySelected() const {
    QStringList rows;
    for (int row = 0; row < topLevelItemCount(); ++row) {
        if (topLevelItem(row)->isSelected()) rows.append(RowText(row));
    }
    to_clipboard(rows);
}

void MessageList::CopyAll() const {
    QStringList rows;
    for (int row = 0; row < topLevelItemCount(); ++row) rows.append(RowText(row));
    to_clipboard(rows);
}

void MessageList::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        CopySelected();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void MessageList::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction("Copy", this, &MessageList::CopySelected);
    copy->setEnabled(!selectedItems().isEmpty());
    menu.addAction("Copy all", this, &MessageList::CopyAll);
    menu.exec(event->globalPos());
}

}  // namespace quillet::qt
