#include "data/SqliteBusyBound.h"

#include <thread>

namespace prvc03 {

SqliteBusyBound::SqliteBusyBound(sqlite3* db, std::chrono::steady_clock::time_point deadline,
                                 const std::atomic<bool>& stop)
    : db_(db), deadline_(deadline), stop_(stop) {
    sqlite3_stmt* pragma = nullptr;
    if (sqlite3_prepare_v2(db_, "PRAGMA busy_timeout", -1, &pragma, nullptr) == SQLITE_OK &&
        sqlite3_step(pragma) == SQLITE_ROW) {
        hostTimeout_ = sqlite3_column_int(pragma, 0);
    }
    sqlite3_finalize(pragma);
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
