#include "widgets/DropDownButton.h"

#include <QKeyEvent>
#include <QMenu>

namespace prvc03 {

DropDownButton::DropDownButton(QWidget* parent) : QToolButton(parent) {
    setPopupMode(QToolButton::MenuButtonPopup);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

void DropDownButton::SetCaption(const QString& caption) {
    setText(caption);
    UpdateAccessibleName();
}

void DropDownButton::SetPurpose(const QString& purpose) {
    purpose_ = purpose;
    UpdateAccessibleName();
}

void DropDownButton::UpdateAccessibleName() {
    if (!purpose_.isEmpty()) {
        setAccessibleName(purpose_ + QStringLiteral("：") + text());
    }
}

void DropDownButton::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool opens = (event->key() == Qt::Key_F4 && modifiers == Qt::NoModifier) ||
                       (event->key() == Qt::Key_Down && modifiers == Qt::AltModifier);
    if (opens && menu() != nullptr) {
        event->accept();
        showMenu();
        return;
    }
    QToolButton::keyPressEvent(event);
}

}  // namespace prvc03
