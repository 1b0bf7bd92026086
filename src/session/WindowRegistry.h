#pragma once
// The window class registry: class name to factory, letter case ignored.

#include <QByteArray>
#include <QObject>

#include <functional>
#include <vector>

namespace prvc03 {

using WindowFactory = std::function<QObject*(QObject* owner)>;
void RegisterWindowClass(const QByteArray& className, WindowFactory factory);
void UnregisterWindowClass(const QByteArray& className);
const WindowFactory* FindWindowClass(const QByteArray& className);
bool IsWindowClassRegistered(const QByteArray& className);
// The registered class names, with their letters folded to upper case.
std::vector<QByteArray> RegisteredWindowClasses();

}  // namespace prvc03
