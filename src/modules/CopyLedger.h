#pragma once
// The record of one run of the copy: for each target line, in list order,
// how its copy went and what taking it back needs. The copy itself is
// CopyToTarget, untouched; the ledger reads the target's rows before the
// line's transaction and checks them after its commit, outside it.
//
// What the copy left is not read back row by row: it is the rows the target
// held before, plus the source's rows under the target's code. The source is
// read once, at the first line; after each commit one summary statement
// (count, lowest and highest MH001) confirms that the target holds exactly
// as many rows as that makes and that they share one MH001. A target that
// another session changed in between, or a source that changed during the
// run, then fails the comparison that taking back makes, and that target is
// left alone.

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
    qint64 rowsAdded = 0;  // rows the copy added; -1 when unknown
    // The target's rows before the copy and what the copy left; either is
    // missing when it could not be known, and `unknown` says why.
    std::optional<PermissionRows> before;
    std::optional<PermissionRows> after;
    QString unknown;
    // Whether another session changed the target around the copy: what the
    // copy left cannot be told apart from that change.
    bool changedMeanwhile = false;
    // "成功", or "失败：" followed by the database's text.
    QString Outcome() const;
};

class CopyLedger {
  public:
    explicit CopyLedger(QString sourceText) : sourceText_(std::move(sourceText)) {}

    // The text of Edit1 the copy ran with.
    const QString& SourceText() const { return sourceText_; }

    // Copies the source to `target` on `db` through CopyToTarget (its
    // transaction, its statement, its report to the host), and records it.
    const CopiedLine& Copy(QSqlDatabase& db, const CopyTarget& target);
    // Records a line that could not run at all, failed with `error`.
    const CopiedLine& Fail(const CopyTarget& target, const QString& error);

    const std::vector<CopiedLine>& Lines() const { return lines_; }

  private:
    // Reads the source's rows the first time a line needs them.
    const PermissionRows* Source(QSqlDatabase& db);
    // Fills `line.after` from the summary of the committed target.
    void Confirm(QSqlDatabase& db, const QString& literal, CopiedLine& line);

    QString sourceText_;
    bool sourceRead_ = false;
    std::optional<PermissionRows> source_;
    QString sourceError_;
    std::vector<CopiedLine> lines_;
};

}  // namespace prvc03
