#pragma once
// Drives a modal window from inside its modal loop: the action runs once a
// window of class W is the active modal window and visible.

#include <QApplication>
#include <QObject>
#include <QTimer>

#include <functional>

#include "support/DriveOrFail.h"

namespace prvc03::test {

template <class W>
void WhenModal(QObject* context, std::function<void(W&)> drive) {
    QTimer::singleShot(0, context, [context, drive] {
        auto* window = qobject_cast<W*>(QApplication::activeModalWidget());
        if (window == nullptr || !window->isVisible()) {
            WhenModal<W>(context, drive);
            return;
        }
        DriveOrFail([&] { drive(*window); }, window);
    });
}

}  // namespace prvc03::test
