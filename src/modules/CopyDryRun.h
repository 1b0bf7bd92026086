#pragma once
// The copy's dry run behind 预览: for each target line, in list order, the
// very statement 确定 runs, inside a transaction of its own that is always
// rolled back. Nothing is written and nothing is reported to the host; the
// outcome of each line is the forecast.

#include <QString>
#include <QVariantList>

#include <vector>

#include "modules/CopyTarget.h"

class QSqlDatabase;

namespace prvc03 {

// What 确定 would do for one target line.
struct CopyForecast {
    QString code;
    QString name;
    int rows = 0;           // rows the copy would add; 0 when refused
    bool copyable = false;  // the database took the statement
    QString error;          // the database's text when it refused
    // The source's programs (CopyDryRun::SourcePrograms, by position) whose
    // MH002 the target holds already, as the database compares them: the
    // rows a key on (MH001, MH002) rejects.
    std::vector<int> held;
    // "可复制", or "失败：" followed by the database's text.
    QString Outcome() const;
};

class CopyDryRun {
  public:
    explicit CopyDryRun(QSqlDatabase& db) : db_(db) {}

    // Forecasts the copy of the source user (`sourceText`, the text of Edit1)
    // to every target, in order. 确定 commits each copyable line before the
    // next one runs, so a line's transaction first repeats the earlier
    // copyable lines for the same user: two lines for one user forecast what
    // the second one meets. Raises an Error when a transaction cannot be
    // rolled back: the preview stops, the connection back in autocommit.
    // With `onlyMissing`, each line runs the statement that adds only the
    // source's rows whose MH002 the target does not hold yet.
    std::vector<CopyForecast> Run(const QString& sourceText, const std::vector<CopyTarget>& targets,
                                  bool onlyMissing = false);

    // Every row of the source as the last Run read it, before any
    // transaction: MH002, MH003 and MH004, in MH002 order.
    const std::vector<QVariantList>& SourcePrograms() const { return programs_; }

  private:
    CopyForecast RunOne(const CopyTarget& target, const QString& literal, const QString& statement,
                        const std::vector<QString>& earlier);
    // The positions in programs_ of the source's MH002 values the target
    // holds, read inside the target's transaction.
    std::vector<int> HeldPrograms(const QString& literal);

    QSqlDatabase& db_;
    QString sourceText_;
    std::vector<QVariantList> programs_;
};

}  // namespace prvc03
