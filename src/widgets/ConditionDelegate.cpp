#include "widgets/ConditionDelegate.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "widgets/GridCombo.h"

namespace prvc03 {

ConditionDelegate::ConditionDelegate(DataGrid* grid) : GridDelegate(grid) {}

void ConditionDelegate::SetColumnEditor(int column, GridCombo* items) {
    if (column >= 0 && column < MemTable::ColumnCount) {
        sources_[column] = items;
    }
}

GridCombo* ConditionDelegate::ColumnEditor(int column) const {
    return column >= 0 && column < MemTable::ColumnCount ? sources_[column].data() : nullptr;
}

QWidget* ConditionDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
    if (GridCombo* items = ColumnEditor(index.column())) {
        auto* combo = new GridCombo(parent);
        combo->CopyFrom(*items);
        combo->setFrame(false);
        return combo;
    }
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setMaxLength(MemTable::ColumnAt(index.column()).size);
    }
    return editor;
}

void ConditionDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* combo = qobject_cast<GridCombo*>(editor)) {
        combo->setCurrentIndex(combo->findText(index.data(Qt::EditRole).toString()));
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void ConditionDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                     const QModelIndex& index) const {
    if (auto* combo = qobject_cast<GridCombo*>(editor)) {
        model->setData(index, combo->Choice(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

bool ConditionDelegate::eventFilter(QObject* object, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor != nullptr && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            Q_EMIT commitData(editor);
            Q_EMIT closeEditor(editor, QAbstractItemDelegate::EditNextItem);
            return true;
        }
    }
    return GridDelegate::eventFilter(object, event);
}

}  // namespace prvc03
