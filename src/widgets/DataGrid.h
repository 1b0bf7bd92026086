#pragma once
// The data grid of the lookup windows: a table view over a data source whose
// current row follows the dataset's cursor both ways, with fixed row height,
// title buttons, a check column toggled by one click or Space, Shift+F10
// for the context menu, an optional row indicator, alternating and
// current-row colours and black cell text.
//
// Cell editors live in the grid's viewport, so an editor's parent chain
// leads to the grid: GridOf() finds the grid from any widget inside it.

#include <QColor>
#include <QPointer>
#include <QTableView>

#include <functional>

#include "data/DataSource.h"

namespace prvc03 {

class DatasetModel;
class QueryDataset;
class MemTableModel;

struct CellColors {
    QColor text;
    QColor background;
};

class DataGrid : public QTableView {
    Q_OBJECT
  public:
    // 0xBBGGRR 15202766 and 15916215.
    static constexpr QRgb AlternateRowRgb = 0xFFCEF9E7;  // red 206, green 249, blue 231
    static constexpr QRgb CurrentRowRgb = 0xFFB7DCF2;    // red 183, green 220, blue 242

    // Called for each painted cell with the colours the grid chose.
    using CalcCellColorsFn = std::function<void(const QModelIndex& index, bool currentRow,
                                                bool highlighted, CellColors& colors)>;

    explicit DataGrid(QWidget* parent = nullptr);
    ~DataGrid() override;

    // Shows the data source's dataset (a query or an in-memory table); the
    // grid owns the model it builds for it.
    void SetDataSource(DataSource* source);
    DataSource* GetDataSource() const { return source_; }
    DatasetModel* ResultModel() const { return datasetModel_; }
    MemTableModel* TableModel() const { return tableModel_; }

    // Read-only grids select whole rows and open no editor.
    void SetReadOnly(bool readOnly);
    bool ReadOnly() const { return readOnly_; }
    void SetRowIndicator(bool on);
    bool RowIndicator() const { return rowIndicator_; }
    // Fixed height of every row, in pixels.
    void SetRowHeight(int pixels);
    int RowHeight() const;
    // An invalid colour switches the feature off.
    void SetAlternateRowColor(const QColor& color);
    void SetCurrentRowColor(const QColor& color);
    void SetCalcCellColors(CalcCellColorsFn calc) { calcCellColors_ = std::move(calc); }

    // Width of a column given in characters of the grid's font.
    void SetColumnWidthChars(int column, int chars);
    int CharWidth() const;
    // Column of the check field, -1 when none.
    int CheckColumn() const;
    // Colours of a cell as the grid paints it.
    CellColors ColorsFor(const QModelIndex& index, bool highlighted) const;
    bool OverridesHighlight() const { return currentRowColor_.isValid(); }

    // The grid `widget` is, or lies inside of (a cell editor); null when none.
    static DataGrid* GridOf(QWidget* widget);

  Q_SIGNALS:
    // A column title was clicked; carries the column's field name.
    void TitleButtonClick(const QString& fieldName);
    // The current cell changed (another record or another column).
    void CellChanged();
    void DblClick();

  protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    // Builds the model for a query dataset; the grid owns it.
    virtual DatasetModel* CreateDatasetModel(QueryDataset* dataset);
    // Current row of the dataset behind the grid, -1 when none.
    int DataRow() const;
    void MoveDataTo(int row);
    // Brings the grid's current cell to the dataset's current row.
    void SyncFromData();
    virtual void ApplyColumnWidths();
    void UpdateRow(int row);
    void ToggleCheck(int row);

  private:
    QPointer<DataSource> source_;
    DatasetModel* datasetModel_ = nullptr;
    MemTableModel* tableModel_ = nullptr;
    QMetaObject::Connection sourceConnection_;
    bool readOnly_ = true;
    bool rowIndicator_ = false;
    bool syncing_ = false;
    QColor alternateRowColor_;
    QColor currentRowColor_;
    CalcCellColorsFn calcCellColors_;
    QPersistentModelIndex pressed_;
};

}  // namespace prvc03
