#pragma once
// The four database configurations the lookup and copy goals are measured
// on, each with its raw client for the baselines: SQLite through QSQLITE
// (raw: the sqlite3 API on the connection's own handle), PostgreSQL through
// QPSQL (raw: a libpq connection of its own), and QODBC to both, PostgreSQL
// through psqlODBC and the SQLite file through the SQLite3 ODBC driver (raw:
// ODBC on the connection's own handle). The PostgreSQL ones need
// PRVC03_PG_CONNINFO.

#include <QSqlDatabase>
#include <QString>

#include <vector>

namespace benchmark {
class State;
}

namespace prvc03::bench {

enum Config { kSqlite = 0, kPostgres = 1, kOdbcPostgres = 2, kOdbcSqlite = 3 };
inline constexpr int kConfigCount = 4;

const char* ConfigName(int config);
// Whether the configuration can run in this run (the server ones need it);
// otherwise marks `state` skipped.
bool ConfigAvailable(int config, benchmark::State& state);
// The configuration's connection, through its Qt driver.
QSqlDatabase& ConfigDb(int config);
// The lookup table of `rows` rows in the configuration's database.
QString ConfigLookupTable(int config, int rows);
// The lookup's statement read into the result store by the raw client.
double ConfigRawFetch(int config, const QString& sql, int rows);

// The copy tables in the configuration's database.
void ConfigEnsureCopyTables(int config);
// Removes the target users' permission rows (on SQLite through the
// configuration's own connection).
void ConfigResetTargets(int config);
// Runs a statement on the raw client (outside any clock).
void ConfigRawExec(int config, const QString& sql);
// The copy's statements by the raw client, one transaction each.
double ConfigRawCopy(int config, const std::vector<QString>& statements);
// Raises unless the target users hold `targets` x `rows` permission rows
// in all.
void ConfigCheckCopied(int config, int targets, int rows);

// The session connection is `db` for the life of the object, as when the
// host hands the module that connection.
class SessionOn {
  public:
    explicit SessionOn(QSqlDatabase& db);
    ~SessionOn();
    SessionOn(const SessionOn&) = delete;
    SessionOn& operator=(const SessionOn&) = delete;

  private:
    QSqlDatabase* before_;
};

}  // namespace prvc03::bench
