#pragma once
// The record of one run of the copy: for each target line, in list order,
// how its copy went and what taking it back needs. The copy itself is
// CopyToTarget, untouched; before each line's transaction the ledger reads
// the target's rows, and once per run, before the first line, the source's.
//
// What the copy left is not read back: it is the target's earlier rows plus
// the source's rows under the target's code (when only the missing programs
// are copied, the source's rows whose MH002 none of the earlier rows has),
// which taking back checks
// against the target's rows as they are then (PermissionRows::IsPlus). A
// target that another session changed around the copy, or a source that
// changed during the run, fails that check, and the target is left alone.

#include <QString>

#include <optional>
#include <vector>

#include "modules/CopyTarget.h"
#include "modules/CopyTransaction.h"
#include "modules/PermissionRows.h"

class QSqlDatabase;

namespace prvc03 {

// One target line's copy.
struct CopiedLine {
    CopyTarget target;
    CopyOutcome outcome;
    // The target's rows before the copy and the source's rows the copy
    // added to them (shared by every line of the run); either is missing
    // when it could not be read, and `unknown` says why.
    std::optional<PermissionRows> before;
    std::optional<PermissionRows> added;
    QString unknown;
    // The source's rows left out because the target held their MH002
    // already: 0 unless only the missing programs were copied, -1 when
    // that cannot be told.
    qint64 leftOut = 0;
    // Rows the copy added: the driver's count, -1 when it cannot tell; 0
    // for a line that failed.
    qint64 RowsAdded() const { return outcome.committed ? outcome.rows : 0; }
    // "成功", or "失败：" followed by the database's text.
    QString Outcome() const;
};

class CopyLedger {
  public:
    // With `onlyMissing`, each target gets only the source's rows whose
    // MH002 it does not hold yet.
    explicit CopyLedger(QString sourceText, bool onlyMissing = false)
        : sourceText_(std::move(sourceText)), onlyMissing_(onlyMissing) {}

    // The text of Edit1 the copy ran with.
    const QString& SourceText() const { return sourceText_; }
    bool OnlyMissing() const { return onlyMissing_; }

    // Copies the source to `target` on `db` through CopyToTarget (its
    // transaction, its statement, its report to the host), and records it.
    const CopiedLine& Copy(QSqlDatabase& db, const CopyTarget& target);
    // Records a line that could not run at all, failed with `error`.
    const CopiedLine& Fail(const CopyTarget& target, const QString& error);

    const std::vector<CopiedLine>& Lines() const { return lines_; }

  private:
    QString sourceText_;
    bool onlyMissing_ = false;
    bool sourceRead_ = false;
    std::optional<PermissionRows> source_;
    QString sourceError_;
    std::vector<CopiedLine> lines_;
};

}  // namespace prvc03
