#pragma once
// Editable table model over a MemTable: one column per table column, titled
// with the column labels; an edit moves the table to the row and sets the
// value there.

#include <QAbstractTableModel>
#include <QPointer>

namespace prvc03 {

class MemTable;

class MemTableModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int FieldNameRole = Qt::UserRole + 1;

    explicit MemTableModel(MemTable* table, QObject* parent = nullptr);

    MemTable* Table() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    QPointer<MemTable> table_;
};

}  // namespace prvc03
