#pragma once
// Key preview: a window sees each key pressed in it before the focused
// control does, first as a key-down with its virtual-key code, then as the
// character it types. A handler that sets the key to 0 consumes the press:
// the control never sees it.

#include <QObject>
#include <QPointer>

#include <functional>

class QKeyEvent;
class QWidget;

namespace prvc03 {

// The characters of Esc and Enter as the key-press handler receives them.
inline constexpr char kCharEscape = 27;
inline constexpr char kCharEnter = 13;

class KeyPreview final : public QObject {
    Q_OBJECT

  public:
    using KeyDownHandler = std::function<void(int& key, Qt::KeyboardModifiers shift)>;
    using KeyPressHandler = std::function<void(char& key)>;

    // Watches the application's key presses for the controls of `window` (and
    // the window itself) until destroyed. The handlers run through
    // RunHandler; either may destroy the window, and this preview with it.
    KeyPreview(QWidget* window, KeyDownHandler keyDown, KeyPressHandler keyPress);
    ~KeyPreview() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The press last handed to the handlers: Qt delivers a press that a
    // control ignored again to each of its parents.
    struct Delivery {
        const QEvent* event = nullptr;
        QPointer<QObject> receiver;
        int key = 0;
        Qt::KeyboardModifiers modifiers;
    };

    bool IsPropagationStep(const QKeyEvent& event, QObject* receiver) const;
    // Runs the handlers for one press; true when they consumed it.
    bool Preview(const QKeyEvent& event);

    QWidget* window_;
    KeyDownHandler keyDown_;
    KeyPressHandler keyPress_;
    Delivery last_;
};

}  // namespace prvc03
