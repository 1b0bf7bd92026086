#include "entry/WindowClasses.h"

#include "forms/Root.h"
#include "forms/RootF.h"
#include "forms/RootFY.h"
#include "modules/PRVC03F.h"
#include "session/Global.h"

namespace prvc03 {

namespace {

template <typename Window>
void EnterClass(const QByteArray& name) {
    if (!IsWindowClassRegistered(name)) {
        // The window belongs to its owner (the application object it is
        // created with) and frees itself when closed.
        RegisterWindowClass(name, [](QObject* owner) -> QObject* { return new Window(owner); });
    }
}

}  // namespace

void RegisterModuleWindowClasses() {
    EnterClass<TfrmPRVC03F>("TfrmPRVC03F");
    EnterClass<TfrmRootFY>("TfrmRootFY");
    EnterClass<TfrmRootF>("TfrmRootF");
    EnterClass<TfrmRoot>("TfrmRoot");
}

void UnregisterModuleWindowClasses() {
    UnregisterWindowClass("TfrmPRVC03F");
}

}  // namespace prvc03
