#include "modules/CopyLedger.h"

#include <QSet>
#include <QSqlDatabase>

#include "session/SqlLiteral.h"

namespace prvc03 {

namespace {

// The rows of `source` whose MH002 none of `before`'s rows has.
PermissionRows Missing(const PermissionRows& source, const PermissionRows& before) {
    QSet<QString> held;
    for (const QVariantList& row : before.Rows()) {
        held.insert(PermissionRows::ValueKey(row.value(1)));
    }
    std::vector<QVariantList> missing;
    for (const QVariantList& row : source.Rows()) {
        if (!held.contains(PermissionRows::ValueKey(row.value(1)))) {
            missing.push_back(row);
        }
    }
    return PermissionRows(std::move(missing));
}

}  // namespace

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
    if (onlyMissing_) {
        line.leftOut = -1;
        if (line.added && line.before) {
            line.added = Missing(*line.added, *line.before);
            line.leftOut = source_->Count() - line.added->Count();
        } else {
            line.added.reset();
        }
    }
    line.outcome = CopyToTarget(db, target.code, sourceText_, onlyMissing_);
    if (onlyMissing_ && line.outcome.committed && line.outcome.rows >= 0 && line.added &&
        line.outcome.rows != line.added->Count()) {
        // The database told the programs apart otherwise, or another session
        // changed the target between the read and the copy: what was added
        // is not known, and the target is not taken back.
        line.unknown = QStringLiteral("补上的笔数与复制前读到的不符");
        line.added.reset();
        line.leftOut = source_ ? source_->Count() - line.outcome.rows : -1;
    }
    if (!line.outcome.committed) {
        line.leftOut = 0;
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

}  // namespace prvc03
