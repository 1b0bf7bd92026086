#pragma once
// Runs a test's drive of a modal window from a timer inside that window's
// loop. Whatever the drive raises (reading a dataset the window closed
// after a failed statement, say) fails the test and closes the window: it
// must never escape into Qt's event loop, which would only say that it
// caught one.

#include <QWidget>

#include <gtest/gtest.h>

#include <exception>
#include <functional>

namespace prvc03::test {

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
