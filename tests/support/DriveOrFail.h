#pragma once
// Runs a test's drive of a modal window from a timer inside that window's
// loop. Whatever the drive raises (reading a dataset the window closed
// after a failed statement, say) fails the test and closes the window: it
// must never escape into Qt's event loop, which would only say that it
// caught one. Every wait of the suites for a window gives up after
// kWaitDeadlineMs, fails with what it waited for and closes the modal window
// in the way, so that its loop ends instead of hanging the suite.

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <string>

namespace prvc03::test {

inline constexpr int kWaitDeadlineMs = 10000;

// Fails the test with what a wait did not see in time and closes the modal
// window that runs instead, if any.
inline void FailWaitingFor(const std::string& what) {
    ADD_FAILURE() << what << " did not show within " << kWaitDeadlineMs << " ms";
    if (QWidget* other = QApplication::activeModalWidget()) {
        other->close();
    }
}

inline void DriveOrFail(const std::function<void()>& drive, QWidget* window) {
    try {
        drive();
        return;
    } catch (const std::exception& error) {
        ADD_FAILURE() << "driving the window raised: " << error.what();
    } catch (...) {
        ADD_FAILURE() << "driving the window raised an unknown error";
    }
    if (window != nullptr) {
        window->close();
    }
}

}  // namespace prvc03::test
