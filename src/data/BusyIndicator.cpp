#include "data/BusyIndicator.h"

#include <QCoreApplication>
#include <QThread>

namespace prvc03 {

namespace {

BusyHook& Hook() {
    static BusyHook hook;
    return hook;
}

int depth = 0;
bool shown = false;  // the hook heard a start it has not heard the end of

// Only the thread of the windows shows the cursor; a statement on another
// thread is shown by whoever waits for it there.
bool OnWindowThread() {
    const QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && QThread::currentThread() == application->thread();
}

}  // namespace

void SetBusyHook(BusyHook hook) {
    Hook() = std::move(hook);
}

BusyScope::BusyScope() {
    if (OnWindowThread() && depth++ == 0 && Hook()) {
        shown = true;
        Hook()(true);
    }
}

BusyScope::~BusyScope() {
    if (OnWindowThread() && --depth == 0 && shown) {
        shown = false;
        if (Hook()) {
            Hook()(false);
        }
    }
}

}  // namespace prvc03
