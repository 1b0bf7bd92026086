#pragma once
// Reads a message box while it runs its modal loop: the action gets the box
// once it is the active modal window, then the box is answered with the
// button the action returns (its escape button when the action returns
// none). A box that does not show by the deadline fails the test.

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "support/DefaultLocale.h"
#include "support/DriveOrFail.h"

namespace prvc03::test {

inline void WhenMessageBox(QObject* context, std::function<QAbstractButton*(QMessageBox&)> read,
                           QDeadlineTimer deadline = QDeadlineTimer(kWaitDeadlineMs)) {
    QTimer::singleShot(0, context, [context, read, deadline] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            if (deadline.hasExpired()) {
                FailWaitingFor("a message box");
                return;
            }
            WhenMessageBox(context, read, deadline);
            return;
        }
        QAbstractButton* answer = nullptr;
        DriveOrFail([&] { answer = read(*box); }, nullptr);
        if (answer == nullptr) {
            answer = box->escapeButton() != nullptr ? box->escapeButton() : box->buttons().value(0);
        }
        answer->click();
    });
}

// The texts of the box's buttons, in the order they were added.
inline QStringList ButtonTexts(const QMessageBox& box) {
    QStringList texts;
    for (const QAbstractButton* button : box.buttons()) {
        texts << button->text();
    }
    return texts;
}

// The next message box's text followed by its buttons' texts, read while it
// shows and answered with its escape button; empty until a box has shown.
inline std::shared_ptr<QStringList> RecordNextMessageBox(QObject* context) {
    auto seen = std::make_shared<QStringList>();
    WhenMessageBox(context, [seen](QMessageBox& box) {
        *seen = ButtonTexts(box);
        seen->prepend(box.text());
        return nullptr;
    });
    return seen;
}

}  // namespace prvc03::test
