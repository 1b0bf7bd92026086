#pragma once
// Drives a modal lookup window from inside its modal loop: the action runs
// once the window of kind W is visible and its show step has built BaseSQL.

#include <QObject>
#include <QTimer>

#include <functional>

namespace prvc03::test {

template <class W>
void WhenShown(QObject* context, std::function<void(W&)> drive) {
    QTimer::singleShot(0, context, [context, drive] {
        W* window = W::Current();
        if (window == nullptr || !window->isVisible() || window->BaseSQL.isEmpty()) {
            WhenShown<W>(context, drive);
            return;
        }
        drive(*window);
    });
}

}  // namespace prvc03::test
