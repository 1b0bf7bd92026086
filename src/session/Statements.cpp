// Statements run on the session's connection, and the dialect choice they need.
#include "session/Global.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "session/DatabaseProduct.h"
#include "session/Errors.h"

namespace prvc03 {

QString DatabaseErrorText(const QSqlError& error) {
    const QString text = error.databaseText();
    return text.isEmpty() ? error.text() : text;
}

bool ExecuteSQL(const QString& statement) {
    if (TrimControl(statement).isEmpty()) {
        return false;
    }
    QString failure;
    try {
        CheckStatementForDriver(Connection(), statement);
        QSqlQuery query(Connection());
        query.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
        if (query.exec(statement)) {
            return true;
        }
        failure = DatabaseErrorText(query.lastError());
    } catch (const Error& error) {
        failure = error.Message();
    }
    SendTextMessage(Session().HostWindow, platform::WM_ERROR_REPORT,
                    QStringLiteral("Error: ExecuteSQL出错,详细信息:") + failure);
    return false;
}

void QueryFirstRow(const QString& statement, std::optional<VariantArray>& result) {
    result.reset();
    CheckStatementForDriver(Connection(), statement);
    QSqlQuery query(Connection());
    query.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    query.setForwardOnly(true);
    if (!query.exec(statement)) {
        throw Error(DatabaseErrorText(query.lastError()));
    }
    if (!query.next()) {
        if (query.lastError().isValid()) {
            throw Error(DatabaseErrorText(query.lastError()));
        }
        return;
    }
    const int count = query.record().count();
    VariantArray row(0, count - 1);
    for (int i = 0; i < count; ++i) {
        const QVariant value = query.value(i);
        if (!value.isNull()) {
            row.at(i) = value;  // a Null column stays Empty
        }
    }
    result = std::move(row);
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

}  // namespace prvc03
