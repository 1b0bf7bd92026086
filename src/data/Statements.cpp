#include "data/Statements.h"

#include <QSqlDatabase>

#include "data/BusyIndicator.h"
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

}  // namespace prvc03
