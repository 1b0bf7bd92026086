#include "data/DatabaseProduct.h"

#include <QSqlDatabase>
#include <QSqlDriver>

#include <algorithm>

#include "data/Odbc.h"
#include "session/Errors.h"

namespace prvc03 {

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
            QStringLiteral("SQLite ODBC 驱动程序无法传送基本多文种平面以外的字符"
                           "（如罕用汉字、表情符号），语句未执行．"));
    }
}

QString NullFunctionName(const QSqlDatabase& db) {
    switch (ProductOf(db)) {
        case DatabaseProduct::SqlServer:
        case DatabaseProduct::Sybase:
            return QStringLiteral("isnull");
        case DatabaseProduct::SQLite:
            return QStringLiteral("ifnull");
        default:
            return QStringLiteral("coalesce");
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
