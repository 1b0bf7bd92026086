#include "entry/PRVC03.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <memory>

#include "data/CommandTimeout.h"
#include "entry/WindowClasses.h"
#include "forms/BusyCursor.h"
#include "platform/Cp936.h"
#include "platform/HostString.h"
#include "platform/Windows.h"
#include "session/Errors.h"
#include "session/Global.h"
#include "session/WindowRegistry.h"
#include "widgets/SystemMessageBox.h"

namespace prvc03 {

namespace {

// The library's own application object: owner of the module window.
std::unique_ptr<QObject>& OwnApplicationObject() {
    static std::unique_ptr<QObject> object;
    return object;
}

bool installedPresenter = false;

// Shows module message boxes when the host has not installed its own way.
int PresentMessageBox(platform::HWND, const QByteArray& text, const QByteArray& caption,
                      unsigned type) {
    return ShowSystemMessageBox(platform::FromCp936(caption), platform::FromCp936(text), type);
}

}  // namespace

void AttachLibrary() {
    if (OwnApplicationObject()) {
        return;
    }
    // The module's open-window list is walked by DetachLibrary, which the
    // library's lifetime object runs from its destructor. Made here, while
    // that object is being constructed, the list is destroyed after it at
    // unload instead of before.
    (void)OpenWindows();
    OwnApplicationObject() = std::make_unique<QObject>();
    OwnApplicationObject()->setObjectName(QStringLiteral("PRVC03Application"));
    SetCurrentApplication(OwnApplicationObject().get());
    RegisterModuleWindowClasses();
    Session().OwnApplication = CurrentApplication();
    // Message boxes go through the host's presenter when it installed one.
    platform::MessageBoxPresenter hosts = platform::SetMessageBoxPresenter(nullptr);
    installedPresenter = !hosts;
    platform::SetMessageBoxPresenter(hosts ? hosts : &PresentMessageBox);
    // The host shows a busy cursor while a statement of the module runs.
    InstallBusyCursor();
}

void OpenModuleWindow(const QByteArray& className, const QByteArray& caption) {
    const WindowFactory* factory = FindWindowClass(className);
    if (factory == nullptr) {
        throw Error(QStringLiteral("Class %1 not found").arg(platform::FromCp936(className)));
    }
    const QByteArray wanted = WindowClassKey(className);
    for (const OpenWindow& open : OpenWindows()) {
        auto* window = qobject_cast<QWidget*>(open.window.data());
        if (window == nullptr || WindowClassKey(open.className) != wanted) {
            continue;
        }
        platform::ShowWindow(open.handle,
                             window->isMinimized() ? platform::SW_SHOWNORMAL : platform::SW_SHOWNA);
        if (!window->isVisible()) {
            window->setVisible(true);
        }
        window->raise();
        window->activateWindow();
        window->setFocus();
        return;
    }
    SetCurrentApplication(Session().OwnApplication);
    QObject* created = (*factory)(CurrentApplication());
    auto* window = qobject_cast<QWidget*>(created);
    if (window == nullptr) {
        delete created;
        throw Error(QStringLiteral("Class %1 is not a window").arg(platform::FromCp936(className)));
    }
    window->setWindowTitle(platform::FromCp936(caption));
    window->show();
    window->raise();
    window->activateWindow();
}

void FreeWindowByName(const QByteArray& name) {
    const QString wanted = platform::FromCp936(name);
    QObject* chosen = nullptr;
    for (const OpenWindow& open : OpenWindows()) {
        if (open.window && open.window->objectName() == wanted) {
            chosen = open.window.data();
        }
    }
    delete chosen;
}

void DetachLibrary(std::int32_t reason) {
    if (reason != 0 || !OwnApplicationObject()) {
        return;
    }
    const bool haveApplication = QCoreApplication::instance() != nullptr;
    if (haveApplication) {
        // Windows that closed themselves wait for a deferred delete whose code
        // lives in this library: run those deletes while it is still loaded.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        FreeWindowByName(Session().FormName);
    }
    SetCurrentApplication(Session().OwnApplication);
    UnregisterModuleWindowClasses();
    RemoveBusyCursor();
    // No thread of the module outlives its code.
    StopCommandWatcher();
    Session() = SessionContext{};
    if (installedPresenter) {
        platform::SetMessageBoxPresenter(nullptr);
        installedPresenter = false;
    }
    if (haveApplication) {
        OwnApplicationObject().reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    } else {
        // Without an application no window can be destroyed safely; the
        // process is ending anyway.
        (void)OwnApplicationObject().release();
    }
    SetCurrentApplication(nullptr);
}

void LoadDllEntry(void* application, std::int32_t hostInt2, const char* formName,
                  const char* formCaption, const char* hostText5, const char* hostText6,
                  void* connection, std::int32_t hostInt8, const char* hostText9,
                  const char* hostText10, const char* hostText11, const char* hostText12,
                  const char* hostText13, const char* hostText14, std::int32_t hostWindow,
                  const char* hostText16) {
    using platform::ReadHostString;
    SetCurrentApplication(static_cast<QObject*>(application));
    SessionContext& session = Session();
    session.HostInt2 = hostInt2;
    session.FormName = ReadHostString(formName);
    session.FormCaption = ReadHostString(formCaption);
    session.HostText5 = ReadHostString(hostText5);
    session.HostText6 = ReadHostString(hostText6);
    session.SessionConnection = static_cast<QSqlDatabase*>(connection);
    session.HostInt8 = hostInt8;
    session.HostText9 = ReadHostString(hostText9);
    session.HostText10 = ReadHostString(hostText10);
    session.HostText11 = ReadHostString(hostText11);
    session.HostText12 = ReadHostString(hostText12);
    session.HostText13 = ReadHostString(hostText13);
    session.HostText14 = ReadHostString(hostText14);
    session.HostWindow = hostWindow;
    session.HostText16 = ReadHostString(hostText16);
    OpenModuleWindow(QByteArray("T") + session.FormName, session.FormCaption);
}

}  // namespace prvc03
