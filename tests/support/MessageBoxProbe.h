#pragma once
// Reads a message box while it runs its modal loop: the action gets the box
// once it is the active modal window, then the box is answered with the
// button the action returns (its escape button when the action returns
// none). A locale made the default for one scope.

#include <QAbstractButton>
#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <functional>

#include <memory>
#include "support/DriveOrFail.h"

namespace prvc03::test {

inline void WhenMessageBox(QObject* context, std::function<QAbstractButton*(QMessageBox&)> read) {
    QTimer::singleShot(0, context, [context, read] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            WhenMessageBox(context, read);
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

class DefaultLocale {
  public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(saved_); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

  private:
    QLocale saved_;
};

inline const QLocale kChina(QLocale::Chinese, QLocale::China);
inline const QLocale kUnitedStates(QLocale::English, QLocale::UnitedStates);

}  // namespace prvc03::test
