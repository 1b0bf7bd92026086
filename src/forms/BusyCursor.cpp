#include "forms/BusyCursor.h"

#include <QApplication>

#include "data/BusyIndicator.h"

namespace prvc03 {

void InstallBusyCursor() {
    SetBusyHook([](bool busy) {
        if (busy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    });
}

void RemoveBusyCursor() {
    SetBusyHook(nullptr);
}

}  // namespace prvc03
