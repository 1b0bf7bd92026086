#include "data/CommandTimeout.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace prvc03 {

namespace {

constexpr std::chrono::milliseconds kProductionBound{30000};
std::atomic<long long> testBoundMs{0};

// The watching thread and the statements it watches. A cancel runs with the
// mutex held, so a watch that ends waits for it.
class Watcher {
  public:
    static Watcher& Instance() {
        static Watcher watcher;
        return watcher;
    }
    ~Watcher() { Stop(); }

    unsigned long long Arm(std::chrono::steady_clock::time_point deadline,
                           std::function<void()> cancel) {
        std::unique_lock<std::mutex> lock(mutex_);
        const unsigned long long id = ++lastId_;
        entries_.emplace(id, Entry{deadline, std::move(cancel), false});
        if (!thread_.joinable()) {
            stopping_ = false;
            thread_ = std::thread([this] { Run(); });
        }
        wake_.notify_one();
        return id;
    }

    // Ends a watch; true when its cancel ran.
    bool Disarm(unsigned long long id) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto found = entries_.find(id);
        if (found == entries_.end()) {
            return false;
        }
        const bool fired = found->second.fired;
        entries_.erase(found);
        return fired;
    }

    bool Fired(unsigned long long id) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto found = entries_.find(id);
        return found != entries_.end() && found->second.fired;
    }

    void Stop() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
            wake_.notify_one();
        }
        if (thread_.joinable()) {
            thread_.join();
        }
    }

  private:
    struct Entry {
        std::chrono::steady_clock::time_point deadline;
        std::function<void()> cancel;
        bool fired;
    };

    void Run() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!stopping_) {
            auto next = std::chrono::steady_clock::time_point::max();
            const auto now = std::chrono::steady_clock::now();
            for (auto& [id, entry] : entries_) {
                if (entry.fired) {
                    continue;
                }
                if (entry.deadline <= now) {
                    entry.fired = true;
                    entry.cancel();
                } else if (entry.deadline < next) {
                    next = entry.deadline;
                }
            }
            if (next == std::chrono::steady_clock::time_point::max()) {
                wake_.wait(lock);
            } else {
                wake_.wait_until(lock, next);
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::map<unsigned long long, Entry> entries_;
    unsigned long long lastId_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace

std::chrono::milliseconds CommandTimeout() {
    const long long test = testBoundMs.load();
    return test > 0 ? std::chrono::milliseconds(test) : kProductionBound;
}

void SetCommandTimeoutForTests(std::chrono::milliseconds bound) {
    testBoundMs.store(bound.count() > 0 ? bound.count() : 0);
}

QString TimeoutExplanation() {
    const double seconds = static_cast<double>(CommandTimeout().count()) / 1000.0;
    return QStringLiteral("数据库执行超过 %1 秒，已取消：").arg(seconds);
}

CommandWatch::CommandWatch(std::chrono::steady_clock::time_point deadline,
                           std::function<void()> cancel)
    : id_(Watcher::Instance().Arm(deadline, std::move(cancel))) {}

CommandWatch::~CommandWatch() {
    Watcher::Instance().Disarm(id_);
}

bool CommandWatch::Fired() const {
    return Watcher::Instance().Fired(id_);
}

void StopCommandWatcher() {
    Watcher::Instance().Stop();
}

}  // namespace prvc03
