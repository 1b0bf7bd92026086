#pragma once
// The session context that LoadDll stores, the host's connection it holds,
// and the current application object that owns the windows created with it.

#include <QByteArray>
#include <QObject>

#include <cstdint>

class QSqlDatabase;

namespace prvc03 {

// Module-wide values of one loaded library, in LoadDll's argument order
// (include/PRVC03.h lists the arguments). Texts are code page 936 bytes,
// copied at each call. The host values the module only stores keep the names
// of their argument positions.
struct SessionContext {
    // The library's own application object, made at load; not an argument.
    QObject* OwnApplication = nullptr;
    // include/PRVC03.h argument 2, hostInt2: a 32-bit value the host passes; stored,
    // never read, its meaning unknown to the module.
    std::int32_t HostInt2 = 0;
    // include/PRVC03.h argument 3, formName: the module window's component name.
    QByteArray FormName;
    // include/PRVC03.h argument 4, formCaption: the title of a new window.
    QByteArray FormCaption;
    // include/PRVC03.h argument 5, hostText5: a text the host passes; stored,
    // never read, its meaning unknown to the module.
    QByteArray HostText5;
    // include/PRVC03.h argument 6, hostText6: a text the host passes; stored,
    // never read, its meaning unknown to the module.
    QByteArray HostText6;
    // include/PRVC03.h argument 7, connection: borrowed, never freed.
    QSqlDatabase* SessionConnection = nullptr;
    // include/PRVC03.h argument 8, hostInt8: a 32-bit value the host passes; stored,
    // never read, its meaning unknown to the module.
    std::int32_t HostInt8 = 0;
    // include/PRVC03.h argument 9, hostText9: a text the host passes; stored,
    // never read, its meaning unknown to the module.
    QByteArray HostText9;
    // include/PRVC03.h argument 10, hostText10: a text the host passes; stored,
    // never read, its meaning unknown to the module.
    QByteArray HostText10;
    // include/PRVC03.h argument 11, hostText11: a text the host passes; stored,
    // never read, its meaning unknown to the module.
    QByteArray HostText11;
    // include/PRVC03.h argument 12, hostText12: a text the host passes; stored,
    // never read, its meaning unknown to the module.
    QByteArray HostText12;
    // include/PRVC03.h argument 13, hostText13: a text the host passes; stored,
    // never read, its meaning unknown to the module.
    QByteArray HostText13;
    // include/PRVC03.h argument 14, hostText14: a text the host passes; stored,
    // never read, its meaning unknown to the module.
    QByteArray HostText14;
    // include/PRVC03.h argument 15, hostWindow: receives the error reports.
    std::int32_t HostWindow = 0;
    // include/PRVC03.h argument 16, hostText16: a text the host passes; stored,
    // never read, its meaning unknown to the module.
    QByteArray HostText16;
};
SessionContext& Session();
// The host's connection; raises a clear error when LoadDll gave none.
QSqlDatabase& Connection();

// The current application object: owner of the windows created with it.
QObject* CurrentApplication();
void SetCurrentApplication(QObject* application);
// Makes `owner` own `component`: it is destroyed with the owner, unless
// destroyed earlier.
void AdoptComponent(QObject* owner, QObject* component);

}  // namespace prvc03
