#pragma once
// The session context that LoadDll stores, the host's connection it holds,
// and the current application object that owns the windows created with it.

#include <QByteArray>
#include <QObject>

#include <cstdint>

class QSqlDatabase;

namespace prvc03 {

// Module-wide values of one loaded library, in LoadDll's argument order
// (include/PRVC03.h). Texts are code page 936 bytes. The values the module
// stores without reading (arguments 2, 5, 6, 8 to 14 and 16) keep the names
// of their argument positions: the host gives them no meaning the module
// knows of.
struct SessionContext {
    QObject* OwnApplication = nullptr;
    std::int32_t HostInt2 = 0;                  // argument 2
    QByteArray FormName;                        // argument 3: the module window's component name
    QByteArray FormCaption;                     // argument 4: the title of a newly created window
    QByteArray HostText5;                       // argument 5
    QByteArray HostText6;                       // argument 6
    QSqlDatabase* SessionConnection = nullptr;  // argument 7: borrowed, never freed
    std::int32_t HostInt8 = 0;                  // argument 8
    QByteArray HostText9, HostText10, HostText11, HostText12, HostText13,
        HostText14;               // arguments 9 to 14
    std::int32_t HostWindow = 0;  // argument 15: receives the error reports
    QByteArray HostText16;        // argument 16
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
