// The reader of every driver without a faster path of its own: a forward-only
// QSqlQuery with low-precision doubles, value by value.
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include "data/ResultReader.h"
#include "session/DatabaseProduct.h"
#include "session/Errors.h"

namespace prvc03 {

namespace {

QString ProviderText(const QSqlError& error) {
    const QString text = error.databaseText().trimmed();
    return text.isEmpty() ? error.text().trimmed() : text;
}

class QueryResultReader final : public ResultReader {
  public:
    QueryResultReader(QSqlDatabase& db, const QString& statement) : query_(db) {
        query_.setForwardOnly(true);
        query_.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
        if (!query_.exec(statement)) {
            throw Error(ProviderText(query_.lastError()));
        }
        if (!query_.isSelect()) {
            throw Error(QStringLiteral("The statement returns no records"));
        }
        const QSqlRecord record = query_.record();
        for (int i = 0; i < record.count(); ++i) {
            const QSqlField field = record.field(i);
            columns_.push_back({field.name(), field.tableName(), field.metaType(), field.length()});
        }
    }

    int ReadAll(const std::vector<int>& source, std::vector<ResultColumn>& columns) override {
        int count = 0;
        while (query_.next()) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                columns[c].Append(query_.value(source[c]));
            }
            ++count;
        }
        if (query_.lastError().type() != QSqlError::NoError) {
            throw Error(ProviderText(query_.lastError()));
        }
        return count;
    }

  private:
    QSqlQuery query_;
};

}  // namespace

std::unique_ptr<ResultReader> ExecuteWithQuery(QSqlDatabase& db, const QString& statement) {
    return std::make_unique<QueryResultReader>(db, statement);
}

std::unique_ptr<ResultReader> ExecuteForReading(QSqlDatabase& db, const QString& statement) {
    CheckStatementForDriver(db, statement);
    if (auto odbc = ExecuteWithOdbc(db, statement)) {
        return odbc;
    }
    return ExecuteWithQuery(db, statement);
}

}  // namespace prvc03
