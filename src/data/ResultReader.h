#pragma once
// Runs a statement that returns records and reads its result set into the
// dataset's column store, forward only. One reader per driver family: ODBC
// connections are read by block fetches on the driver's own handle, every
// other driver through QSqlQuery. Both describe the columns and deliver the
// values exactly as QSqlQuery with low-precision doubles does.

#include <QMetaType>
#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <vector>

#include "data/ResultColumn.h"

namespace prvc03 {

// One result column as the driver describes it.
struct ResultColumnInfo {
    QString name;
    QString table;  // the base table, where the driver tells it
    QMetaType type;
    int length = -1;  // characters for text, as QSqlField::length()
};

class ResultReader {
  public:
    virtual ~ResultReader() = default;
    ResultReader(const ResultReader&) = delete;
    ResultReader& operator=(const ResultReader&) = delete;

    const std::vector<ResultColumnInfo>& Columns() const { return columns_; }
    // Appends every remaining row: result column source[c] to columns[c].
    // Returns the number of rows read; raises the driver's text on error.
    virtual int ReadAll(const std::vector<int>& source, std::vector<ResultColumn>& columns) = 0;

  protected:
    ResultReader() = default;
    std::vector<ResultColumnInfo> columns_;
};

// Executes `statement` on `db` with the reader that suits its driver.
// Raises the driver's text when the statement fails, and "The statement
// returns no records" when it is not a query.
std::unique_ptr<ResultReader> ExecuteForReading(QSqlDatabase& db, const QString& statement);

// The readers by name, for tests and benchmarks that compare them.
std::unique_ptr<ResultReader> ExecuteWithQuery(QSqlDatabase& db, const QString& statement);
// Null when `db` is not an open ODBC connection.
std::unique_ptr<ResultReader> ExecuteWithOdbc(QSqlDatabase& db, const QString& statement);

// How the ODBC reader fetches: row arrays of bound columns (the fast way),
// or one row at a time with every value read in pieces, which it falls back
// to for unbounded columns or values longer than their column says.
enum class OdbcFetch { Blocks, Rows };
std::unique_ptr<ResultReader> ExecuteWithOdbc(QSqlDatabase& db, const QString& statement,
                                              OdbcFetch fetch);

}  // namespace prvc03
