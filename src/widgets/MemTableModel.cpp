#include "widgets/MemTableModel.h"

#include <QBrush>

#include "data/MemTable.h"
#include "session/Errors.h"

namespace prvc03 {

MemTableModel::MemTableModel(MemTable* table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {
    connect(table, &MemTable::AboutToInsertRow, this,
            [this](int row) { beginInsertRows({}, row, row); });
    connect(table, &MemTable::RowInserted, this, [this] { endInsertRows(); });
    connect(table, &MemTable::AboutToRemoveRow, this,
            [this](int row) { beginRemoveRows({}, row, row); });
    connect(table, &MemTable::RowRemoved, this, [this] { endRemoveRows(); });
    connect(table, &MemTable::AboutToReset, this, [this] { beginResetModel(); });
    connect(table, &MemTable::ResetDone, this, [this] { endResetModel(); });
    connect(table, &MemTable::RowChanged, this, [this](int row) {
        Q_EMIT dataChanged(index(row, 0), index(row, MemTable::ColumnCount - 1));
    });
}

MemTable* MemTableModel::Table() const {
    return table_;
}

int MemTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || table_ == nullptr ? 0 : table_->RowCount();
}

int MemTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : MemTable::ColumnCount;
}

QVariant MemTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || table_ == nullptr || index.row() >= table_->RowCount()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return table_->Rows()[index.row()][index.column()];
        case Qt::ForegroundRole:
            return QBrush(Qt::black);
        default:
            return {};
    }
}

bool MemTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || table_ == nullptr) {
        return false;
    }
    if (table_->Rows()[index.row()][index.column()] == value.toString()) {
        return true;  // unchanged: an untouched new row stays untouched
    }
    bool done = false;
    RunHandler([&] {
        table_->SetValue(index.row(), index.column(), value.toString());
        done = true;
    });
    return done;
}

QVariant MemTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= MemTable::ColumnCount) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return MemTable::ColumnAt(section).label;
        case FieldNameRole:
            return MemTable::ColumnAt(section).name;
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        default:
            return {};
    }
}

Qt::ItemFlags MemTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

}  // namespace prvc03
