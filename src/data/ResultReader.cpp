// Which reader a connection gets.
#include "data/ResultReader.h"

#include "data/DatabaseProduct.h"
#include "session/Errors.h"

namespace prvc03 {

std::unique_ptr<ResultReader> ReaderFor(QSqlDatabase& db, const QString& statement) {
    CheckStatementForDriver(db, statement);
    if (auto odbc = OdbcReaderFor(db, statement)) {
        return odbc;
    }
    return QueryReaderFor(db, statement);
}

std::unique_ptr<ResultReader> ExecuteForReading(QSqlDatabase& db, const QString& statement) {
    std::unique_ptr<ResultReader> reader = ReaderFor(db, statement);
    reader->Execute();
    if (!reader->ReturnsRecords()) {
        throw Error(QStringLiteral("The statement returns no records"));
    }
    return reader;
}

}  // namespace prvc03
