// The reader of every driver without a faster path of its own: a forward-only
// QSqlQuery with low-precision doubles, value by value. It cannot be
// cancelled: the driver gives no handle to do it with.
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include "data/DatabaseError.h"
#include "data/ResultReader.h"
#include "session/Errors.h"

namespace prvc03 {

namespace {

class QueryResultReader final : public ResultReader {
  public:
    QueryResultReader(QSqlDatabase& db, const QString& statement)
        : query_(db), statement_(statement) {}

    void DoExecute() override {
        query_.setForwardOnly(true);
        query_.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
        if (!query_.exec(statement_)) {
            throw Error(DatabaseErrorText(query_.lastError()));
        }
        if (!query_.isSelect()) {
            return;
        }
        const QSqlRecord record = query_.record();
        for (int i = 0; i < record.count(); ++i) {
            const QSqlField field = record.field(i);
            columns_.push_back({field.name(), field.tableName(), field.metaType(), field.length()});
        }
    }

    int DoRead(const std::vector<int>& source, std::vector<ResultColumn>& columns,
               int limit) override {
        int count = 0;
        while (count != limit && query_.next()) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                columns[c].Append(query_.value(source[c]));
            }
            CountRows(++count);
        }
        if (query_.lastError().type() != QSqlError::NoError) {
            throw Error(DatabaseErrorText(query_.lastError()));
        }
        return count;
    }

    qint64 RowsAffected() const override { return query_.numRowsAffected(); }
    void DoCancel() noexcept override {}
    bool CanCancel() const override { return false; }

  private:
    QSqlQuery query_;
    QString statement_;
};

}  // namespace

std::unique_ptr<ResultReader> QueryReaderFor(QSqlDatabase& db, const QString& statement) {
    return std::make_unique<QueryResultReader>(db, statement);
}

}  // namespace prvc03
