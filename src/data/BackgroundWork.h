#pragma once
// One piece of database work on a thread of its own, so that the thread of
// the windows can go on painting while a statement waits or reads. The work
// holds the connection meanwhile: the thread that started it touches nothing
// of the connection until Done. Destroying the object waits for the work, so
// no work ever outlives what it reads into. The module's only other thread
// is the one that cancels statements at their deadline.

#include <QObject>

#include <atomic>
#include <exception>
#include <functional>
#include <thread>

namespace prvc03 {

class BackgroundWork final : public QObject {
    Q_OBJECT
  public:
    explicit BackgroundWork(std::function<void()> work);
    ~BackgroundWork() override;
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    void Start();
    bool IsDone() const { return done_.load(); }
    // Waits for the work without taking part in any event loop.
    void Join();
    // Raises what the work raised, once it is done.
    void Rethrow();

  Q_SIGNALS:
    // Sent to the starting thread's event loop when the work has returned.
    void Done();

  private:
    std::function<void()> work_;
    std::thread thread_;
    std::exception_ptr error_;
    std::atomic<bool> done_{false};
};

// How a dataset waits for its read: a window installs one that keeps the
// host painting and offers a cancel. Wait returns once `work` is done.
class ReadWait {
  public:
    virtual ~ReadWait() = default;
    // `rowsRead` tells the rows read so far (-1 while unknown); `cancel`
    // asks the driver to stop.
    virtual void Wait(BackgroundWork& work, const std::function<qint64()>& rowsRead,
                      const std::function<void()>& cancel) = 0;
};

}  // namespace prvc03
