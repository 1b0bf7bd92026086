#include "widgets/DatasetModel.h"

#include <QBrush>
#include <QPainter>
#include <QPixmap>

#include <exception>

#include "data/QueryDataset.h"

namespace prvc03 {

namespace {

const QPixmap& IndicatorPixmap() {
    static const QPixmap pixmap = [] {
        QPixmap p(8, 10);
        p.fill(Qt::transparent);
        QPainter painter(&p);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        const QPointF triangle[3] = {{1, 1}, {7, 5}, {1, 9}};
        painter.drawPolygon(triangle, 3);
        return p;
    }();
    return pixmap;
}

}  // namespace

DatasetModel::DatasetModel(QueryDataset* dataset, QObject* parent)
    : QAbstractTableModel(parent), dataset_(dataset) {
    connect(dataset, &QueryDataset::AboutToReset, this, [this] { beginResetModel(); });
    connect(dataset, &QueryDataset::ResetDone, this, [this] {
        indicatorRow_ = -1;
        endResetModel();
    });
    connect(dataset, &QueryDataset::AboutToChangeShown, this, [this] { beginResetModel(); });
    connect(dataset, &QueryDataset::ShownChanged, this, [this] {
        indicatorRow_ = -1;
        endResetModel();
    });
    connect(dataset, &QueryDataset::AboutToReorder, this, &DatasetModel::OnAboutToReorder);
    connect(dataset, &QueryDataset::Reordered, this, &DatasetModel::OnReordered);
    connect(dataset, &QueryDataset::DataChange, this, &DatasetModel::OnDataChange);
}

QueryDataset* DatasetModel::Dataset() const {
    return dataset_;
}

int DatasetModel::CheckColumn() const {
    if (dataset_ == nullptr) {
        return -1;
    }
    const int count = dataset_->FieldCount();
    for (int c = 0; c < count; ++c) {
        if (dataset_->FieldAt(c).FieldName.compare(kSelectedField, Qt::CaseInsensitive) == 0) {
            return c;
        }
    }
    return -1;
}

void DatasetModel::SetIsPicked(std::function<bool(int)> isPicked) {
    isPicked_ = std::move(isPicked);
    RefreshChecks();
}

void DatasetModel::SetCalcTitleImage(std::function<int(const Field&)> calcTitleImage) {
    calcTitleImage_ = std::move(calcTitleImage);
    RefreshTitles();
}

void DatasetModel::SetTitleImages(std::vector<QIcon> images) {
    titleImages_ = std::move(images);
    RefreshTitles();
}

void DatasetModel::SetCalcTitleState(std::function<QString(const Field&)> calcTitleState) {
    calcTitleState_ = std::move(calcTitleState);
    RefreshTitles();
}

void DatasetModel::ToggleCheck(int row) {
    const int column = CheckColumn();
    if (column < 0 || row < 0 || row >= rowCount()) {
        return;
    }
    Q_EMIT CheckToggled(dataset_->RecordAtRow(row));
    const QModelIndex cell = index(row, column);
    Q_EMIT dataChanged(cell, cell, {Qt::CheckStateRole});
}

void DatasetModel::RefreshChecks() {
    const int column = CheckColumn();
    const int rows = rowCount();
    if (column >= 0 && rows > 0) {
        Q_EMIT dataChanged(index(0, column), index(rows - 1, column), {Qt::CheckStateRole});
    }
}

void DatasetModel::RefreshTitles() {
    const int columns = columnCount();
    if (columns > 0) {
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columns - 1);
    }
}

int DatasetModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || dataset_ == nullptr || !dataset_->Active()) {
        return 0;
    }
    return dataset_->RecordCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || dataset_ == nullptr) {
        return 0;
    }
    return dataset_->FieldCount();
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    ++cellReads_;
    if (!index.isValid() || dataset_ == nullptr || !dataset_->Active()) {
        return {};
    }
    try {
        const bool check = index.column() == CheckColumn();
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
                if (check) {
                    return {};
                }
                return dataset_->Text(dataset_->RecordAtRow(index.row()), index.column());
            case Qt::CheckStateRole:
                if (!check) {
                    return {};
                }
                return isPicked_ && isPicked_(dataset_->RecordAtRow(index.row())) ? Qt::Checked
                                                                                  : Qt::Unchecked;
            case Qt::ForegroundRole:
                return QBrush(Qt::black);
            case Qt::TextAlignmentRole: {
                if (check) {
                    return int(Qt::AlignCenter);
                }
                const FieldType type = dataset_->FieldAt(index.column()).DataType;
                if (IsIntegerType(type) || IsFloatType(type)) {
                    if (type != FieldType::Boolean) {
                        return int(Qt::AlignRight | Qt::AlignVCenter);
                    }
                }
                return int(Qt::AlignLeft | Qt::AlignVCenter);
            }
            default:
                return {};
        }
    } catch (const std::exception&) {
        return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (dataset_ == nullptr) {
        return {};
    }
    try {
        if (orientation == Qt::Vertical) {
            if (role == Qt::DecorationRole && rowIndicator_ && dataset_->Active() &&
                section == dataset_->CurrentRow()) {
                return IndicatorPixmap();
            }
            return {};
        }
        if (section < 0 || section >= columnCount()) {
            return {};
        }
        const Field& field = dataset_->FieldAt(section);
        switch (role) {
            case Qt::DisplayRole:
                return field.Label();
            case FieldNameRole:
                return field.FieldName;
            case Qt::TextAlignmentRole:
                return int(Qt::AlignCenter);
            case Qt::AccessibleDescriptionRole:
                return calcTitleState_ ? QVariant(calcTitleState_(field)) : QVariant();
            case Qt::DecorationRole: {
                if (!calcTitleImage_) {
                    return {};
                }
                const int image = calcTitleImage_(field);
                if (image >= 0 && image < static_cast<int>(titleImages_.size())) {
                    return titleImages_[image];
                }
                return {};
            }
            default:
                return {};
        }
    } catch (const std::exception&) {
        return {};
    }
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void DatasetModel::OnDataChange() {
    if (!rowIndicator_ || dataset_ == nullptr || !dataset_->Active()) {
        return;
    }
    const int row = dataset_->CurrentRow();
    if (row == indicatorRow_) {
        return;
    }
    const int old = indicatorRow_;
    indicatorRow_ = row;
    const int rows = rowCount();
    if (old >= 0 && old < rows) {
        Q_EMIT headerDataChanged(Qt::Vertical, old, old);
    }
    if (row >= 0) {
        Q_EMIT headerDataChanged(Qt::Vertical, row, row);
    }
}

// A sort keeps every index on its record: persistent indexes (the view's
// current cell, selections) are moved to the record's new row.
void DatasetModel::OnAboutToReorder() {
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    reorderIndexes_ = persistentIndexList();
    reorderRecords_.clear();
    for (const QModelIndex& index : reorderIndexes_) {
        reorderRecords_.push_back(dataset_->RecordAtRow(index.row()));
    }
}

void DatasetModel::OnReordered() {
    QModelIndexList moved;
    moved.reserve(reorderIndexes_.size());
    for (qsizetype i = 0; i < reorderIndexes_.size(); ++i) {
        moved.push_back(
            index(dataset_->RowOfRecord(reorderRecords_[i]), reorderIndexes_[i].column()));
    }
    changePersistentIndexList(reorderIndexes_, moved);
    reorderIndexes_.clear();
    reorderRecords_.clear();
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    RefreshTitles();
}

}  // namespace prvc03
