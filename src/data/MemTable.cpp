#include "data/MemTable.h"

#include <algorithm>

#include "session/Errors.h"

namespace prvc03 {

namespace {

const std::array<MemTable::ColumnInfo, MemTable::ColumnCount>& Columns() {
    static const std::array<MemTable::ColumnInfo, MemTable::ColumnCount> columns = {{
        {QStringLiteral("FField"), 20, QStringLiteral("查询字段")},
        {QStringLiteral("FOperator"), 10, QStringLiteral("操作符")},
        {QStringLiteral("FValue"), 50, QStringLiteral("条件")},
        {QStringLiteral("FLogic"), 3, QString()},
    }};
    return columns;
}

}  // namespace

const MemTable::ColumnInfo& MemTable::ColumnAt(int column) {
    if (column < 0 || column >= ColumnCount) {
        throw Error(QStringLiteral("Field index out of range (%1)").arg(column));
    }
    return Columns()[column];
}

int MemTable::FindColumn(const QString& name) {
    for (int c = 0; c < ColumnCount; ++c) {
        if (Columns()[c].name.compare(name, Qt::CaseInsensitive) == 0) {
            return c;
        }
    }
    return -1;
}

int MemTable::ColumnByName(const QString& name) {
    const int column = FindColumn(name);
    if (column < 0) {
        throw Error(QStringLiteral("Field '%1' not found").arg(name));
    }
    return column;
}

MemTable::MemTable(QObject* parent) : QObject(parent) {}

int MemTable::RecordCount() const {
    return RowCount() - (state_ == State::Insert ? 1 : 0);
}

QString MemTable::Value(int row, int column) const {
    if (row < 0 || row >= RowCount()) {
        throw Error(QStringLiteral("Record not found"));
    }
    ColumnAt(column);
    return rows_[row][column];
}

void MemTable::InsertAt(int row) {
    Q_EMIT AboutToInsertRow(row);
    rows_.insert(rows_.begin() + row, Row{});
    current_ = row;
    Q_EMIT RowInserted(row);
}

void MemTable::RemoveAt(int row) {
    Q_EMIT AboutToRemoveRow(row);
    rows_.erase(rows_.begin() + row);
    Q_EMIT RowRemoved(row);
}

void MemTable::Edit() {
    if (state_ != State::Browse) {
        return;
    }
    if (rows_.empty()) {
        Append();
        return;
    }
    saved_ = rows_[current_];
    state_ = State::Edit;
    modified_ = false;
}

void MemTable::Append() {
    CheckBrowseMode();
    InsertAt(RowCount());
    state_ = State::Insert;
    modified_ = false;
    Q_EMIT DataChange();
}

void MemTable::Insert() {
    CheckBrowseMode();
    InsertAt(current_ < 0 ? 0 : current_);
    state_ = State::Insert;
    modified_ = false;
    Q_EMIT DataChange();
}

void MemTable::Post() {
    if (state_ == State::Browse) {
        return;
    }
    state_ = State::Browse;
    modified_ = false;
    Q_EMIT DataChange();
}

void MemTable::Cancel() {
    if (state_ == State::Insert) {
        const int row = current_;
        state_ = State::Browse;
        modified_ = false;
        RemoveAt(row);
        current_ = rows_.empty() ? -1 : std::min(row, RowCount() - 1);
        Q_EMIT DataChange();
    } else if (state_ == State::Edit) {
        state_ = State::Browse;
        modified_ = false;
        rows_[current_] = saved_;
        Q_EMIT RowChanged(current_);
        Q_EMIT DataChange();
    }
}

void MemTable::CheckBrowseMode() {
    if (state_ == State::Browse) {
        return;
    }
    if (modified_) {
        Post();
    } else {
        Cancel();
    }
}

void MemTable::Delete() {
    if (state_ == State::Insert) {
        Cancel();
        return;
    }
    if (rows_.empty()) {
        throw Error(QStringLiteral("Cannot perform this operation on an empty dataset"));
    }
    if (state_ == State::Edit) {
        state_ = State::Browse;
        modified_ = false;
    }
    const int row = current_;
    RemoveAt(row);
    current_ = rows_.empty() ? -1 : std::min(row, RowCount() - 1);
    Q_EMIT DataChange();
}

void MemTable::EmptyTable() {
    Q_EMIT AboutToReset();
    rows_.clear();
    current_ = -1;
    state_ = State::Browse;
    modified_ = false;
    Q_EMIT ResetDone();
    Q_EMIT DataChange();
}

void MemTable::First() {
    CheckBrowseMode();
    current_ = rows_.empty() ? -1 : 0;
    Q_EMIT DataChange();
}

void MemTable::Last() {
    CheckBrowseMode();
    current_ = RowCount() - 1;
    Q_EMIT DataChange();
}

void MemTable::Next() {
    if (current_ + 1 < RowCount()) {
        MoveTo(current_ + 1);
    } else {
        CheckBrowseMode();
    }
}

void MemTable::Prior() {
    if (current_ > 0) {
        MoveTo(current_ - 1);
    } else {
        CheckBrowseMode();
    }
}

void MemTable::MoveTo(int row) {
    if (row < 0 || row >= RowCount()) {
        throw Error(QStringLiteral("Record not found"));
    }
    if (row == current_) {
        return;
    }
    const int leaving = current_;
    const bool drops = state_ == State::Insert && !modified_;
    CheckBrowseMode();
    if (drops && leaving < row) {
        --row;  // the dropped row was above the target
    }
    current_ = row;
    Q_EMIT DataChange();
}

QString MemTable::FieldValue(int column) const {
    ColumnAt(column);
    return current_ < 0 ? QString() : rows_[current_][column];
}

QString MemTable::FieldValue(const QString& name) const {
    return FieldValue(ColumnByName(name));
}

void MemTable::SetFieldValue(int column, const QString& value) {
    const ColumnInfo& info = ColumnAt(column);
    if (state_ == State::Browse) {
        Edit();
    }
    rows_[current_][column] = value.left(info.size);
    modified_ = true;
    Q_EMIT RowChanged(current_);
    Q_EMIT DataChange();
}

void MemTable::SetFieldValue(const QString& name, const QString& value) {
    SetFieldValue(ColumnByName(name), value);
}

void MemTable::SetValue(int row, int column, const QString& value) {
    MoveTo(row);
    SetFieldValue(column, value);
}

}  // namespace prvc03
