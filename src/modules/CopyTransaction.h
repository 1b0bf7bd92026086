#pragma once
// The copy step of one target line: its own transaction around the one
// INSERT ... SELECT, committed when the statement ran, rolled back
// otherwise. Shared by 确定 and whatever repeats or takes back a copy.

#include <QString>

class QSqlDatabase;

namespace prvc03 {

// What one target line's copy came to.
struct CopyOutcome {
    bool committed = false;
    qint64 rows = -1;  // rows added; -1 when the driver cannot tell
    QString error;     // why it failed: the database's text, or what went wrong
};

// Copies the source user's rows (`sourceText`, the text of Edit1) to the
// user `targetCode` on `db`, inside a transaction of its own. The statement
// runs through ExecuteSQL, so the host receives the report of its failure.
// Never raises: a failure of any step rolls back and is told in the outcome.
// With `onlyMissing`, the rows whose MH002 the target holds are left out.
CopyOutcome CopyToTarget(QSqlDatabase& db, const QString& targetCode, const QString& sourceText,
                         bool onlyMissing = false);

}  // namespace prvc03
