#pragma once
// The copy window's copy step, shared by the copy cases on every database.

#include <QSqlDatabase>
#include <QString>

namespace prvc03::bench {

// Reads what the copy reads: the source user and its permission rows.
QString WarmStatement(const QString& source);

// The window on `db` (as the session connection while it runs) with the
// source user typed in and `targets` target lines; the copy step timed, its
// messages checked. The caller has removed the targets' rows.
double WindowCopy(int targets, const QString& source, QSqlDatabase& db);

// Frees the report that each copy leaves open.
void CloseReports();

}  // namespace prvc03::bench
