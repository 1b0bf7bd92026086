#pragma once
// Cell editors of the condition grid: a drop-down list for each column that
// has an item source, plain text otherwise. Enter saves the cell and asks the
// grid for the next one.

#include <QPointer>

#include <array>

#include "data/MemTable.h"
#include "widgets/GridDelegate.h"

namespace prvc03 {

class GridCombo;

class ConditionDelegate final : public GridDelegate {
    Q_OBJECT
  public:
    explicit ConditionDelegate(DataGrid* grid);

    // The items a column's editor offers; null = plain text.
    void SetColumnEditor(int column, GridCombo* items);
    GridCombo* ColumnEditor(int column) const;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override;

  private:
    std::array<QPointer<GridCombo>, MemTable::ColumnCount> sources_;
};

}  // namespace prvc03
