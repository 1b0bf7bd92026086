#pragma once
// The window-free rules of the lookup windows: the result fields of the
// multi-select window, the title-button sort, the picked rows handed back
// and the status bar texts.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "data/Field.h"
#include "lookup/LookupKind.h"
#include "lookup/PickedList.h"
#include "session/VariantArray.h"

namespace prvc03 {

class QueryDataset;

// The calculated boolean check column: label "选取", display width 4.
Field SelectedField();
// The multi-select window's result field for a caller's field: a string
// field of the same size, a float or an integer field of the same display
// width, named by the trimmed label; nothing for any other type.
std::optional<Field> ResultFieldFor(const Field& source);

// Title-button sort. The remembered sort column is kept as the dataset's
// filter text (filtering stays off); the sort text is the dataset's sort.
class TitleSort {
  public:
    TitleSort(const LookupKind& kind, QueryDataset& query) : kind_(kind), query_(query) {}

    // The sort text after a click on `fieldName` with `current` in force.
    static QString NextSort(const LookupKind& kind, const QString& current,
                            const QString& fieldName);
    // 0 (downward arrow) or 1 (upward arrow) for a column sorted by `sort`.
    static int ImageFor(const LookupKind& kind, const QString& sort);

    // A click on a title: the check column is ignored; otherwise the column
    // is remembered and the records are re-ordered in memory. Raises the
    // dataset's error while it is closed (the column is remembered anyway).
    void Click(const QString& fieldName);
    // The title image of a column, -1 for none.
    int Image(const QString& fieldName) const;
    // How a column is sorted, in words: "升序", "降序", or "未排序".
    QString State(const QString& fieldName) const;
    QString RememberedColumn() const;

  private:
    const LookupKind& kind_;
    QueryDataset& query_;
};

// Multi-select hand-back: rows 0..k-1 in result-set order, columns 1..n (one
// per caller's field, read from result fields 1..n), Null kept as Null.
// Picked records the dataset does not show are left out; nothing when no
// shown record is picked. Moves the cursor to each picked record
// in turn with display updates suspended. Refuses a request with a field
// the window could not give a result field.
std::optional<VariantArray> MultiPickedRows(QueryDataset& query, const PickedList& picks,
                                            const std::vector<Field>& sourceFields);
// Single-select hand-back: the current record's fields 0..m-1, Null as "".
// A closed dataset gives an array without elements (bounds 0 to -1).
VariantArray SinglePickedRow(const QueryDataset& query);

// "0" for an empty result set, otherwise "record／count".
QString RecordCounterText(const QueryDataset& query);
// The first two texts, each without leading and trailing characters of code
// 32 and below (a full-width blank stays), joined by one blank (or the first
// alone).
QString RecordText(const QStringList& dataColumnTexts);

}  // namespace prvc03
