#pragma once
// The query component: a statement on a database connection whose records
// are fetched once into memory, with persistent fields, a cursor with
// at-start / at-end flags, bookmarks (original record positions), an
// in-memory sort and an in-memory subset of the records shown. Errors are
// prvc03::Error exceptions.

#include <QObject>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <vector>

#include "data/Field.h"
#include "data/ResultColumn.h"

class QSqlDatabase;

namespace prvc03 {

class ReadWait;
class ResultReader;

class QueryDataset final : public QObject {
    Q_OBJECT
  public:
    explicit QueryDataset(QObject* parent = nullptr);
    ~QueryDataset() override;

    // Persistent fields, in order. They can only change while closed.
    void AddField(const Field& field);
    void ClearFields();
    const std::vector<Field>& Fields() const { return persistent_; }

    void SetConnection(QSqlDatabase* connection) { connection_ = connection; }
    QSqlDatabase* Connection() const { return connection_; }
    // Setting another statement closes the dataset.
    void SetSQL(const QString& statement);
    QString SQL() const { return sql_; }

    // Runs the statement and fetches every record. On failure raises the
    // database's text (Cancelled when the wait's cancel was asked for, even
    // once every row had arrived) and stays closed. Does nothing when already
    // open.
    void Open();
    // How Open waits for the statement: on the calling thread (null, the
    // default) or through `wait`, with the statement on a thread of its own.
    void SetReadWait(ReadWait* wait) { readWait_ = wait; }
    // Whether Open is running: its statement executes or is read, and the
    // thread that waits for it may be handling other events meanwhile.
    bool Opening() const { return opening_; }
    void Close();
    bool Active() const { return active_; }

    // Fields of the open dataset: the persistent ones when there are any,
    // otherwise one per result column. A closed dataset without persistent
    // fields has none.
    int FieldCount() const;
    const Field& FieldAt(int index) const;
    // Index of the field called `name` (letter case ignored), -1 when none.
    int FindField(const QString& name) const;
    // Like FindField, but raises "Field 'X' not found".
    int FieldByName(const QString& name) const;

    // Records shown (the rows); HeldRecordCount counts every fetched one.
    int RecordCount() const;
    int HeldRecordCount() const;
    // Value of a field in a record (a bookmark); NULL reads as a null
    // QVariant of the field's type; calculated fields read NULL.
    QVariant Value(int record, int field) const;
    QString Text(int record, int field) const;
    // Text without a copy where the column stores text (see
    // ResultColumn::TextView); valid until the dataset changes or `scratch`
    // is reused.
    QStringView TextView(int record, int field, QString& scratch) const;
    // The same for the current record; on an empty set every field is NULL.
    QVariant FieldValue(int field) const;
    QString FieldText(int field) const;

    // Cursor.
    void First();
    void Last();
    void Next();
    void Prior();
    bool Bof() const { return !active_ || bof_; }
    bool Eof() const { return !active_ || eof_; }
    int RecNo() const;          // 1-based in the current order; 0 when empty
    int CurrentRecord() const;  // bookmark of the current record; -1 when empty
    int CurrentRow() const;     // 0-based row in the current order; -1 when empty
    void GotoBookmark(int record);
    void MoveToRow(int row);
    int RecordAtRow(int row) const;
    // -1 for a held record that is not shown.
    int RowOfRecord(int record) const;

    // In-memory sort: "field", "field ASC" or "field DESC"; empty = the
    // result set's order. Cleared whenever the dataset opens.
    void SetSort(const QString& sort);
    QString Sort() const { return sort_; }

    // Shows only `records` (bookmarks, any order; the sort orders them) /
    // every held record again. The current record stays when it is shown,
    // otherwise the first row becomes current. Cleared whenever the dataset
    // opens.
    void ShowOnly(std::vector<std::int32_t> records);
    void ShowAll();
    bool ShowsSubset() const { return subset_; }
    bool Shown(int record) const;

    // Kept but never applied (filtering stays off).
    void SetFilter(const QString& filter) { filter_ = filter; }
    QString Filter() const { return filter_; }
    void SetFiltered(bool filtered) { filtered_ = filtered; }
    bool Filtered() const { return filtered_; }

    // Suspend DataChange notifications; nestable. The last EnableControls
    // sends one DataChange when the dataset is open.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    // Bytes held by the fetched records and the sort order.
    std::size_t MemoryBytes() const;

  Q_SIGNALS:
    // The data or the current record changed: after opening, every move and
    // every re-order. Not sent by closing.
    void DataChange();
    // Rows and fields are about to be replaced (open, close) / were replaced.
    void AboutToReset();
    void ResetDone();
    // The order of the rows is about to change / changed (sort).
    void AboutToReorder();
    void Reordered();
    // The records shown are about to change / changed (ShowOnly, ShowAll).
    void AboutToChangeShown();
    void ShownChanged();

  private:
    struct Fetched;
    Fetched Fetch(ResultReader& reader) const;
    void CheckActive() const;
    void CheckRecord(int record) const;
    void NotifyDataChange();
    void ClearResult();
    void ParseSort(const QString& sort, int& field, bool& descending) const;
    void BuildOrder(int field, bool descending);
    void ChangeShown();
    // Narrows the order just built to the records shown.
    void RestrictOrder();
    void SetRow(int row);

    QSqlDatabase* connection_ = nullptr;
    ReadWait* readWait_ = nullptr;
    bool opening_ = false;
    QString sql_;
    std::vector<Field> persistent_;
    std::vector<Field> dynamic_;
    std::vector<int> fieldColumn_;  // field index -> column index, -1 unbound
    std::vector<ResultColumn> columns_;
    int recordCount_ = 0;
    int rowCount_ = 0;  // records shown
    bool active_ = false;

    // Row -> record and record -> row (-1 when not shown); empty = identity.
    std::vector<std::int32_t> order_;
    std::vector<std::int32_t> rowOf_;
    // The records shown, in record order, when subset_.
    std::vector<std::int32_t> shown_;
    bool subset_ = false;
    QString sort_;
    QString filter_;
    bool filtered_ = false;

    int row_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    int disableCount_ = 0;
    bool changedWhileDisabled_ = false;
};

}  // namespace prvc03
