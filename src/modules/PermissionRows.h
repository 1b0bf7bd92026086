#pragma once
// A user's permission rows: the sixteen ADMMH columns of each row (MH001
// first), exactly as the database gives them. Two sets of rows are equal
// when they hold the same rows the same number of times, in any order, each
// value of the same kind and the same value.

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <vector>

class QSqlDatabase;

namespace prvc03 {

class PermissionRows {
  public:
    PermissionRows() = default;
    explicit PermissionRows(std::vector<QVariantList> rows);

    // Every row of the user whose code's literal is `userLiteral`. With
    // `lock`, the rows are held until the running transaction ends, where the
    // database has a way to say so. Raises the database's text.
    static PermissionRows Read(QSqlDatabase& db, const QString& userLiteral, bool lock = false);

    const std::vector<QVariantList>& Rows() const { return rows_; }
    int Count() const { return static_cast<int>(rows_.size()); }
    // Whether every row's MH001 is `code`, value and kind.
    bool AllOfUser(const QVariant& code) const;
    // These rows followed by `other`'s rows, each with MH001 set to `code`.
    PermissionRows PlusRowsOf(const PermissionRows& other, const QVariant& code) const;

    bool operator==(const PermissionRows& other) const;

    // One value as text that tells its kind and its value apart from any
    // other: equal for two values exactly when they are the same.
    static QString ValueKey(const QVariant& value);

  private:
    std::vector<QString> SortedKeys() const;

    std::vector<QVariantList> rows_;
};

}  // namespace prvc03
