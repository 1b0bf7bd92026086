#pragma once
// The session context that LoadDll stores, the current application object,
// the window class registry, the module's list of open windows and the data
// and host-message helpers the windows share. The one header for all of it;
// the definitions live in a file per concern: SessionContext.cpp,
// WindowRegistry.cpp, SqlLiteral.cpp, Statements.cpp and HostMessages.cpp.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>
#include <vector>

#include "platform/Windows.h"
#include "session/VariantArray.h"

class QLocale;
class QSqlDatabase;
class QSqlError;

namespace prvc03 {

// Module-wide values of one loaded library. Texts are code page 936 bytes.
struct SessionContext {
    QObject* OwnApplication = nullptr;
    std::int32_t HostInt2 = 0;
    QByteArray FormName;
    QByteArray FormCaption;
    QByteArray HostText5;
    QByteArray HostText6;
    QSqlDatabase* SessionConnection = nullptr;
    std::int32_t HostInt8 = 0;
    QByteArray HostText9, HostText10, HostText11, HostText12, HostText13, HostText14;
    std::int32_t HostWindow = 0;
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

// Window class registry: class name to factory, letter case ignored.
using WindowFactory = std::function<QObject*(QObject* owner)>;
void RegisterWindowClass(const QByteArray& className, WindowFactory factory);
void UnregisterWindowClass(const QByteArray& className);
const WindowFactory* FindWindowClass(const QByteArray& className);
bool IsWindowClassRegistered(const QByteArray& className);

// The module's open windows, in creation order.
struct OpenWindow {
    QPointer<QObject> window;
    QByteArray className;
    platform::HWND handle = 0;
};
void AddOpenWindow(QObject* window, const QByteArray& className, platform::HWND handle);
void RemoveOpenWindow(QObject* window);
std::vector<OpenWindow> OpenWindows();

// The SQL literal rule: Null/Empty -> "", date-time quoted, text trimmed and
// quoted, boolean 1/0, anything else as text, trimmed and quoted; quotes
// inside are doubled.
QString ToSqlLiteral(const QVariant& value);
// The same rule with the date, time and number formats of `locale` in place
// of the user's (ToSqlLiteral uses QLocale::system()).
QString ToSqlLiteral(const QVariant& value, const QLocale& locale);
// Removes leading and trailing characters with a code of 32 or below.
QString TrimControl(const QString& text);
// The text between the quotes of a literal: single quotes doubled. A NUL
// character inside would end the statement early wherever a driver reads it
// as a C string, and an unpaired surrogate makes SQLite's UTF-16 reader
// swallow the character after it (a quote, say): a text holding either is
// refused with an Error.
QString EscapeQuotes(const QString& text);
// Encloses in single quotes, doubling the quotes inside (EscapeQuotes).
QString QuoteText(const QString& text);
// The database's own text of an error; Qt's text when the driver gives none.
QString DatabaseErrorText(const QSqlError& error);
// Runs a statement that returns no records; on failure reports the error to
// the host and returns false. A blank statement returns false silently.
bool ExecuteSQL(const QString& statement);
// Returns the first record, Null columns as Empty; nothing when no record.
// Errors reach the caller, with Result left empty.
void QueryFirstRow(const QString& statement, std::optional<VariantArray>& result);
// Host notice 1124 to the window of class "TfrmMain".
void NotifyHost(const QString& text, std::int32_t kind);
// Sends `text` under `message` to `window`, or to every open module window
// when `window` is 0 or below.
void SendTextMessage(std::int32_t window, unsigned message, const QString& text);
// The two-argument null function of the product the connection reaches:
// isnull on SQL Server and Sybase, ifnull on SQLite, coalesce elsewhere.
QString NullFunctionName(const QSqlDatabase& db);

}  // namespace prvc03
