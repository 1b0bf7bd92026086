#pragma once
// Records every statement SQLite runs on a connection, as it reached the
// database.

#include <QSqlDatabase>
#include <QStringList>

namespace prvc03::test {

class StatementTrace {
  public:
    explicit StatementTrace(QSqlDatabase& db);
    ~StatementTrace();
    StatementTrace(const StatementTrace&) = delete;
    StatementTrace& operator=(const StatementTrace&) = delete;

    QStringList statements;
    // The statements that start with `prefix` (case ignored).
    QStringList Starting(const QString& prefix) const;

  private:
    void* handle_ = nullptr;
};

}  // namespace prvc03::test
