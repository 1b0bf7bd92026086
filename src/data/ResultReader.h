#pragma once
// One statement on the host's connection, run through the driver's own
// handle: it executes, and a statement that returns records is read forward
// only into the dataset's column store. One reader per driver family: SQLite
// steps its sqlite3 handle, PostgreSQL reads libpq results, ODBC fetches row
// arrays of bound columns; any other driver goes through QSqlQuery. Each
// describes the columns and delivers the values exactly as QSqlQuery with
// low-precision doubles does.
//
// A reader is made on the thread that owns the connection. Execute and
// ReadAll may then run on another thread, as long as nothing else uses the
// connection meanwhile; Cancel and RowsRead may be called from any thread.

#include <QMetaType>
#include <QSqlDatabase>
#include <QString>

#include <atomic>
#include <chrono>
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

    // Runs the statement. Raises the driver's text when it fails; when the
    // command timeout ran out first, the text follows TimeoutExplanation();
    // when Cancel stopped it, raises Cancelled. The bound counts from here to
    // the end of the last Read.
    void Execute();
    // Whether the executed statement returns records.
    bool ReturnsRecords() const { return !columns_.empty(); }
    const std::vector<ResultColumnInfo>& Columns() const { return columns_; }
    // Appends every remaining row: result column source[c] to columns[c].
    // Returns the number of rows read; raises as Execute does.
    int ReadAll(const std::vector<int>& source, std::vector<ResultColumn>& columns) {
        return Read(source, columns, -1);
    }
    // The same for at most `limit` rows (every row when negative).
    int Read(const std::vector<int>& source, std::vector<ResultColumn>& columns, int limit);
    // Rows a statement without records affected; -1 when the driver cannot
    // tell.
    virtual qint64 RowsAffected() const = 0;
    // The operator's stop: asks the driver to stop the statement while it
    // executes or is read; Execute or Read then raises Cancelled. Any thread.
    void Cancel() noexcept;
    // Whether Cancel was called, however far the statement had got by then.
    bool CancelRequested() const { return cancelled_.load(); }
    // Whether Cancel and the command timeout reach the driver (the QSqlQuery
    // reader cannot).
    virtual bool CanCancel() const { return true; }
    // Rows read so far; may be read from any thread while Read runs.
    qint64 RowsRead() const { return rowsRead_.load(std::memory_order_relaxed); }

  protected:
    ResultReader() = default;
    virtual void DoExecute() = 0;
    virtual int DoRead(const std::vector<int>& source, std::vector<ResultColumn>& columns,
                       int limit) = 0;
    // Asks the driver to stop; called from another thread.
    virtual void DoCancel() noexcept = 0;
    void CountRows(qint64 rows) { rowsRead_.store(rows, std::memory_order_relaxed); }
    // When the statement's time runs out.
    std::chrono::steady_clock::time_point Deadline() const { return deadline_; }

    std::vector<ResultColumnInfo> columns_;

  private:
    template <class Work>
    auto Watched(Work&& work);

    std::atomic<qint64> rowsRead_{0};
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> timedOut_{false};
    bool started_ = false;
    std::chrono::steady_clock::time_point deadline_;
};

// The reader of `statement` on `db` that suits its driver, not yet executed.
std::unique_ptr<ResultReader> ReaderFor(QSqlDatabase& db, const QString& statement);
// The same, executed; raises "The statement returns no records" when it is
// not a query.
std::unique_ptr<ResultReader> ExecuteForReading(QSqlDatabase& db, const QString& statement);

// The readers by family, not yet executed, for tests and benchmarks that
// compare them. Each is null when `db` is not a connection of its family.
std::unique_ptr<ResultReader> QueryReaderFor(QSqlDatabase& db, const QString& statement);
std::unique_ptr<ResultReader> SqliteReaderFor(QSqlDatabase& db, const QString& statement);
std::unique_ptr<ResultReader> PostgresReaderFor(QSqlDatabase& db, const QString& statement);
// How the ODBC reader fetches: row arrays of bound columns (the fast way),
// or one row at a time with every value read in pieces, which it falls back
// to for unbounded columns or values longer than their column says.
enum class OdbcFetch { Blocks, Rows };
std::unique_ptr<ResultReader> OdbcReaderFor(QSqlDatabase& db, const QString& statement,
                                            OdbcFetch fetch = OdbcFetch::Blocks);

}  // namespace prvc03
