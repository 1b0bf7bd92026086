#pragma once
// Drives a modal window from inside its modal loop: the action runs once a
// window of class W is the active modal window and visible, or fails the
// test when none is by the deadline.

#include <QApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "support/DriveOrFail.h"

namespace prvc03::test {

template <class W>
void WhenModal(QObject* context, std::function<void(W&)> drive,
               QDeadlineTimer deadline = QDeadlineTimer(kWaitDeadlineMs)) {
    QTimer::singleShot(0, context, [context, drive, deadline] {
        auto* window = qobject_cast<W*>(QApplication::activeModalWidget());
        if (window == nullptr || !window->isVisible()) {
            if (deadline.hasExpired()) {
                FailWaitingFor(std::string("a modal ") + W::staticMetaObject.className());
                return;
            }
            WhenModal<W>(context, drive, deadline);
            return;
        }
        DriveOrFail([&] { drive(*window); }, window);
    });
}

}  // namespace prvc03::test
