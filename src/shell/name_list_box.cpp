#include "shell/name_list_box.h"

#include <QMenu>
#include <QMouseEvent>

namespace rvk {

NameListBox::NameListBox(int lineHeight, QMenu* popup, QWidget* parent)
    : QListWidget(parent), lineHeight_(lineHeight) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this, popup](const QPoint& pos) { popup->exec(viewport()->mapToGlobal(pos)); });
}

void NameListBox::mousePressEvent(QMouseEvent* event) {
    // Left unhandled, so the window still turns the press into the popup's request.
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    QListWidget::mousePressEvent(event);
}

void NameListBox::insertLine(int row, const QString& text) {
    auto* line = new QListWidgetItem(text);
    line->setSizeHint(QSize(0, lineHeight_));
    insertItem(row, line);
}

int NameListBox::selectedRow() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void NameListBox::selectRow(int row) {
    if (row < 0)
        clearSelection();
    else
        setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

}  // namespace rvk
