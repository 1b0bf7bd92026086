// The window class registry and the module's list of open windows.
#include "session/Global.h"

#include <map>

namespace prvc03 {

namespace {

// Class names compare with the letters a to z folded to upper case.
QByteArray ClassKey(const QByteArray& className) {
    QByteArray key = className;
    for (char& c : key) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return key;
}

std::map<QByteArray, WindowFactory>& Registry() {
    static std::map<QByteArray, WindowFactory> registry;
    return registry;
}

}  // namespace

void RegisterWindowClass(const QByteArray& className, WindowFactory factory) {
    Registry()[ClassKey(className)] = std::move(factory);
}

void UnregisterWindowClass(const QByteArray& className) {
    Registry().erase(ClassKey(className));
}

const WindowFactory* FindWindowClass(const QByteArray& className) {
    const auto found = Registry().find(ClassKey(className));
    return found != Registry().end() ? &found->second : nullptr;
}

bool IsWindowClassRegistered(const QByteArray& className) {
    return FindWindowClass(className) != nullptr;
}

namespace {

struct OpenEntry {
    const QObject* key = nullptr;  // still comparable while the window is destroyed
    OpenWindow info;
    QMetaObject::Connection watch;
};

std::vector<OpenEntry>& OpenList() {
    static std::vector<OpenEntry> list;
    return list;
}

}  // namespace

void AddOpenWindow(QObject* window, const QByteArray& className, platform::HWND handle) {
    if (window == nullptr) {
        return;
    }
    for (OpenEntry& entry : OpenList()) {
        if (entry.key == window) {
            entry.info.className = className;
            entry.info.handle = handle;
            return;
        }
    }
    OpenEntry entry;
    entry.key = window;
    entry.info = OpenWindow{window, className, handle};
    // A window that is destroyed without being removed leaves the list too.
    entry.watch =
        QObject::connect(window, &QObject::destroyed, [window] { RemoveOpenWindow(window); });
    OpenList().push_back(std::move(entry));
}

void RemoveOpenWindow(QObject* window) {
    std::erase_if(OpenList(), [window](OpenEntry& entry) {
        if (entry.key != window) {
            return false;
        }
        QObject::disconnect(entry.watch);
        return true;
    });
}

std::vector<OpenWindow> OpenWindows() {
    std::vector<OpenWindow> windows;
    for (const OpenEntry& entry : OpenList()) {
        if (!entry.info.window.isNull()) {
            windows.push_back(entry.info);
        }
    }
    return windows;
}

}  // namespace prvc03
