#include "forms/KeyDownHook.h"

#include <QKeyEvent>
#include <QWidget>

#include "platform/Windows.h"

namespace prvc03 {

int VirtualKey(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Escape:
            return platform::VK_ESCAPE;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return platform::VK_RETURN;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return platform::VK_TAB;
        case Qt::Key_Backspace:
            return platform::VK_BACK;
        case Qt::Key_Space:
            return platform::VK_SPACE;
        case Qt::Key_PageUp:
            return platform::VK_PRIOR;
        case Qt::Key_PageDown:
            return platform::VK_NEXT;
        case Qt::Key_End:
            return platform::VK_END;
        case Qt::Key_Home:
            return platform::VK_HOME;
        case Qt::Key_Left:
            return platform::VK_LEFT;
        case Qt::Key_Up:
            return platform::VK_UP;
        case Qt::Key_Right:
            return platform::VK_RIGHT;
        case Qt::Key_Down:
            return platform::VK_DOWN;
        case Qt::Key_Insert:
            return platform::VK_INSERT;
        case Qt::Key_Delete:
            return platform::VK_DELETE;
        case Qt::Key_Shift:
            return platform::VK_SHIFT;
        case Qt::Key_Control:
            return platform::VK_CONTROL;
        case Qt::Key_Alt:
            return platform::VK_MENU;
        default:
            break;
    }
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) {
        return qtKey;  // the same codes as the virtual keys
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return platform::VK_F1 + (qtKey - Qt::Key_F1);
    }
    return 0;
}

KeyDownHook::KeyDownHook(QWidget* control) : QObject(control) {
    control->installEventFilter(this);
}

bool KeyDownHook::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* press = static_cast<QKeyEvent*>(event);
    int key = VirtualKey(press->key());
    if (key == 0) {
        return false;
    }
    Q_EMIT KeyDown(key, press->modifiers() & ~Qt::KeypadModifier);
    return key == 0;
}

}  // namespace prvc03
