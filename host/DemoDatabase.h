#pragma once
// The host's two tables, ADMMG (users) and ADMMH (user permissions), and the
// demo data that shows every outcome of a copy.

#include <QSqlDatabase>
#include <QString>

namespace prvc03::demo {

// Creates ADMMG and ADMMH (with a key on MH001, MH002) when they are missing.
void CreateSchema(QSqlDatabase& db);
// Fills the demo users and permissions.
void SeedDemo(QSqlDatabase& db);
// Creates and seeds the demo tables unless ADMMG already exists; returns true
// when it created them.
bool EnsureDemoDatabase(QSqlDatabase& db);
// Gives a QPSQL connection the server named by a libpq-style
// "host=... port=... dbname=... user=... password=..." text; other keys become
// connect options.
void ApplyConninfo(QSqlDatabase& db, const QString& conninfo);
// The ODBC connection string of the same server, through the "PostgreSQL
// Unicode" driver.
QString OdbcPostgresConnectionString(const QString& conninfo);
// Runs one statement, raising an error with the database's text on failure.
void Exec(QSqlDatabase& db, const QString& statement);

}  // namespace prvc03::demo
