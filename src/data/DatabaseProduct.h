#pragma once
// Which database product a connection reaches, whatever Qt driver reaches
// it: QODBC reaches SQL Server in production and PostgreSQL or SQLite in the
// tests, so dialect choices are made by product, never by driver name.

#include <QString>

class QSqlDatabase;

namespace prvc03 {

enum class DatabaseProduct { Unknown, SqlServer, Sybase, PostgreSQL, SQLite, MySQL, Oracle, Other };

// The product behind `db`: Qt's own answer where it knows one, otherwise, on
// an ODBC connection, the driver's DBMS name. Unknown for a closed or
// invalid connection.
DatabaseProduct ProductOf(const QSqlDatabase& db);
// The product a DBMS name stands for.
DatabaseProduct ProductFromDbmsName(const QString& name);
const char* ProductName(DatabaseProduct product);
// The two-argument null function of the product the connection reaches:
// isnull on SQL Server and Sybase, ifnull on SQLite, coalesce elsewhere.
QString NullFunctionName(const QSqlDatabase& db);

// Refuses a statement that the connection's driver would not pass on
// unchanged. The SQLite ODBC driver turns each half of a UTF-16 surrogate
// pair into a character of its own, and SQLite then reads the unit after a
// lone surrogate as its partner, so a quote behind it would vanish from the
// statement: characters outside the Basic Multilingual Plane are refused on
// that path.
void CheckStatementForDriver(const QSqlDatabase& db, const QString& statement);

}  // namespace prvc03
