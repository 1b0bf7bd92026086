#include "modules/CopyLedger.h"

#include <QSqlDatabase>

#include "data/Statements.h"
#include "modules/CopyStatements.h"
#include "session/SqlLiteral.h"

namespace prvc03 {

QString CopiedLine::Outcome() const {
    return outcome.committed ? QStringLiteral("成功") : QStringLiteral("失败：") + outcome.error;
}

const CopiedLine& CopyLedger::Copy(QSqlDatabase& db, const CopyTarget& target) {
    CopiedLine line;
    line.target = target;
    QString literal;
    // Read before the transaction begins, so that inside it the copy runs
    // its statements as it always does. A read that fails costs this line
    // its way back, never its copy.
    try {
        Source(db);
        literal = ToSqlLiteral(target.code);
        line.before = PermissionRows::Read(db, literal);
    } catch (const std::exception& error) {
        line.unknown = QString::fromUtf8(error.what());
    }
    line.outcome = CopyToTarget(db, target.code, sourceText_);
    line.rowsAdded = line.outcome.committed ? line.outcome.rows : 0;
    if (line.outcome.committed && line.before) {
        Confirm(db, literal, line);
    }
    lines_.push_back(std::move(line));
    return lines_.back();
}

const CopiedLine& CopyLedger::Fail(const CopyTarget& target, const QString& error) {
    CopiedLine line;
    line.target = target;
    line.outcome.error = error;
    line.unknown = error;
    lines_.push_back(std::move(line));
    return lines_.back();
}

const PermissionRows* CopyLedger::Source(QSqlDatabase& db) {
    if (!sourceRead_) {
        sourceRead_ = true;
        try {
            source_ = PermissionRows::Read(db, ToSqlLiteral(sourceText_));
        } catch (const std::exception& error) {
            sourceError_ = QString::fromUtf8(error.what());
        }
    }
    return source_ ? &*source_ : nullptr;
}

void CopyLedger::Confirm(QSqlDatabase& db, const QString& literal, CopiedLine& line) {
    const PermissionRows* source = Source(db);
    if (source == nullptr) {
        line.unknown = sourceError_;
        return;
    }
    try {
        const std::vector<QVariantList> summary = AllRows(db, PermissionSummaryStatement(literal));
        if (summary.size() != 1 || summary.front().size() != 3) {
            line.unknown = QStringLiteral("复制后未能读取该用户的权限笔数");
            return;
        }
        const QVariantList& values = summary.front();
        const qint64 count = values[0].toLongLong();
        const qint64 held = line.before->Count();
        const qint64 added = line.outcome.rows >= 0 ? line.outcome.rows : count - held;
        line.rowsAdded = added;
        if (added != source->Count() || count != held + added) {
            line.changedMeanwhile = true;
            return;
        }
        if (added == 0) {
            line.after = line.before;
        } else if (PermissionRows::ValueKey(values[1]) == PermissionRows::ValueKey(values[2]) &&
                   line.before->AllOfUser(values[1])) {
            line.after = line.before->PlusRowsOf(*source, values[1]);
        } else {
            // Codes the database takes as equal but keeps written apart:
            // which of them the copy wrote is read back.
            line.after = PermissionRows::Read(db, literal);
        }
    } catch (const std::exception& error) {
        line.unknown = QString::fromUtf8(error.what());
    }
}

}  // namespace prvc03
