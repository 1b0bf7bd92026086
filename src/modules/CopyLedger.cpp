#include "modules/CopyLedger.h"

#include <QSqlDatabase>

#include "session/SqlLiteral.h"

namespace prvc03 {

QString CopiedLine::Outcome() const {
    return outcome.committed ? QStringLiteral("成功") : QStringLiteral("失败：") + outcome.error;
}

const CopiedLine& CopyLedger::Copy(QSqlDatabase& db, const CopyTarget& target) {
    CopiedLine line;
    line.target = target;
    // Read before the transaction begins, so that inside it the copy runs
    // its statements as it always does. A read that fails costs this line
    // its way back, never its copy.
    if (!sourceRead_) {
        sourceRead_ = true;
        try {
            source_ = PermissionRows::Read(db, ToSqlLiteral(sourceText_));
        } catch (const std::exception& error) {
            sourceError_ = QString::fromUtf8(error.what());
        }
    }
    line.added = source_;
    line.unknown = sourceError_;
    try {
        line.before = PermissionRows::Read(db, ToSqlLiteral(target.code));
    } catch (const std::exception& error) {
        line.unknown = QString::fromUtf8(error.what());
    }
    line.outcome = CopyToTarget(db, target.code, sourceText_);
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

}  // namespace prvc03
