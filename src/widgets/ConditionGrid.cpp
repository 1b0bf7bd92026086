#include "widgets/ConditionGrid.h"

#include <QHeaderView>
#include <QKeyEvent>

#include <cmath>

#include "data/DataSource.h"
#include "data/MemTable.h"
#include "session/Errors.h"
#include "widgets/ConditionDelegate.h"
#include "widgets/GridCombo.h"
#include "widgets/SystemMessageBox.h"

namespace prvc03 {

ConditionGrid::ConditionGrid(QWidget* parent) : DataGrid(parent) {
    QAbstractItemDelegate* old = itemDelegate();
    delegate_ = new ConditionDelegate(this);
    setItemDelegate(delegate_);
    delete old;

    SetReadOnly(false);
    SetCurrentRowColor(QColor());
    SetRowHeight(static_cast<int>(std::lround((fontMetrics().height() + 4) * 1.2)));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette p = palette();
    p.setColor(QPalette::Base, QColor::fromRgb(BackgroundRgb));
    setPalette(p);
    QFont titleFont = horizontalHeader()->font();
    titleFont.setPixelSize(16);
    horizontalHeader()->setFont(titleFont);
    horizontalHeader()->setSectionsClickable(false);
    confirmDelete_ = [this] {
        return AskYesNo(this, QStringLiteral("提示信息"), QStringLiteral("删除当前记录吗？"));
    };
}

void ConditionGrid::SetColumnEditor(int column, GridCombo* items) {
    if (items != nullptr) {
        items->hide();
    }
    delegate_->SetColumnEditor(column, items);
}

MemTable* ConditionGrid::Table() const {
    return GetDataSource() != nullptr ? GetDataSource()->Table() : nullptr;
}

void ConditionGrid::ApplyColumnWidths() {
    if (model() == nullptr) {
        return;
    }
    for (int c = 0; c < model()->columnCount() && c < 4; ++c) {
        SetColumnWidthChars(c, ColumnChars[c]);
    }
}

bool ConditionGrid::AppendRow() {
    MemTable* table = Table();
    if (table == nullptr) {
        return false;
    }
    const bool untouchedLast = table->GetState() == MemTable::State::Insert && !table->Modified() &&
                               table->CurrentRow() == table->RowCount() - 1;
    if (untouchedLast) {
        return false;
    }
    bool done = false;
    RunHandler([&] {
        table->Append();
        done = true;
    });
    return done;
}

void ConditionGrid::GoToColumn(int column) {
    MemTable* table = Table();
    if (table == nullptr || table->CurrentRow() < 0) {
        return;
    }
    setCurrentIndex(model()->index(table->CurrentRow(), column));
}

void ConditionGrid::MoveToNextCell() {
    if (model() == nullptr) {
        return;
    }
    const QModelIndex current = currentIndex();
    const int rows = model()->rowCount();
    const int columns = model()->columnCount();
    if (!current.isValid()) {
        if (rows == 0) {
            AppendRow();
        }
        GoToColumn(0);
    } else if (current.column() + 1 < columns) {
        setCurrentIndex(model()->index(current.row(), current.column() + 1));
    } else if (current.row() + 1 < rows) {
        setCurrentIndex(model()->index(current.row() + 1, 0));
    } else if (AppendRow()) {
        GoToColumn(0);
    }
}

void ConditionGrid::keyPressEvent(QKeyEvent* event) {
    MemTable* table = Table();
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (table != nullptr && state() != QAbstractItemView::EditingState) {
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && modifiers == Qt::NoModifier) {
            MoveToNextCell();
            event->accept();
            return;
        }
        if (key == Qt::Key_Insert && modifiers == Qt::NoModifier) {
            const int column = currentIndex().isValid() ? currentIndex().column() : 0;
            RunHandler([&] { table->Insert(); });
            GoToColumn(column);
            event->accept();
            return;
        }
        if (key == Qt::Key_Down && modifiers == Qt::NoModifier &&
            (table->RowCount() == 0 || table->CurrentRow() == table->RowCount() - 1)) {
            const int column = currentIndex().isValid() ? currentIndex().column() : 0;
            if (AppendRow()) {
                GoToColumn(column);
            }
            event->accept();
            return;
        }
        if (key == Qt::Key_Delete && modifiers == Qt::ControlModifier) {
            event->accept();
            if (table->RowCount() > 0 && confirmDelete_ && confirmDelete_()) {
                RunHandler([&] { table->Delete(); });
            }
            return;
        }
    }
    DataGrid::keyPressEvent(event);
}

void ConditionGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (hint == QAbstractItemDelegate::EditNextItem) {
        DataGrid::closeEditor(editor, QAbstractItemDelegate::NoHint);
        MoveToNextCell();
        return;
    }
    DataGrid::closeEditor(editor, hint);
}

}  // namespace prvc03
