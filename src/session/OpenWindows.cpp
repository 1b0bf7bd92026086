// The module's list of open windows.
#include "session/OpenWindows.h"

#include <algorithm>

namespace prvc03 {

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
