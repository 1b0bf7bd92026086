#include "forms/KeyPreview.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include "forms/KeyDownHook.h"
#include "session/Errors.h"

namespace prvc03 {

namespace {

// The character a key types, 0 for none (or none below 128).
char KeyChar(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Escape:
            return kCharEscape;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kCharEnter;
        case Qt::Key_Tab:
            return 9;
        case Qt::Key_Backspace:
            return 8;
        default:
            break;
    }
    const QString text = event.text();
    if (text.size() == 1 && text.at(0).unicode() > 0 && text.at(0).unicode() < 128) {
        return static_cast<char>(text.at(0).unicode());
    }
    return 0;
}

}  // namespace

KeyPreview::KeyPreview(QWidget* window, KeyDownHandler keyDown, KeyPressHandler keyPress)
    : window_(window), keyDown_(std::move(keyDown)), keyPress_(std::move(keyPress)) {
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->installEventFilter(this);
    }
}

KeyPreview::~KeyPreview() {
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->removeEventFilter(this);
    }
}

bool KeyPreview::IsPropagationStep(const QKeyEvent& event, QObject* receiver) const {
    if (&event != last_.event || last_.receiver.isNull() || event.key() != last_.key ||
        event.modifiers() != last_.modifiers) {
        return false;
    }
    for (QObject* p = last_.receiver->parent(); p != nullptr; p = p->parent()) {
        if (p == receiver) {
            return true;
        }
    }
    return false;
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != window_) {
        return QObject::eventFilter(watched, event);
    }
    const auto& key = static_cast<const QKeyEvent&>(*event);
    // A key that a control ignored travels on to its parents; the preview
    // has already seen it at the first one.
    if (IsPropagationStep(key, watched)) {
        last_.receiver = watched;
        if (watched == window_) {
            last_.event = nullptr;
        }
        return false;
    }
    last_ = Delivery{event, watched, key.key(), key.modifiers()};
    const QPointer<KeyPreview> self(this);
    bool consumed = false;
    RunHandler([&] { consumed = Preview(key); });
    if (!self) {
        return true;
    }
    if (consumed || watched == window_) {
        last_.event = nullptr;
    }
    return consumed;
}

bool KeyPreview::Preview(const QKeyEvent& event) {
    const QPointer<KeyPreview> self(this);
    int virtualKey = VirtualKey(event.key());
    if (virtualKey != 0) {
        keyDown_(virtualKey, event.modifiers());
        if (!self || virtualKey == 0) {
            return true;
        }
    }
    char character = KeyChar(event);
    if (character != 0) {
        keyPress_(character);
        if (!self || character == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace prvc03
