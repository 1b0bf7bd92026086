#pragma once
// Paints the cells of a DataGrid with the grid's colours: black text also in
// the current and highlighted rows, the current-row and alternating
// backgrounds, and a centred check box in the check column.

#include <QStyledItemDelegate>

namespace prvc03 {

class DataGrid;

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit GridDelegate(DataGrid* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    DataGrid* Grid() const { return grid_; }

  private:
    DataGrid* grid_;
};

}  // namespace prvc03
