#pragma once
// The statement texts a lookup window sends: the base SELECT, the condition
// search, the order text and the quick search. Plain functions over the
// caller's column description, so they are tested without a window.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "data/Field.h"

namespace prvc03 {

// Trimmed origin, ".", trimmed field name: ADMMG.MG001.
QString FieldReference(const Field& field);

// "SELECT O.N AS L, ... FROM ..." from the caller's fields and FROM ... WHERE.
QString BuildBaseSQL(const std::vector<Field>& fields, const QString& fromText);

// The nine operator words, in the order the operator list shows them.
const QStringList& ConditionOperators();

// One row of the condition grid, as typed.
struct ConditionRow {
    QString field;  // display label
    QString op;     // one of ConditionOperators()
    QString value;
    QString logic;  // "AND" / "OR"
};

// The condition text of the rows that take part, joined by their logic words,
// with a trailing AND / OR removed. Values are written with their single
// quotes doubled, so no value can end its literal early.
QString BuildConditionText(const std::vector<Field>& fields, const std::vector<ConditionRow>& rows);

// One entry of the sort order list.
struct OrderEntry {
    QString text;  // display label
    bool ascending = true;
};

// "REF ASC,REF DESC" for the entries, in list order; empty when none match.
QString BuildOrderText(const std::vector<Field>& fields, const std::vector<OrderEntry>& entries);

// BaseSQL, " AND (" condition ")" when there is one, " ORDER BY " order text
// when there is one. The parentheses keep an OR inside the condition from
// escaping the caller's own WHERE restriction.
QString BuildConditionStatement(const QString& baseSQL, const QString& conditionText,
                                const QString& orderText);

// The quick search's modes, named by the drop-down button's caption.
// The pinyin mode filters the rows held in memory and sends nothing.
enum class SearchMode { Research, Fuzzy, Pinyin, Advanced };
inline const QString kModeResearch = QStringLiteral("重新查找");
inline const QString kModeFuzzy = QStringLiteral("模糊查找");
inline const QString kModePinyin = QStringLiteral("拼音查找");
inline const QString kModeAdvanced = QStringLiteral("高级查找");
// The mode a caption names; anything unknown reads as re-search.
SearchMode SearchModeOf(const QString& caption);

// The quick search's statement, or nothing in the pinyin and advanced modes.
std::optional<QString> BuildQuickSearchStatement(const QString& baseSQL, SearchMode mode,
                                                 const QString& fieldReference,
                                                 const QString& value);

}  // namespace prvc03
