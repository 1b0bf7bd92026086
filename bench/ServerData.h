#pragma once
// The benchmarks' PostgreSQL server, given by PRVC03_PG_CONNINFO
// (scripts/with-postgres.sh): the same lookup and copy tables as the SQLite
// ones, made once per run with set-based statements, reached three ways:
// the session driver QPSQL, QODBC through psqlODBC, and a raw libpq
// connection for the baselines.

#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <vector>

typedef struct pg_conn PGconn;

namespace prvc03::bench {

class ServerData {
  public:
    // Null when PRVC03_PG_CONNINFO is not set; made on first use.
    static ServerData* Get();
    static void Shutdown();
    ~ServerData();
    ServerData(const ServerData&) = delete;
    ServerData& operator=(const ServerData&) = delete;

    QSqlDatabase& Native() { return native_; }  // QPSQL
    QSqlDatabase& Odbc() { return odbc_; }      // QODBC, psqlODBC
    PGconn* Raw() const { return raw_; }
    QString Version() const;

    // LK<rows> as BenchData::LookupTable makes it, same shape and mix.
    QString LookupTable(int rows);
    // ADMMG and ADMMH as BenchData::EnsureCopyTables makes them.
    void EnsureCopyTables();
    // Removes the target users' permission rows and the dead rows they
    // leave, so that every copy finds the table in the same state.
    void ResetTargets();

    // Runs a statement on the raw connection; raises the server's text.
    void Exec(const char* sql) const;

  private:
    explicit ServerData(const QString& conninfo);

    QSqlDatabase native_;
    QSqlDatabase odbc_;
    PGconn* raw_ = nullptr;
    std::vector<int> made_;
    bool copyTables_ = false;
};

}  // namespace prvc03::bench
