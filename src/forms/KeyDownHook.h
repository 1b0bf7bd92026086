#pragma once
// Key-downs as virtual-key codes: the translation from Qt keys, and a hook
// that hands one control's key-downs to a handler of its window.

#include <QObject>

class QWidget;

namespace prvc03 {

// The virtual-key code of a Qt key, 0 for keys without one.
int VirtualKey(int qtKey);

// Watches one control (its child) and emits KeyDown for each key press that
// has a virtual-key code. A receiver that sets the key to 0 consumes the
// press: the control never sees it. Windows connect KeyDown through Bind.
class KeyDownHook final : public QObject {
    Q_OBJECT

  public:
    explicit KeyDownHook(QWidget* control);

  Q_SIGNALS:
    void KeyDown(int& key, Qt::KeyboardModifiers shift);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace prvc03
