#pragma once
// TfrmRoot: the root of every module window. It fixes the common look (font,
// fixed size, centred, button-face background, icon), the keys (Esc closes,
// Enter moves to the next control outside data grids), the host notices on
// show and close, and the close request by a copy-data message.
//
// Conventions for derived windows:
// - Handlers are virtual members named after the event (FormShow, FormClose,
//   FormDestroy, FormKeyPress, FormKeyDown, WMCopyData). An override runs the
//   parent's handler first.
// - ClassName() gives the most-derived class name, taken from the Qt meta
//   object with the namespace removed, so a derived window with Q_OBJECT
//   needs nothing more (it may still override ClassName()).
// - The window gets its platform handle under that name, and its entry in the
//   open-window list is completed, when the handle is first needed: the first
//   Handle() call or the first show. The list entry itself is made at
//   construction, so the list keeps creation order.
// - FormShow runs each time the window becomes visible, once it is fully
//   shown; it processes waiting messages, so the window may already be closed
//   again when show() or exec() returns.
// - Closing frees a TfrmRootF-derived window only when it is modeless; after
//   exec() the caller frees it. A close that comes while a bound handler
//   runs (a lookup, a message box or another modal loop inside it) hides the
//   window at once and frees it only when the last running handler returns,
//   never under its feet.
// - Every close, whether by Esc, the title bar, reject(), accept(), done() or
//   the host's "Close", runs through closeEvent and so through FormClose.
// - Controls reach the handlers through Bind, which runs each handler through
//   RunHandler: an error is reported, never thrown into the event loop.
// - The destroy step runs once, before any part of the window is destroyed:
//   the handlers are unbound, then the most-derived FormDestroy runs (which
//   runs its parents' first). Windows are made with new and freed by delete,
//   deleteLater, their owner or their close; every one of these reaches
//   TfrmRoot's destroying operator delete, which runs the step before it
//   calls the destructors, so a derived window needs nothing for it. (In a
//   destructor a virtual call reaches only the class being destroyed, which
//   is why the step cannot wait for ~TfrmRoot.) A window that is not freed
//   by delete, one on the stack, gets only TfrmRoot's part, from ~TfrmRoot.

#include <QByteArray>
#include <QDialog>
#include <QEventLoop>
#include <QPointer>

#include <functional>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#include "platform/Windows.h"
#include "session/Errors.h"

namespace prvc03 {

class KeyPreview;

// What the close step decides about the window (the toolkit's close action).
enum class CloseAction {
    None,      // stay open
    Hide,      // hide; the default
    Free,      // hide, then destroy a modeless window
    Minimize,  // minimise instead of closing
};

// Window creation parameters: what CreateParams may change.
struct CreateParamsData {
    platform::HWND WndParent = 0;
};

class TfrmRoot : public QDialog {
    Q_OBJECT

  public:
    // `owner` (the application object, may be null) destroys the window when
    // it is destroyed itself, unless the window went first.
    explicit TfrmRoot(QObject* owner);
    ~TfrmRoot() override;
    // Every delete of a window, through a pointer of any of its classes (or
    // QObject's), comes to the destroying operator delete before any
    // destructor runs: the destroy step, then the destructors, then the
    // memory goes. The plain pair beside it allocates, and frees the memory
    // of a window whose constructor failed.
    void operator delete(TfrmRoot* window, std::destroying_delete_t);
    static void* operator new(std::size_t size);
    static void operator delete(void* memory);

    // The most-derived window class name, e.g. "TfrmRoot" or "TfrmPRVC03F".
    virtual QByteArray ClassName() const;
    // The window's platform handle; registers the window on first use.
    platform::HWND Handle();
    // The parent window chosen by CreateParams when the handle was made.
    platform::HWND ParentWindow() const { return parentWindow_; }

    // Handlers.
    virtual void FormShow();
    virtual void FormClose(CloseAction& action);
    virtual void FormDestroy();
    virtual void FormKeyPress(char& key);
    virtual void FormKeyDown(int& key, Qt::KeyboardModifiers shift);
    virtual void WMCopyData(const platform::COPYDATASTRUCT* data);

    // A modal loop of our own, so that a close during the show step (which
    // processes waiting messages) ends it too.
    int exec() override;
    void done(int result) override;
    // Runs the show step each time the window becomes visible.
    void setVisible(bool visible) override;

  protected:
    virtual void CreateParams(CreateParamsData& params);
    // Messages sent to the window's handle; the result goes back to the sender.
    virtual platform::LRESULT WndProc(unsigned message, platform::WPARAM wParam,
                                      platform::LPARAM lParam);
    // ShowWindow on the window's handle.
    virtual void ApplyShowCommand(int command);
    // Places the window when it is first shown: centred on the screen.
    virtual void PlaceWindow();
    // The window's fixed client size.
    void SetClientSize(int width, int height);
    // Connects `signal` of `sender` to `handler`, a member of this window's
    // class Window taking the signal's arguments (or fewer); the handler runs
    // through RunBoundHandler. The connection lasts until the destroy step.
    template <class Sender, class Signal, class Window, class... Args>
    QMetaObject::Connection Bind(Sender* sender, Signal signal, void (Window::*handler)(Args...));

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  Q_SIGNALS:
    // The destroy step has begun: the handlers are unbound and FormDestroy is
    // about to run, on a window whose parts all still exist.
    void Destroying();

  private:
    class Endpoint;

    // The destroy step (see the conventions above), once: cuts every
    // connection Bind made, then runs FormDestroy.
    void RunDestroyStep();

    // Runs one bound handler through RunHandler, counted, so that a close
    // asking to free the window while it runs waits for it.
    void RunBoundHandler(const std::function<void()>& handler);

    std::unique_ptr<Endpoint> endpoint_;
    std::unique_ptr<KeyPreview> keyPreview_;
    std::vector<QMetaObject::Connection> handlerConnections_;
    platform::HWND handle_ = 0;
    platform::HWND parentWindow_ = 0;
    QEventLoop* modalLoop_ = nullptr;
    int runningHandlers_ = 0;
    bool freeAfterHandlers_ = false;
    bool inCloseEvent_ = false;
    // Set when an Esc key-down closed the window, until the next key-down:
    // the Esc character that follows must not close it a second time.
    bool closedByKeyDown_ = false;
    bool placed_ = false;
    bool destroyStepDone_ = false;
};

template <class Sender, class Signal, class Window, class... Args>
QMetaObject::Connection TfrmRoot::Bind(Sender* sender, Signal signal,
                                       void (Window::*handler)(Args...)) {
    static_assert(std::is_base_of_v<TfrmRoot, Window>);
    auto* window = static_cast<Window*>(this);
    const QMetaObject::Connection connection =
        connect(sender, signal, this, [this, window, handler](Args... args) {
            RunBoundHandler([&] { (window->*handler)(args...); });
        });
    handlerConnections_.push_back(connection);
    return connection;
}

}  // namespace prvc03
