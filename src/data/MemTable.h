#pragma once
// The in-memory table of condition rows: four text columns, rows in grid
// order, and an editing state in the manner of a dataset: a row is edited
// or appended, then saved by Post or by moving to another row. A new row on
// which nothing was set is dropped when the cursor leaves it.

#include <QObject>
#include <QString>

#include <array>
#include <vector>

namespace prvc03 {

class MemTable final : public QObject {
    Q_OBJECT
  public:
    enum Column { FField = 0, FOperator = 1, FValue = 2, FLogic = 3 };
    static constexpr int ColumnCount = 4;
    struct ColumnInfo {
        QString name;
        int size;  // characters
        QString label;
    };
    static const ColumnInfo& ColumnAt(int column);
    // Column called `name` (letter case ignored), -1 when none.
    static int FindColumn(const QString& name);

    using Row = std::array<QString, ColumnCount>;
    enum class State { Browse, Edit, Insert };

    explicit MemTable(QObject* parent = nullptr);

    // Saved rows; a new row that is not saved yet is not counted.
    int RecordCount() const;
    // Rows shown, including a new unsaved row.
    int RowCount() const { return static_cast<int>(rows_.size()); }
    // Rows in grid order as shown (a row being edited with its new values).
    const std::vector<Row>& Rows() const { return rows_; }
    QString Value(int row, int column) const;

    State GetState() const { return state_; }
    bool Modified() const { return modified_; }
    // Row being edited or added, -1 when browsing.
    int EditRow() const { return state_ == State::Browse ? -1 : current_; }
    int CurrentRow() const { return current_; }
    int RecNo() const { return current_ + 1; }  // 0 when empty

    // Starts editing the current row; on an empty table starts a new row.
    void Edit();
    // A new row at the end / before the current row.
    void Append();
    void Insert();
    void Post();
    void Cancel();
    // Deletes the current row (a new unsaved row is cancelled).
    void Delete();
    void EmptyTable();

    // Moves; each saves a row being edited first, or drops an untouched new row.
    void First();
    void Last();
    void Next();
    void Prior();
    void MoveTo(int row);

    QString FieldValue(int column) const;
    QString FieldValue(const QString& name) const;
    // Sets a value in the current row, starting an edit when browsing. Text
    // longer than the column's size is cut.
    void SetFieldValue(int column, const QString& value);
    void SetFieldValue(const QString& name, const QString& value);
    // Moves to `row`, then sets the value (the grid's edit).
    void SetValue(int row, int column, const QString& value);

  Q_SIGNALS:
    void DataChange();
    void AboutToInsertRow(int row);
    void RowInserted(int row);
    void AboutToRemoveRow(int row);
    void RowRemoved(int row);
    void RowChanged(int row);
    void AboutToReset();
    void ResetDone();

  private:
    void CheckBrowseMode();
    void InsertAt(int row);
    void RemoveAt(int row);
    static int ColumnByName(const QString& name);

    std::vector<Row> rows_;
    int current_ = -1;
    State state_ = State::Browse;
    bool modified_ = false;
    Row saved_;
};

}  // namespace prvc03
