// The window class registry.
#include "session/WindowRegistry.h"

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

std::vector<QByteArray> RegisteredWindowClasses() {
    std::vector<QByteArray> names;
    for (const auto& entry : Registry()) {
        names.push_back(entry.first);
    }
    return names;
}

}  // namespace prvc03
