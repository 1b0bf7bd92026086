#pragma once
// The module's list of open windows, in creation order.

#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <vector>

#include "platform/Windows.h"

namespace prvc03 {

struct OpenWindow {
    QPointer<QObject> window;
    QByteArray className;
    platform::HWND handle = 0;
};
void AddOpenWindow(QObject* window, const QByteArray& className, platform::HWND handle);
void RemoveOpenWindow(QObject* window);
std::vector<OpenWindow> OpenWindows();

}  // namespace prvc03
