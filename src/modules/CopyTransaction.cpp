#include "modules/CopyTransaction.h"

#include <QSqlDatabase>
#include <QSqlError>

#include "data/DatabaseError.h"
#include "data/Statements.h"
#include "data/Transactions.h"
#include "modules/CopyStatements.h"
#include "session/Errors.h"

namespace prvc03 {

namespace {

QString TransactionError(QSqlDatabase& db, const QString& fallback) {
    const QString text = DatabaseErrorText(db.lastError());
    return text.isEmpty() ? fallback : text;
}

}  // namespace

CopyOutcome CopyToTarget(QSqlDatabase& db, const QString& targetCode, const QString& sourceText,
                         bool onlyMissing) {
    CopyOutcome outcome;
    if (!db.isOpen()) {
        outcome.error = QStringLiteral("No database connection");
        return outcome;
    }
    if (!BeginTransaction(db)) {
        // Nothing was begun, so nothing can have been written for this user.
        outcome.error = TransactionError(db, QStringLiteral("无法开始事务"));
        return outcome;
    }
    try {
        const ExecuteOutcome executed =
            ExecuteSQLOn(db, CopyPermissionsStatement(targetCode, sourceText, onlyMissing));
        if (executed.ok) {
            if (CommitTransaction(db)) {
                outcome.committed = true;
                outcome.rows = executed.rows;
                return outcome;
            }
            outcome.error = TransactionError(db, QStringLiteral("无法提交事务"));
        } else {
            outcome.error = executed.error;
        }
    } catch (const std::exception& error) {
        // A code the literal rule refuses, or anything else raised after the
        // transaction began: this user's copy fails as a whole.
        outcome.error = QString::fromUtf8(error.what());
    }
    // A connection lost meanwhile has rolled back on its own (the server
    // ends the transaction with the connection). A rollback that fails
    // would leave an ODBC connection out of autocommit for the host.
    if (db.isOpen() && !RollbackTransaction(db)) {
        RestoreAutocommit(db);
    }
    return outcome;
}

}  // namespace prvc03
