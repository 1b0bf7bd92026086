#include "session/DatabaseProduct.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sql.h>
#include <sqlext.h>

#include <algorithm>

#include "session/Errors.h"

namespace prvc03 {

void* OdbcConnectionHandle(const QSqlDatabase& db) {
    if (!db.isOpen() || db.driver() == nullptr ||
        !db.driverName().startsWith(QLatin1String("QODBC"))) {
        return nullptr;
    }
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || handle.metaType().sizeOf() != sizeof(SQLHDBC)) {
        return nullptr;
    }
    return *static_cast<const SQLHDBC*>(handle.constData());
}

QString OdbcDbmsName(const QSqlDatabase& db) {
    SQLHDBC hdbc = OdbcConnectionHandle(db);
    if (hdbc == nullptr) {
        return {};
    }
    SQLWCHAR name[256] = {};
    SQLSMALLINT bytes = 0;
    const SQLRETURN rc = SQLGetInfoW(hdbc, SQL_DBMS_NAME, name, sizeof(name), &bytes);
    if (!SQL_SUCCEEDED(rc)) {
        return {};
    }
    static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));
    const qsizetype units =
        std::min<qsizetype>(bytes / static_cast<qsizetype>(sizeof(SQLWCHAR)), 255);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(name), units).trimmed();
}

DatabaseProduct ProductFromDbmsName(const QString& name) {
    const auto has = [&name](const char* word) {
        return name.contains(QLatin1String(word), Qt::CaseInsensitive);
    };
    if (name.isEmpty()) {
        return DatabaseProduct::Unknown;
    }
    // Sybase ASE reports "Adaptive Server Enterprise"; FreeTDS to Sybase
    // reports "SQL Server" as well.
    if (has("Sybase") || has("Adaptive Server")) {
        return DatabaseProduct::Sybase;
    }
    if (has("SQL Server")) {
        return DatabaseProduct::SqlServer;
    }
    if (has("PostgreSQL")) {
        return DatabaseProduct::PostgreSQL;
    }
    if (has("SQLite")) {
        return DatabaseProduct::SQLite;
    }
    if (has("MySQL") || has("MariaDB")) {
        return DatabaseProduct::MySQL;
    }
    if (has("Oracle")) {
        return DatabaseProduct::Oracle;
    }
    return DatabaseProduct::Other;
}

DatabaseProduct ProductOf(const QSqlDatabase& db) {
    const QSqlDriver* driver = db.driver();
    if (!db.isValid() || driver == nullptr) {
        return DatabaseProduct::Unknown;
    }
    switch (driver->dbmsType()) {
        case QSqlDriver::MSSqlServer:
            return DatabaseProduct::SqlServer;
        case QSqlDriver::Sybase:
            return DatabaseProduct::Sybase;
        case QSqlDriver::PostgreSQL:
            return DatabaseProduct::PostgreSQL;
        case QSqlDriver::SQLite:
            return DatabaseProduct::SQLite;
        case QSqlDriver::MySqlServer:
            return DatabaseProduct::MySQL;
        case QSqlDriver::Oracle:
            return DatabaseProduct::Oracle;
        case QSqlDriver::UnknownDbms:
            break;
        default:
            return DatabaseProduct::Other;
    }
    // Qt knows no product for this connection (QODBC to SQLite, or one not
    // opened yet): ask the ODBC driver.
    return ProductFromDbmsName(OdbcDbmsName(db));
}

void CheckStatementForDriver(const QSqlDatabase& db, const QString& statement) {
    const bool outsideBmp =
        std::any_of(statement.cbegin(), statement.cend(), [](QChar c) { return c.isSurrogate(); });
    if (outsideBmp && db.driverName().startsWith(QLatin1String("QODBC")) &&
        ProductOf(db) == DatabaseProduct::SQLite) {
        throw Error(
            QStringLiteral("A character outside the Basic Multilingual Plane cannot be "
                           "sent through the SQLite ODBC driver"));
    }
}

const char* ProductName(DatabaseProduct product) {
    switch (product) {
        case DatabaseProduct::Unknown:
            return "unknown";
        case DatabaseProduct::SqlServer:
            return "Microsoft SQL Server";
        case DatabaseProduct::Sybase:
            return "Sybase";
        case DatabaseProduct::PostgreSQL:
            return "PostgreSQL";
        case DatabaseProduct::SQLite:
            return "SQLite";
        case DatabaseProduct::MySQL:
            return "MySQL";
        case DatabaseProduct::Oracle:
            return "Oracle";
        case DatabaseProduct::Other:
            break;
    }
    return "other";
}

}  // namespace prvc03
