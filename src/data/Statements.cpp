#include "data/Statements.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include "data/BusyIndicator.h"
#include "data/CommandTimeout.h"
#include "data/ConnectionWatch.h"
#include "data/DatabaseError.h"
#include "data/DatabaseProduct.h"
#include "data/Odbc.h"
#include "data/ResultReader.h"
#include "platform/Windows.h"
#include "session/Errors.h"
#include "session/HostMessages.h"
#include "session/SessionContext.h"
#include "session/SqlLiteral.h"

namespace prvc03 {

qint64 RunStatement(QSqlDatabase& db, const QString& statement) {
    const BusyScope busy;
    const std::unique_ptr<ResultReader> reader = ReaderFor(db, statement);
    reader->Execute();
    return reader->RowsAffected();
}

std::optional<VariantArray> FirstRow(QSqlDatabase& db, const QString& statement) {
    const BusyScope busy;
    const std::unique_ptr<ResultReader> reader = ReaderFor(db, statement);
    reader->Execute();
    if (!reader->ReturnsRecords()) {
        return std::nullopt;
    }
    const int count = static_cast<int>(reader->Columns().size());
    std::vector<int> source;
    std::vector<ResultColumn> columns;
    for (int i = 0; i < count; ++i) {
        source.push_back(i);
        columns.emplace_back(ResultColumn::Kind::Variant);  // each value as delivered
    }
    if (reader->Read(source, columns, 1) == 0) {
        return std::nullopt;
    }
    VariantArray row(0, count - 1);
    for (int i = 0; i < count; ++i) {
        if (!columns[static_cast<std::size_t>(i)].IsNull(0)) {
            row.at(i) = columns[static_cast<std::size_t>(i)].VariantAt(0);  // Null stays Empty
        }
    }
    return row;
}

namespace {

void ReportFailure(const QString& text) {
    SendTextMessage(Session().HostWindow, platform::WM_ERROR_REPORT,
                    QStringLiteral("Error: ExecuteSQL出错,详细信息:") + text);
}

}  // namespace

ExecuteOutcome ExecuteSQLOn(QSqlDatabase& db, const QString& statement) {
    ExecuteOutcome outcome;
    if (TrimControl(statement).isEmpty()) {
        return outcome;
    }
    try {
        outcome.rows = RunStatement(db, statement);
        outcome.ok = true;
    } catch (const Error& error) {
        outcome.error = error.Message();
        ReportFailure(outcome.error);
    }
    return outcome;
}

bool ExecuteSQL(const QString& statement) {
    if (TrimControl(statement).isEmpty()) {
        return false;
    }
    QSqlDatabase* db = nullptr;
    try {
        db = &Connection();
    } catch (const Error& error) {
        ReportFailure(error.Message());
        return false;
    }
    return ExecuteSQLOn(*db, statement).ok;
}

void QueryFirstRow(const QString& statement, std::optional<VariantArray>& result) {
    result.reset();
    result = FirstRow(Connection(), statement);
}

namespace {

// Readies `query` for `statement`, with exact numerics.
void Ready(QSqlQuery& query, QSqlDatabase& db, const QString& statement) {
    CheckStatementForDriver(db, statement);
    query.setForwardOnly(true);
    query.setNumericalPrecisionPolicy(QSql::HighPrecision);
}

// Prepares `statement` on `query` with exact numerics; raises the database's
// text.
void Prepare(QSqlQuery& query, QSqlDatabase& db, const QString& statement) {
    Ready(query, db, statement);
    if (!query.prepare(statement)) {
        throw Error(DatabaseErrorText(query.lastError()));
    }
}

void Bind(QSqlQuery& query, const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i) {
        query.bindValue(i, values[i]);
    }
}

}  // namespace

std::vector<QVariantList> AllRows(QSqlDatabase& db, const QString& statement,
                                  const QVariantList& bound) {
    const BusyScope busy;
    QSqlQuery query(db);
    // Without values the statement goes as it is: QPSQL would prepare,
    // execute and deallocate it, three round trips instead of one. Over ODBC
    // it is prepared all the same, so that the bound has a statement handle
    // to cancel.
    const bool odbc = OdbcConnectionHandle(db) != nullptr;
    if (bound.isEmpty() && !odbc) {
        Ready(query, db, statement);
    } else {
        Prepare(query, db, statement);
        Bind(query, bound);
    }
    const ConnectionWatch watch(db, OdbcStatementOf(query));
    const auto fail = [&watch, &query] {
        const QString text = DatabaseErrorText(query.lastError());
        throw Error(watch.TimedOut() ? TimeoutExplanation() + text : text);
    };
    if (!(bound.isEmpty() && !odbc ? query.exec(statement) : query.exec())) {
        fail();
    }
    const QSqlRecord record = query.record();
    const int columns = record.count();
    // QODBC reads every floating column one way: as the driver's text under
    // high precision, which keeps a DECIMAL exact but may cut a double short
    // (the SQLite ODBC driver writes 15 digits). Its values are fetched in
    // column order when asked for, each under the precision in force then:
    // approximate columns are read as doubles, the others as text.
    std::vector<QSql::NumericalPrecisionPolicy> precision(static_cast<std::size_t>(columns),
                                                          QSql::HighPrecision);
    bool mixed = false;
    if (OdbcConnectionHandle(db) != nullptr) {
        for (int c = 0; c < columns; ++c) {
            const int type = record.field(c).typeID();
            if (type == SQL_FLOAT || type == SQL_REAL || type == SQL_DOUBLE) {
                precision[static_cast<std::size_t>(c)] = QSql::LowPrecisionDouble;
                mixed = true;
            }
        }
    }
    std::vector<QVariantList> rows;
    while (query.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c) {
            if (mixed) {
                query.setNumericalPrecisionPolicy(precision[static_cast<std::size_t>(c)]);
            }
            row.append(query.value(c));
        }
        if (mixed) {
            query.setNumericalPrecisionPolicy(QSql::HighPrecision);
        }
        rows.push_back(std::move(row));
    }
    if (query.lastError().type() != QSqlError::NoError) {
        fail();
    }
    return rows;
}

qint64 RunForEachRow(QSqlDatabase& db, const QString& statement,
                     const std::vector<QVariantList>& rows) {
    if (rows.empty()) {
        return 0;
    }
    const BusyScope busy;
    QSqlQuery query(db);
    Prepare(query, db, statement);
    qint64 affected = 0;
    for (const QVariantList& row : rows) {
        Bind(query, row);
        // Each execution is a statement of its own, with a bound of its own.
        const ConnectionWatch watch(db, OdbcStatementOf(query));
        if (!query.exec()) {
            const QString text = DatabaseErrorText(query.lastError());
            throw Error(watch.TimedOut() ? TimeoutExplanation() + text : text);
        }
        const int count = query.numRowsAffected();
        affected = affected < 0 || count < 0 ? -1 : affected + count;
    }
    return affected;
}

bool RestoreAutocommit(QSqlDatabase& db) {
    if (!db.isOpen()) {
        return true;
    }
    if (SQLHDBC hdbc = OdbcConnectionHandle(db)) {
        SQLUINTEGER autocommit = SQL_AUTOCOMMIT_ON;
        if (SQL_SUCCEEDED(SQLGetConnectAttr(hdbc, SQL_ATTR_AUTOCOMMIT, &autocommit, 0, nullptr)) &&
            autocommit == SQL_AUTOCOMMIT_ON) {
            return true;
        }
        // Switching autocommit on commits an open transaction: only once the
        // transaction is rolled back, or the connection is gone with it.
        SQLRETURN rolledBack = SQLEndTran(SQL_HANDLE_DBC, hdbc, SQL_ROLLBACK);
        SQLUINTEGER dead = SQL_CD_FALSE;
        SQLGetConnectAttr(hdbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
        if (!SQL_SUCCEEDED(rolledBack) && dead != SQL_CD_TRUE &&
            ProductOf(db) == DatabaseProduct::SQLite) {
            // The SQLite ODBC driver goes on counting a transaction that
            // SQLite has ended itself (a trigger's RAISE(ROLLBACK)): its
            // rollback then fails, and it would begin no later transaction.
            // A transaction begun by hand gives its rollback one to end; in
            // a transaction that is still open, BEGIN fails and changes
            // nothing.
            QSqlQuery begin(db);
            if (begin.exec(QStringLiteral("BEGIN"))) {
                rolledBack = SQLEndTran(SQL_HANDLE_DBC, hdbc, SQL_ROLLBACK);
            }
        }
        if (!SQL_SUCCEEDED(rolledBack) && dead != SQL_CD_TRUE) {
            return false;
        }
        return SQL_SUCCEEDED(SQLSetConnectAttr(hdbc, SQL_ATTR_AUTOCOMMIT,
                                               reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0));
    }
    // The other drivers keep no mode of their own: a transaction still open
    // is ended by rolling it back; without one the statement merely fails.
    QSqlQuery query(db);
    query.exec(QStringLiteral("ROLLBACK"));
    return true;
}

}  // namespace prvc03
