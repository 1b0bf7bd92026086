#include "data/SqliteStatementStop.h"

namespace prvc03 {

namespace {

// Virtual-machine steps between two looks at the flag: often enough to stop
// within a millisecond, rarely enough to cost nothing measurable.
constexpr int kStepsPerLook = 1000;

}  // namespace

SqliteStatementStop::SqliteStatementStop(sqlite3* db, const std::atomic<bool>& stop)
    : db_(db), stop_(stop) {
    sqlite3_progress_handler(db_, kStepsPerLook, &SqliteStatementStop::OnProgress, this);
}

SqliteStatementStop::~SqliteStatementStop() {
    sqlite3_progress_handler(db_, 0, nullptr, nullptr);
}

int SqliteStatementStop::OnProgress(void* self) {
    return static_cast<SqliteStatementStop*>(self)->stop_.load(std::memory_order_relaxed) ? 1 : 0;
}

}  // namespace prvc03
