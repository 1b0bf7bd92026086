#pragma once
// What every test of a module window on a database holds: the recording
// host as the session's host window, the application object that owns the
// module's windows, the module's own request over the demo users, and the
// ways to show a lookup window and to drive a modal one.

#include <QApplication>
#include <QObject>

#include <functional>

#include "data/QueryDataset.h"
#include "lookup/LookupCaller.h"
#include "lookup/LookupWindow.h"
#include "session/Global.h"
#include "support/HostRecorder.h"
#include "support/LookupDriver.h"
#include "support/Requests.h"
#include "support/WhenShown.h"

namespace prvc03::test {

class ModuleFixture {
  protected:
    ModuleFixture() {
        Session().HostWindow = static_cast<std::int32_t>(host.LogHandle());
        SetCurrentApplication(&application_);
        // The library's own application object: owner of the copy report.
        Session().OwnApplication = &application_;
        hqryADMMG.setObjectName(QStringLiteral("hqryADMMG"));
        AddUserRequestFields(hqryADMMG);
    }
    ~ModuleFixture() {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetCurrentApplication(nullptr);
        Session().OwnApplication = nullptr;
        Session().HostWindow = 0;
    }
    ModuleFixture(const ModuleFixture&) = delete;
    ModuleFixture& operator=(const ModuleFixture&) = delete;

    // A window of kind W shown modeless over `source` (the users' request
    // when none) and `from`.
    template <class W>
    LookupWindowGuard<W> Show(const QString& from = kUsersFrom, QueryDataset* source = nullptr) {
        return ShowLookup<W>(source != nullptr ? *source : hqryADMMG, from);
    }
    // The same for the window of `kind`.
    LookupWindowGuard<LookupWindow> Show(WindowKind kind, const QString& from = kUsersFrom,
                                         QueryDataset* source = nullptr) {
        return ShowLookup(kind, source != nullptr ? *source : hqryADMMG, from);
    }

    // Runs `drive` on the modal lookup window of kind W once it shows its
    // records.
    template <class W>
    void WhenShown(std::function<void(W&)> drive) {
        test::WhenShown<W>(&context_, std::move(drive));
    }
    // The same for the window of `kind`.
    void WhenShown(WindowKind kind, std::function<void(LookupWindow&)> drive) {
        if (kind == WindowKind::MultiSelect) {
            WhenShown<TfrmRootFS>([drive](TfrmRootFS& w) { drive(w); });
        } else {
            WhenShown<TfrmRootFH>([drive](TfrmRootFH& w) { drive(w); });
        }
    }

    // Texts of the message boxes shown since the last call.
    QStringList TakeBoxes() { return host.TakeBoxTexts(); }

    HostRecorder host;
    QueryDataset hqryADMMG;

  private:
    QObject application_;
    QObject context_;
};

}  // namespace prvc03::test
