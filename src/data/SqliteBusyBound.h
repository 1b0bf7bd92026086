#pragma once
// While a statement of the module runs on a SQLite connection, waiting for
// another connection's lock ends at the statement's deadline, or when it is
// stopped, or when the host's own busy timeout would have ended it.
// No progress handler runs during such a wait, hence a busy handler of the
// module's own for that time. Afterwards the host's busy timeout is in force
// again, exactly as it was (PRAGMA busy_timeout before and after agree). The
// host's timeout is read outside transactions only.

#include <sqlite3.h>

#include <atomic>
#include <chrono>

namespace prvc03 {

class SqliteBusyBound {
  public:
    SqliteBusyBound(sqlite3* db, std::chrono::steady_clock::time_point deadline,
                    const std::atomic<bool>& stop);
    ~SqliteBusyBound();
    SqliteBusyBound(const SqliteBusyBound&) = delete;
    SqliteBusyBound& operator=(const SqliteBusyBound&) = delete;

  private:
    static int OnBusy(void* self, int count);

    sqlite3* db_;
    std::chrono::steady_clock::time_point deadline_;
    const std::atomic<bool>& stop_;
    int hostTimeout_ = 0;
    std::chrono::steady_clock::time_point waitStart_;
};

}  // namespace prvc03
