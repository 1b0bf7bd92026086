#pragma once
// While a statement of the module steps on a SQLite connection, a progress
// handler of the module's own ends the step once `stop` is set: only the
// statement that is stepping ends, with SQLITE_INTERRUPT. sqlite3_interrupt
// would act on the whole connection instead, and stay in force for as long
// as any statement of it is partly read, a host's query included, so that
// the host's query and every later statement would fail as well. The
// handler is removed again afterwards.

#include <sqlite3.h>

#include <atomic>

namespace prvc03 {

class SqliteStatementStop {
  public:
    SqliteStatementStop(sqlite3* db, const std::atomic<bool>& stop);
    ~SqliteStatementStop();
    SqliteStatementStop(const SqliteStatementStop&) = delete;
    SqliteStatementStop& operator=(const SqliteStatementStop&) = delete;

  private:
    static int OnProgress(void* self);

    sqlite3* db_;
    const std::atomic<bool>& stop_;
};

}  // namespace prvc03
