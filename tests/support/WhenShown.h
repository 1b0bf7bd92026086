#pragma once
// Drives a modal lookup window from inside its modal loop: the action runs
// once the window of kind W is visible, its show step has built BaseSQL and
// its result query is not being opened (the window waits for it in an event
// loop of its own, where this timer would otherwise fire).
// A window that does not get there within the deadline fails the test and is
// closed, so its modal loop ends instead of hanging the suite.

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "data/QueryDataset.h"
#include "support/DriveOrFail.h"

namespace prvc03::test {

inline constexpr int kShowDeadlineMs = 30000;

template <class W>
void WhenShown(QObject* context, std::function<void(W&)> drive,
               QDeadlineTimer deadline = QDeadlineTimer(kShowDeadlineMs)) {
    QTimer::singleShot(0, context, [context, drive, deadline] {
        W* window = W::Current();
        if (window == nullptr || !window->isVisible() || window->BaseSQL.isEmpty() ||
            window->QryFhelp->Opening()) {
            if (deadline.hasExpired()) {
                ADD_FAILURE() << "the lookup window did not show its records in time";
                if (window != nullptr) {
                    window->close();
                }
                return;
            }
            WhenShown<W>(context, drive, deadline);
            return;
        }
        DriveOrFail([&] { drive(*window); }, window);
    });
}

}  // namespace prvc03::test
