#include "StatementTrace.h"

#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace prvc03::test {

namespace {

int OnTrace(unsigned type, void* context, void* statement, void*) {
    if (type == SQLITE_TRACE_STMT) {
        auto* trace = static_cast<StatementTrace*>(context);
        const char* text = sqlite3_sql(static_cast<sqlite3_stmt*>(statement));
        if (text != nullptr) {
            trace->statements.append(QString::fromUtf8(text));
        }
    }
    return 0;
}

}  // namespace

StatementTrace::StatementTrace(QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        ADD_FAILURE() << "not a SQLite connection";
        return;
    }
    handle_ = *static_cast<sqlite3* const*>(handle.data());
    sqlite3_trace_v2(static_cast<sqlite3*>(handle_), SQLITE_TRACE_STMT, &OnTrace, this);
}

StatementTrace::~StatementTrace() {
    if (handle_ != nullptr) {
        sqlite3_trace_v2(static_cast<sqlite3*>(handle_), 0, nullptr, nullptr);
    }
}

QStringList StatementTrace::Starting(const QString& prefix) const {
    QStringList found;
    for (const QString& statement : statements) {
        if (statement.startsWith(prefix, Qt::CaseInsensitive)) {
            found.append(statement);
        }
    }
    return found;
}

}  // namespace prvc03::test
