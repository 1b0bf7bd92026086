#pragma once
// The bound on every statement the module runs. Everything runs on the
// host's GUI thread, so a statement that waits on another session's lock
// would freeze the host; each statement is given 30 seconds, as the query
// objects of the original data layer had. A thread of the module's own that
// only cancels watches the bound: when a statement has not returned by then,
// it asks the driver to stop it (PQcancel, SQLCancel; on SQLite the
// statement's own step ends by a progress handler), so nothing is sent to
// the server but the statement itself and the host's session settings stay
// as they were.

#include <QString>

#include <chrono>
#include <functional>

namespace prvc03 {

// 30 seconds, or what a test has set.
std::chrono::milliseconds CommandTimeout();
// For tests: a shorter bound; zero or less restores 30 seconds.
void SetCommandTimeoutForTests(std::chrono::milliseconds bound);
// "数据库执行超过 30 秒，已取消：", with the bound in force.
QString TimeoutExplanation();

// Watches one statement: once `deadline` passes, `cancel` runs on the
// watching thread, unless the watch has ended first. Ending the watch waits
// for a cancel that is running, so afterwards nothing the cancel uses is
// touched any more.
class CommandWatch {
  public:
    CommandWatch(std::chrono::steady_clock::time_point deadline, std::function<void()> cancel);
    ~CommandWatch();
    CommandWatch(const CommandWatch&) = delete;
    CommandWatch& operator=(const CommandWatch&) = delete;

    // Whether the deadline passed and the cancel ran.
    bool Fired() const;

  private:
    unsigned long long id_;
};

// Stops the watching thread (it starts again when needed). The library's
// unload calls it, so no thread of the module outlives its code.
void StopCommandWatcher();

}  // namespace prvc03
