#pragma once
// A plain list of texts in fixed-height rows (20 pixels, font 宋体 at 16
// pixels), such as the list of columns available for sorting.

#include <QListWidget>

namespace prvc03 {

class ListBox final : public QListWidget {
    Q_OBJECT
  public:
    static constexpr int RowHeight = 20;

    explicit ListBox(QWidget* parent = nullptr);

    // The selected row, -1 when none.
    int ItemIndex() const { return currentRow(); }
    // Text of `row`; raises "List index out of bounds (n)" for a bad row.
    QString ItemText(int row) const;

  Q_SIGNALS:
    // A double click anywhere in the list, on an item or below the last one;
    // a click on the empty part leaves the selected item as it was.
    void DblClick();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace prvc03
