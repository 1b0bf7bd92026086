#pragma once
// The condition grid over the in-memory table: editable cells with a
// drop-down editor per column, Enter to the next cell, Insert to insert a
// row, Down on the last row to append one, Ctrl+Delete to delete the current
// row after a confirmation; taller rows, no scroll bars, own colours.

#include <functional>

#include "widgets/DataGrid.h"

namespace prvc03 {

class ConditionDelegate;
class GridCombo;
class MemTable;

class ConditionGrid final : public DataGrid {
    Q_OBJECT
  public:
    // 0xBBGGRR 15532027: red 251, green 255, blue 236.
    static constexpr QRgb BackgroundRgb = 0xFFFBFFEC;
    static constexpr int ColumnChars[4] = {20, 13, 32, 5};

    explicit ConditionGrid(QWidget* parent = nullptr);

    // The items the editor of `column` offers (the grid hides `items` and
    // reads it whenever an editor opens); null = plain text.
    void SetColumnEditor(int column, GridCombo* items);
    // Asked before a row is deleted; the default asks with a message box.
    void SetConfirmDelete(std::function<bool()> confirm) { confirmDelete_ = std::move(confirm); }

    MemTable* Table() const;
    // Enter: the next cell to the right, then the first cell of the next row;
    // past the last cell a new row is appended.
    void MoveToNextCell();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void ApplyColumnWidths() override;

  private:
    // Appends a row unless the last row is a new row nothing was set on.
    bool AppendRow();
    void GoToColumn(int column);

    ConditionDelegate* delegate_;
    std::function<bool()> confirmDelete_;
};

}  // namespace prvc03
