#pragma once
// Transactions on a connection as Qt's driver runs them (BEGIN, COMMIT and
// ROLLBACK on SQLite and PostgreSQL; the autocommit attribute and
// SQLEndTran on ODBC), each step shown busy and bounded by the command
// timeout where the driver can be stopped. Each returns what
// QSqlDatabase's own call returns; its error stays in lastError().

class QSqlDatabase;

namespace prvc03 {

bool BeginTransaction(QSqlDatabase& db);
bool CommitTransaction(QSqlDatabase& db);
bool RollbackTransaction(QSqlDatabase& db);

}  // namespace prvc03
