// What every reader shares: the command timeout, the operator's cancel, and
// which reader a connection gets.
#include "data/ResultReader.h"

#include "data/CommandTimeout.h"
#include "data/DatabaseProduct.h"
#include "session/Errors.h"

namespace prvc03 {

template <class Work>
auto ResultReader::Watched(Work&& work) {
    if (!started_) {
        started_ = true;
        deadline_ = std::chrono::steady_clock::now() + CommandTimeout();
    }
    const auto check = [this] {
        if (cancelled_.load()) {
            throw Cancelled();
        }
    };
    check();
    try {
        const CommandWatch watch(deadline_, [this] {
            timedOut_.store(true);
            DoCancel();
        });
        return work();
    } catch (const Error& error) {
        check();
        // A lock wait that the driver ended at the deadline itself counts
        // as running out of time as well.
        if (timedOut_.load() || std::chrono::steady_clock::now() >= deadline_) {
            throw Error(TimeoutExplanation() + error.Message());
        }
        throw;
    }
}

void ResultReader::Execute() {
    Watched([this] {
        DoExecute();
        return 0;
    });
}

int ResultReader::Read(const std::vector<int>& source, std::vector<ResultColumn>& columns,
                       int limit) {
    return Watched([&] { return DoRead(source, columns, limit); });
}

void ResultReader::Cancel() noexcept {
    cancelled_.store(true);
    DoCancel();
}

std::unique_ptr<ResultReader> ReaderFor(QSqlDatabase& db, const QString& statement) {
    CheckStatementForDriver(db, statement);
    if (auto sqlite = SqliteReaderFor(db, statement)) {
        return sqlite;
    }
    if (auto postgres = PostgresReaderFor(db, statement)) {
        return postgres;
    }
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
