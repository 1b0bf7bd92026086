#pragma once
// Table model over a QueryDataset: one column per field, rows in the
// dataset's current order. Cells are read one at a time, on demand, so a
// view only ever asks for what it shows. A field named "selected" (letter
// case ignored) is the check column: it shows a tick for the records that the
// isPicked callback names, and a toggle is reported with the record position.

#include <QAbstractTableModel>
#include <QIcon>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <vector>

#include "data/Field.h"

namespace prvc03 {

class QueryDataset;

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // Header role carrying a column's field name.
    static constexpr int FieldNameRole = Qt::UserRole + 1;

    explicit DatasetModel(QueryDataset* dataset, QObject* parent = nullptr);

    QueryDataset* Dataset() const;
    // Column of the field "selected", -1 when there is none.
    int CheckColumn() const;

    void SetIsPicked(std::function<bool(int record)> isPicked);
    // Title image per column: an index into the title images, -1 for none.
    void SetCalcTitleImage(std::function<int(const Field&)> calcTitleImage);
    void SetTitleImages(std::vector<QIcon> images);
    // A column's accessible description: how it is sorted, in words.
    void SetCalcTitleState(std::function<QString(const Field&)> calcTitleState);
    // A marker in the vertical header at the current row.
    void SetRowIndicator(bool on) { rowIndicator_ = on; }

    // Reports a toggle of the check cell in `row` and repaints it.
    void ToggleCheck(int row);
    // Repaints the check column / the titles.
    void RefreshChecks();
    void RefreshTitles();

    // Cells read so far (calls of data()): what a paint costs, countable.
    std::uint64_t CellReads() const { return cellReads_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  Q_SIGNALS:
    void CheckToggled(int record);

  private:
    void OnDataChange();
    void OnAboutToReorder();
    void OnReordered();

    QPointer<QueryDataset> dataset_;
    std::function<bool(int)> isPicked_;
    std::function<int(const Field&)> calcTitleImage_;
    std::vector<QIcon> titleImages_;
    std::function<QString(const Field&)> calcTitleState_;
    bool rowIndicator_ = false;
    int indicatorRow_ = -1;
    QModelIndexList reorderIndexes_;
    std::vector<int> reorderRecords_;
    mutable std::uint64_t cellReads_ = 0;
};

}  // namespace prvc03
