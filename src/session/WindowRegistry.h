#pragma once
// The window class registry: class name to factory, letter case ignored.

#include <QByteArray>
#include <QObject>

#include <functional>

namespace prvc03 {

using WindowFactory = std::function<QObject*(QObject* owner)>;
void RegisterWindowClass(const QByteArray& className, WindowFactory factory);
void UnregisterWindowClass(const QByteArray& className);
const WindowFactory* FindWindowClass(const QByteArray& className);
bool IsWindowClassRegistered(const QByteArray& className);

}  // namespace prvc03
