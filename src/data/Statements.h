#pragma once
// Statements on a database connection, each through the reader that suits
// its driver: the two helpers the windows share on the session's connection
// (ExecuteSQL, QueryFirstRow) and what they are built on, which takes the
// connection as an argument.

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <optional>
#include <vector>

#include "session/VariantArray.h"

class QSqlDatabase;

namespace prvc03 {

// Runs a statement on `db` and returns the rows it affected (-1 when the
// driver cannot tell); raises the database's text.
qint64 RunStatement(QSqlDatabase& db, const QString& statement);
// The first record of `statement` on `db`, Null columns as Empty; nothing
// when there is no record. Raises the database's text.
std::optional<VariantArray> FirstRow(QSqlDatabase& db, const QString& statement);

// Runs a statement that returns no records on the session's connection; on
// failure reports the error to the host and returns false. A blank statement
// returns false silently.
bool ExecuteSQL(const QString& statement);
// What ExecuteSQL on a given connection found.
struct ExecuteOutcome {
    bool ok = false;
    qint64 rows = -1;  // rows the statement affected; -1 when the driver cannot tell
    QString error;     // the database's text when it failed
};
// ExecuteSQL on `db`: a failure is reported to the host and its text kept.
ExecuteOutcome ExecuteSQLOn(QSqlDatabase& db, const QString& statement);
// Returns the first record, Null columns as Empty; nothing when no record.
// Errors reach the caller, with Result left empty.
void QueryFirstRow(const QString& statement, std::optional<VariantArray>& result);

// Every record of `statement` on `db`, `bound` bound to its "?" in order:
// each value as the driver gives it with high precision (exact numerics as
// text, never through double), NULL as a null QVariant. Raises the
// database's text.
std::vector<QVariantList> AllRows(QSqlDatabase& db, const QString& statement,
                                  const QVariantList& bound = {});
// Runs `statement` once for each entry of `rows`, that entry's values bound
// to its "?" in order; returns the rows affected in all (-1 when the driver
// cannot tell). Stops at the first failure and raises the database's text.
qint64 RunForEachRow(QSqlDatabase& db, const QString& statement,
                     const std::vector<QVariantList>& rows);
// After a rollback that failed: ends the transaction the driver may still
// hold open, by rolling it back, and puts the connection back into
// autocommit (QODBC leaves its autocommit attribute off when the driver's
// rollback fails). Never commits: on a live ODBC connection whose rollback
// keeps failing, autocommit stays off. Returns whether the connection is in
// autocommit now.
bool RestoreAutocommit(QSqlDatabase& db);

}  // namespace prvc03
