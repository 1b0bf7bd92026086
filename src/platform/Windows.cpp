#include "platform/Windows.h"

#include <QCoreApplication>
#include <QVariant>

#include <utility>
#include <vector>

namespace prvc03::platform {

namespace {

// Handles are handed out from a counter, in steps of 4 as the system does.
// The desktop has a fixed handle of its own, below the first one counted.
constexpr HWND kDesktopWindow = 0x10010;
constexpr HWND kFirstHandle = 0x10020;
constexpr HWND kHandleStep = 4;

struct Window {
    HWND handle = 0;
    QByteArray className;
    WindowEndpoint* endpoint = nullptr;
};

// The window table stands for the system's one table per process. The host
// executable and the plug-in each link their own copy of this code, so the
// table cannot be a static of either copy: it is a plain struct (no virtual
// functions, nothing that calls back into the copy that made it) whose
// address travels as a dynamic property of the application object. The copy
// that first needs it allocates it; it is never freed, because either copy
// may be the one that outlives the other (the plug-in can be unloaded while
// the host runs on). Changing this layout means changing kStateProperty, so
// that copies of different layouts never share one table.
struct SharedState {
    std::vector<Window> windows;  // in registration order
    HWND nextHandle = kFirstHandle;
    MessageBoxPresenter presenter;  // installed by a caller, who removes it
};

constexpr char kStateProperty[] = "_prvc03_platform_windows_v1";

SharedState& State() {
    // This copy's view of the table; also keeps it reachable for leak checkers.
    static SharedState* known = nullptr;
    if (QCoreApplication* app = QCoreApplication::instance()) {
        const QVariant stored = app->property(kStateProperty);
        if (stored.isValid()) {
            known = reinterpret_cast<SharedState*>(stored.value<quintptr>());
            return *known;
        }
        if (known == nullptr) {
            known = new SharedState;  // process lifetime, see above
        }
        app->setProperty(kStateProperty, QVariant::fromValue(reinterpret_cast<quintptr>(known)));
        return *known;
    }
    // No application object (yet): the table of this copy alone.
    if (known == nullptr) {
        known = new SharedState;  // process lifetime, see above
    }
    return *known;
}

Window* Find(HWND handle) {
    for (Window& window : State().windows) {
        if (window.handle == handle) {
            return &window;
        }
    }
    return nullptr;
}

WindowEndpoint* EndpointOf(HWND handle) {
    const Window* window = handle != 0 ? Find(handle) : nullptr;
    return window != nullptr ? window->endpoint : nullptr;
}

}  // namespace

HWND RegisterWindow(const QByteArray& className, WindowEndpoint* endpoint) {
    SharedState& state = State();
    const HWND handle = state.nextHandle;
    state.nextHandle += kHandleStep;
    state.windows.push_back(Window{handle, className, endpoint});
    return handle;
}

void UnregisterWindow(HWND handle) {
    std::vector<Window>& windows = State().windows;
    std::erase_if(windows, [handle](const Window& window) { return window.handle == handle; });
}

bool IsWindow(HWND handle) {
    return handle == kDesktopWindow || (handle != 0 && Find(handle) != nullptr);
}

HWND FindWindowA(const char* className, const char* windowName) {
    // Windows carry no title here, so asking for one matches nothing.
    if (className == nullptr || windowName != nullptr) {
        return 0;
    }
    const QByteArray wanted(className);
    for (const Window& window : State().windows) {
        if (window.className == wanted) {
            return window.handle;
        }
    }
    return 0;
}

LRESULT SendMessageA(HWND handle, unsigned message, WPARAM wParam, LPARAM lParam) {
    // Only the endpoint is taken from the table: the handler may register or
    // unregister windows, itself included.
    WindowEndpoint* endpoint = EndpointOf(handle);
    return endpoint != nullptr ? endpoint->HandleMessage(message, wParam, lParam) : 0;
}

bool ShowWindow(HWND handle, int command) {
    WindowEndpoint* endpoint = EndpointOf(handle);
    if (endpoint == nullptr) {
        return false;
    }
    endpoint->ApplyShowCommand(command);
    return true;
}

HWND GetDesktopWindow() {
    return kDesktopWindow;
}

int MessageBoxA(HWND owner, const char* text, const char* caption, unsigned type) {
    // A copy, so that the presenter may replace itself while it runs.
    const MessageBoxPresenter presenter = State().presenter;
    if (!presenter) {
        return IDOK;
    }
    return presenter(owner, QByteArray(text), QByteArray(caption), type);
}

MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter) {
    return std::exchange(State().presenter, std::move(presenter));
}

}  // namespace prvc03::platform
