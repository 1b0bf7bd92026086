#pragma once
// The command bound for work that goes through Qt's own driver on a
// connection (a transaction's begin and end, statements with bound values):
// from construction to destruction the work is watched, and at the deadline
// the driver is asked to stop it — on SQLite the work's own step ends (its
// lock waits as well), PostgreSQL's statement cancelled, over ODBC the statement handle the
// work runs on cancelled, where the caller has one. ODBC's transaction calls
// run on the connection handle, which nothing can cancel.

#include <QSqlDatabase>

#include <sql.h>

#include <atomic>
#include <chrono>
#include <memory>

namespace prvc03 {

class CommandWatch;
class SqliteBusyBound;
class SqliteStatementStop;

class ConnectionWatch {
  public:
    explicit ConnectionWatch(QSqlDatabase& db, SQLHSTMT odbcStatement = nullptr);
    ~ConnectionWatch();
    ConnectionWatch(const ConnectionWatch&) = delete;
    ConnectionWatch& operator=(const ConnectionWatch&) = delete;

    // Whether the bound ran out while the work ran.
    bool TimedOut() const;

  private:
    struct PostgresCancel;

    std::chrono::steady_clock::time_point deadline_;
    std::atomic<bool> stop_{false};
    std::unique_ptr<SqliteBusyBound> sqlite_;
    std::unique_ptr<SqliteStatementStop> sqliteStop_;
    std::unique_ptr<PostgresCancel> postgres_;
    std::unique_ptr<CommandWatch> watch_;  // ends first, before what it cancels
};

// The ODBC statement handle a QSqlQuery on QODBC works on, once it has one
// (after prepare or exec); null for other drivers.
SQLHSTMT OdbcStatementOf(const class QSqlQuery& query);

}  // namespace prvc03
