#include "modules/CopyUndo.h"

#include <QSqlDatabase>
#include <QSqlError>

#include "data/DatabaseError.h"
#include "data/Statements.h"
#include "data/Transactions.h"
#include "modules/CopyStatements.h"
#include "session/SqlLiteral.h"

namespace prvc03 {

namespace {

UndoOutcome Outcome(UndoOutcome::Result result, const QString& error = QString()) {
    return UndoOutcome{result, error};
}

QString LastError(QSqlDatabase& db, const QString& fallback) {
    const QString text = DatabaseErrorText(db.lastError());
    return text.isEmpty() ? fallback : text;
}

void RollBack(QSqlDatabase& db) {
    // A connection lost meanwhile has rolled back with the server.
    if (db.isOpen() && !RollbackTransaction(db)) {
        RestoreAutocommit(db);
    }
}

}  // namespace

QString UndoOutcome::Text() const {
    switch (result) {
        case Undone:
            return QStringLiteral("已撤销");
        case Changed:
            return QStringLiteral("已变更，未撤销");
        case Failed:
            break;
    }
    return QStringLiteral("撤销失败：") + error;
}

UndoOutcome TakeBack(QSqlDatabase& db, const CopiedLine& line) {
    if (!line.before || !line.added) {
        return Outcome(UndoOutcome::Failed, QStringLiteral("复制时未能记下该用户的权限（") +
                                                line.unknown + QStringLiteral("）"));
    }
    if (!db.isOpen()) {
        return Outcome(UndoOutcome::Failed, QStringLiteral("No database connection"));
    }
    if (!BeginTransaction(db)) {
        return Outcome(UndoOutcome::Failed, LastError(db, QStringLiteral("无法开始事务")));
    }
    try {
        const QString literal = ToSqlLiteral(line.target.code);
        // Read with the rows held, so that nobody changes them between the
        // comparison and the restore.
        const PermissionRows current = PermissionRows::Read(db, literal, true);
        if (!current.IsPlus(*line.before, *line.added)) {
            RollBack(db);
            return Outcome(UndoOutcome::Changed);
        }
        const qint64 removed = RunStatement(db, DeletePermissionsStatement(literal));
        if (removed >= 0 && removed != current.Count()) {
            // A row that came in after the comparison.
            RollBack(db);
            return Outcome(UndoOutcome::Changed);
        }
        RunForEachRow(db, RestorePermissionStatement(), line.before->Rows());
        if (!CommitTransaction(db)) {
            const QString error = LastError(db, QStringLiteral("无法提交事务"));
            RollBack(db);
            return Outcome(UndoOutcome::Failed, error);
        }
        return Outcome(UndoOutcome::Undone);
    } catch (const std::exception& error) {
        RollBack(db);
        return Outcome(UndoOutcome::Failed, QString::fromUtf8(error.what()));
    }
}

std::vector<std::optional<UndoOutcome>> TakeBackAll(QSqlDatabase* db,
                                                    const std::vector<CopiedLine>& lines) {
    std::vector<std::optional<UndoOutcome>> outcomes(lines.size());
    for (std::size_t i = lines.size(); i-- > 0;) {
        // A line that added no rows has nothing to take back.
        if (!lines[i].outcome.committed || lines[i].outcome.rows == 0) {
            continue;
        }
        outcomes[i] = db != nullptr
                          ? TakeBack(*db, lines[i])
                          : Outcome(UndoOutcome::Failed, QStringLiteral("No database connection"));
    }
    return outcomes;
}

}  // namespace prvc03
