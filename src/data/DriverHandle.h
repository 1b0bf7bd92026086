#pragma once
// The client-library handle behind an open Qt connection (sqlite3*, PGconn*,
// SQLHDBC), as QSqlDriver::handle() gives it; null when the connection is
// not one of `driverName` or not open.

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <cstring>
#include <memory>

namespace prvc03 {

template <class Handle>
Handle DriverHandle(const QSqlDatabase& db, const char* driverName, const char* typeName) {
    if (!db.isOpen() || db.driver() == nullptr ||
        !db.driverName().startsWith(QLatin1String(driverName))) {
        return nullptr;
    }
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || handle.typeName() == nullptr ||
        std::strcmp(handle.typeName(), typeName) != 0) {
        return nullptr;
    }
    return *static_cast<const Handle*>(handle.constData());
}

// A Reader of `statement` on the connection's own handle; null when the
// connection has no handle of that kind.
template <class Reader, class Handle>
std::unique_ptr<Reader> ReaderOnHandle(const QSqlDatabase& db, const char* driverName,
                                       const char* typeName, const QString& statement) {
    const Handle handle = DriverHandle<Handle>(db, driverName, typeName);
    if (handle == nullptr) {
        return nullptr;
    }
    return std::make_unique<Reader>(handle, statement);
}

}  // namespace prvc03
