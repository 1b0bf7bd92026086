#pragma once
// The session context that LoadDll stores, the host's connection it holds,
// and the current application object that owns the windows created with it.

#include <QByteArray>
#include <QObject>

#include <cstdint>

class QSqlDatabase;

namespace prvc03 {

// Module-wide values of one loaded library: the LoadDll arguments as
// include/PRVC03.h numbers and names them, each replaced by every call, and
// the library's own application object. Texts are code page 936 bytes. What
// include/PRVC03.h calls "stored, not read" the module keeps and no part of
// it reads: the host gives it no meaning the module knows of, so those
// fields keep the names of their argument positions.
struct SessionContext {
    QObject* OwnApplication = nullptr;  // made at load; not an argument
    std::int32_t HostInt2 = 0;          // include/PRVC03.h 2, hostInt2: stored, not read
    QByteArray FormName;     // include/PRVC03.h 3, formName: the module window's component name
    QByteArray FormCaption;  // include/PRVC03.h 4, formCaption: the title of a new window
    QByteArray HostText5;    // include/PRVC03.h 5, hostText5: stored, not read
    QByteArray HostText6;    // include/PRVC03.h 6, hostText6: stored, not read
    QSqlDatabase* SessionConnection = nullptr;  // include/PRVC03.h 7: borrowed, never freed
    std::int32_t HostInt8 = 0;                  // include/PRVC03.h 8, hostInt8: stored, not read
    // include/PRVC03.h 9 to 14, hostText9 to hostText14: stored, not read.
    QByteArray HostText9, HostText10, HostText11, HostText12, HostText13, HostText14;
    std::int32_t HostWindow = 0;  // include/PRVC03.h 15, hostWindow: takes the error reports
    QByteArray HostText16;        // include/PRVC03.h 16, hostText16: stored, not read
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
