#include "data/BackgroundWork.h"

namespace prvc03 {

BackgroundWork::BackgroundWork(std::function<void()> work) : work_(std::move(work)) {}

BackgroundWork::~BackgroundWork() {
    Join();
}

void BackgroundWork::Start() {
    thread_ = std::thread([this] {
        try {
            work_();
        } catch (...) {
            error_ = std::current_exception();
        }
        done_.store(true);
        QMetaObject::invokeMethod(this, &BackgroundWork::Done, Qt::QueuedConnection);
    });
}

void BackgroundWork::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void BackgroundWork::Rethrow() {
    Join();
    if (error_) {
        std::rethrow_exception(error_);
    }
}

}  // namespace prvc03
