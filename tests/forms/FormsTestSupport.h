#pragma once
// Helpers shared by the window tests.

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>

#include "support/HostRecorder.h"
#include "support/Screenshot.h"

namespace prvc03::test {

// Shows a window and makes it the active one, so keys reach its focus widget.
inline void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// Runs the deletes that windows asked for with deleteLater().
inline void RunDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline long CountNotices(const HostRecorder& host, std::uintptr_t kind) {
    return std::count_if(host.notices.begin(), host.notices.end(),
                         [kind](const ReceivedMessage& m) { return m.dwData == kind; });
}

// A picture of the window for a person to look at, when one is asked for.
inline void SaveGrab(QWidget& window, const QString& name) {
    SaveScreenshot(window, QStringLiteral("prvc03-") + name + QStringLiteral(".png"));
}

}  // namespace prvc03::test
