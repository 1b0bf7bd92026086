#pragma once
// The baselines: each driver's own client API doing the product's work with
// nothing around it. A lookup's statement read into the result store the
// dataset keeps (ResultColumn text columns, shrunk to size at the end), and
// the copy's BEGIN / INSERT ... SELECT / COMMIT per target. Each returns the
// seconds of its timed part and raises when the work came out wrong.

#include <QString>

#include <sql.h>
#include <sqlext.h>

#include <vector>

struct sqlite3;
typedef struct pg_conn PGconn;

namespace prvc03::bench {

// sqlite3_prepare, sqlite3_step of every row, each column's UTF-16 text
// appended to a text column (NULL as NULL).
double RawSqliteFetch(sqlite3* db, const QString& sql, int expected);
// PQexec of the whole result, each value's UTF-8 text converted into a text
// column.
double RawLibpqFetch(PGconn* connection, const QString& sql, int expected);
// A statement handle on the connection's own ODBC handle: 1,000-row arrays
// of bound text columns, UTF-16 where the driver converts text itself
// (`wide`), otherwise UTF-8 converted on the way in, as the product speaks to
// such a driver.
double RawOdbcFetch(SQLHDBC connection, bool wide, const QString& sql, int expected);

// Per statement: BEGIN, the statement, COMMIT.
double RawSqliteCopy(sqlite3* db, const std::vector<QString>& statements);
double RawLibpqCopy(PGconn* connection, const std::vector<QString>& statements);
// Per statement, as QODBC runs a transaction: manual commit, the statement
// on a fresh statement handle, SQLEndTran, auto-commit again.
double RawOdbcCopy(SQLHDBC connection, bool wide, const std::vector<QString>& statements);

// One statement without records on each raw client, outside any clock.
void RawSqliteExec(sqlite3* db, const QString& sql);
void RawLibpqExec(PGconn* connection, const QString& sql);
void RawOdbcExec(SQLHDBC connection, bool wide, const QString& sql);

}  // namespace prvc03::bench
