#include "modules/CopyDryRun.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>

#include "data/DatabaseError.h"
#include "data/DatabaseProduct.h"
#include "data/Statements.h"
#include "data/Transactions.h"
#include "modules/CopyStatements.h"
#include "modules/PermissionRows.h"
#include "session/Errors.h"
#include "session/SqlLiteral.h"

namespace prvc03 {

namespace {

// The first column of the first row of `statement`, as a number.
qint64 Count(QSqlDatabase& db, const QString& statement) {
    const std::optional<VariantArray> row = FirstRow(db, statement);
    if (!row || row->IsEmpty()) {
        throw Error(QStringLiteral("No count"));
    }
    return row->at(row->Low()).toLongLong();
}

}  // namespace

QString CopyForecast::Outcome() const {
    return copyable ? QStringLiteral("可复制") : QStringLiteral("失败：") + error;
}

std::vector<CopyForecast> CopyDryRun::Run(const QString& sourceText,
                                          const std::vector<CopyTarget>& targets,
                                          bool onlyMissing) {
    sourceText_ = sourceText;
    programs_ = AllRows(db_, SourceProgramsStatement(sourceText));
    std::vector<CopyForecast> forecasts;
    forecasts.reserve(targets.size());
    // Statements of the lines forecast as copyable, per target user literal.
    std::vector<std::pair<QString, QString>> copyable;
    for (const CopyTarget& target : targets) {
        QString statement;
        QString literal;
        try {
            statement = CopyPermissionsStatement(target.code, sourceText, onlyMissing);
            literal = ToSqlLiteral(target.code);
        } catch (const Error& error) {
            // A code the literal rule refuses: 确定 fails this line as well.
            CopyForecast refused{target.code, target.name, 0, false, error.Message(), {}};
            forecasts.push_back(refused);
            continue;
        }
        std::vector<QString> earlier;
        for (const auto& [code, done] : copyable) {
            if (code == literal) {
                earlier.push_back(done);
            }
        }
        forecasts.push_back(RunOne(target, literal, statement, earlier));
        if (forecasts.back().copyable) {
            copyable.emplace_back(literal, statement);
        }
    }
    return forecasts;
}

CopyForecast CopyDryRun::RunOne(const CopyTarget& target, const QString& literal,
                                const QString& statement, const std::vector<QString>& earlier) {
    CopyForecast forecast{target.code, target.name, 0, false, QString(), {}};
    if (!BeginTransaction(db_)) {
        // Without a transaction of its own the statement would write: it
        // does not run, and 确定 fails this line in the same way.
        const QString text = DatabaseErrorText(db_.lastError());
        forecast.error = text.isEmpty() ? QStringLiteral("无法开始事务") : text;
        return forecast;
    }
    try {
        // A statement the driver would misread is refused as 确定 refuses it.
        CheckStatementForDriver(db_, statement);
        for (const QString& repeated : earlier) {
            RunStatement(db_, repeated);
        }
        forecast.held = HeldPrograms(literal);
        const QString count = PermissionCountStatement(literal);
        const qint64 before = Count(db_, count);
        // The statement as ExecuteSQL runs it, without its report to the host.
        std::optional<qint64> rows;
        try {
            rows = RunStatement(db_, statement);
        } catch (const Error& error) {
            forecast.error = error.Message();
        }
        if (rows) {
            // Where the driver cannot tell: the rows the target has gained.
            forecast.rows = static_cast<int>(*rows >= 0 ? *rows : Count(db_, count) - before);
            forecast.copyable = true;
        }
    } catch (const std::exception& error) {
        forecast.copyable = false;
        forecast.rows = 0;
        forecast.error = QString::fromUtf8(error.what());
    }
    if (!RollbackTransaction(db_)) {
        QString text =
            QStringLiteral("复制预览无法回滚，预览已停止：") + DatabaseErrorText(db_.lastError());
        if (!RestoreAutocommit(db_)) {
            text += QStringLiteral("（连接未能恢复自动提交）");
        }
        throw Error(text);
    }
    return forecast;
}

std::vector<int> CopyDryRun::HeldPrograms(const QString& literal) {
    QSet<QString> keys;
    for (const QVariantList& row : AllRows(db_, HeldProgramsStatement(literal, sourceText_))) {
        keys.insert(PermissionRows::ValueKey(row.value(0)));
    }
    std::vector<int> held;
    for (int i = 0; i < static_cast<int>(programs_.size()); ++i) {
        if (keys.contains(
                PermissionRows::ValueKey(programs_[static_cast<std::size_t>(i)].value(0)))) {
            held.push_back(i);
        }
    }
    return held;
}

}  // namespace prvc03
