#pragma once
// A user's permission rows: the sixteen ADMMH columns of each row (MH001
// first), exactly as the database gives them. Copies share the rows.

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <memory>
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

    const std::vector<QVariantList>& Rows() const;
    int Count() const { return static_cast<int>(Rows().size()); }

    // Whether these rows are exactly `before`'s rows plus `added`'s rows
    // with one MH001 value in place of theirs, as a multiset of rows: the
    // same rows the same number of times, in any order, every value of the
    // same kind and the same value. (The copy writes the source's rows under
    // the target's code as the database keeps it; the value is taken from
    // these rows, where all the rows beyond `before`'s must share it.)
    bool IsPlus(const PermissionRows& before, const PermissionRows& added) const;

    // One value as text that tells its kind and its value apart from any
    // other: equal for two values exactly when they are the same.
    static QString ValueKey(const QVariant& value);

  private:
    std::shared_ptr<const std::vector<QVariantList>> rows_;
};

}  // namespace prvc03
