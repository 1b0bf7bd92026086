#include "data/SqliteBusyBound.h"

#include <map>
#include <mutex>
#include <thread>

namespace prvc03 {

namespace {

// The host's busy timeout of each connection, as last read. Inside a
// transaction the value read before it holds (the host runs nothing on the
// connection while the module's statements do), so the module's
// transactions hold the copy's statements and nothing else.
std::mutex knownMutex;
std::map<sqlite3*, int>& KnownTimeouts() {
    static std::map<sqlite3*, int> known;
    return known;
}

int HostBusyTimeout(sqlite3* db) {
    const std::lock_guard<std::mutex> lock(knownMutex);
    const auto known = KnownTimeouts().find(db);
    if (sqlite3_get_autocommit(db) == 0 && known != KnownTimeouts().end()) {
        return known->second;
    }
    int timeout = 0;
    sqlite3_stmt* pragma = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA busy_timeout", -1, &pragma, nullptr) == SQLITE_OK &&
        sqlite3_step(pragma) == SQLITE_ROW) {
        timeout = sqlite3_column_int(pragma, 0);
    }
    sqlite3_finalize(pragma);
    KnownTimeouts()[db] = timeout;
    return timeout;
}

}  // namespace

SqliteBusyBound::SqliteBusyBound(sqlite3* db, std::chrono::steady_clock::time_point deadline,
                                 const std::atomic<bool>& stop)
    : db_(db), deadline_(deadline), stop_(stop), hostTimeout_(HostBusyTimeout(db)) {
    sqlite3_busy_handler(db_, &SqliteBusyBound::OnBusy, this);
}

SqliteBusyBound::~SqliteBusyBound() {
    sqlite3_busy_timeout(db_, hostTimeout_);
}

int SqliteBusyBound::OnBusy(void* self, int count) {
    auto* bound = static_cast<SqliteBusyBound*>(self);
    const auto now = std::chrono::steady_clock::now();
    if (count == 0) {
        bound->waitStart_ = now;
    }
    if (bound->stop_.load(std::memory_order_relaxed) || now >= bound->deadline_ ||
        now - bound->waitStart_ >= std::chrono::milliseconds(bound->hostTimeout_)) {
        return 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(count < 10 ? 1 : 10));
    return 1;
}

}  // namespace prvc03
