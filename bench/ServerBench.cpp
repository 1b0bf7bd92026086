// The lookup fetch and the copy step on a real PostgreSQL server, through
// QPSQL and through QODBC with psqlODBC, each beside raw client code doing
// the same work on the same server in the same run: libpq (PQexec, values
// converted to UTF-16 into the store's column layout, the copy's BEGIN /
// INSERT ... SELECT / COMMIT) and raw ODBC on the connection's own handle
// (1,000-row arrays of bound SQL_C_WCHAR columns, the copy in a manual-commit
// transaction as QODBC runs it). Skipped without PRVC03_PG_CONNINFO.
#include <QSqlQuery>
#include <QVariant>

#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sql.h>
#include <sqlext.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchData.h"
#include "CopyWindow.h"
#include "FetchBaselines.h"
#include "ServerData.h"
#include "Summary.h"
#include "data/DatabaseProduct.h"
#include "data/Odbc.h"
#include "data/ResultColumn.h"
#include "data/ResultReader.h"
#include "modules/CopyStatements.h"

namespace prvc03::bench {

namespace {

enum Via { kNative = 0, kOdbc = 1 };

// Repetitions at least of the cases that take milliseconds: a server on a
// shared machine spreads them most.
constexpr int kShortReps = 15;

const char* ViaName(int via) {
    return via == kNative ? "PostgreSQL (QPSQL)" : "ODBC -> PostgreSQL (QODBC, psqlODBC)";
}

ServerData* ServerOrSkip(benchmark::State& state) {
    ServerData* server = ServerData::Get();
    if (server == nullptr) {
        state.SkipWithError("PRVC03_PG_CONNINFO is not set (run beside scripts/with-postgres.sh)");
    }
    return server;
}

std::vector<SQLWCHAR> Wide(const QString& text) {
    std::vector<SQLWCHAR> wide(text.utf16(), text.utf16() + text.size());
    wide.push_back(0);
    return wide;
}

// A statement handle of its own on an ODBC connection, freed on every path.
class OdbcStatement {
  public:
    explicit OdbcStatement(SQLHDBC connection) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle_))) {
            throw std::runtime_error("raw ODBC: cannot allocate a statement");
        }
    }
    ~OdbcStatement() { SQLFreeHandle(SQL_HANDLE_STMT, handle_); }
    OdbcStatement(const OdbcStatement&) = delete;
    OdbcStatement& operator=(const OdbcStatement&) = delete;
    SQLHSTMT get() const { return handle_; }
    void Check(SQLRETURN rc, const char* what) const {
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
            SQLCHAR state[6] = {}, message[512] = {};
            SQLINTEGER native = 0;
            SQLSMALLINT length = 0;
            SQLGetDiagRecA(SQL_HANDLE_STMT, handle_, 1, state, &native, message, sizeof message,
                           &length);
            throw std::runtime_error(std::string("raw ODBC: ") + what + ": " +
                                     reinterpret_cast<const char*>(message));
        }
    }

  private:
    SQLHSTMT handle_ = nullptr;
};

SQLHDBC HandleOf(QSqlDatabase& db) {
    auto* handle = static_cast<SQLHDBC>(OdbcConnectionHandle(db));
    if (handle == nullptr) {
        throw std::runtime_error("raw ODBC: not an open ODBC connection");
    }
    return handle;
}

// libpq: the whole result with PQexec, every text converted from UTF-8 into
// the store's layout.
// Raises unless the raw store holds `rows` rows.
void CheckRows(const std::vector<RawTextColumn>& columns, int rows) {
    if (columns.empty() || columns.front().count != rows) {
        throw std::runtime_error("a raw fetch read the wrong number of rows");
    }
}

double RawLibpqStore(PGconn* connection, const QString& sql, int expected) {
    const QByteArray text = sql.toUtf8();
    std::vector<RawTextColumn> columns;
    const double seconds = TimeOf([&] {
        PGresult* result = PQexec(connection, text.constData());
        if (PQresultStatus(result) != PGRES_TUPLES_OK) {
            const std::string message = PQresultErrorMessage(result);
            PQclear(result);
            throw std::runtime_error("libpq: " + message);
        }
        const int rows = PQntuples(result);
        const int count = PQnfields(result);
        columns.resize(static_cast<std::size_t>(count));
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < count; ++c) {
                if (PQgetisnull(result, r, c)) {
                    columns[c].AppendNull();
                } else {
                    columns[c].AppendUtf8(PQgetvalue(result, r, c),
                                          static_cast<std::size_t>(PQgetlength(result, r, c)));
                }
            }
        }
        PQclear(result);
        for (RawTextColumn& column : columns) {
            column.Finish();
        }
    });
    CheckRows(columns, expected);
    return seconds;
}

// Raw ODBC on the connection's handle: 1,000-row arrays of bound UTF-16
// columns, copied into the store's layout.
double RawOdbcStore(QSqlDatabase& db, const QString& sql, int expected) {
    constexpr SQLULEN kRows = 1000;
    const SQLHDBC connection = HandleOf(db);
    std::vector<SQLWCHAR> text = Wide(sql);
    std::vector<RawTextColumn> columns;
    const double seconds = TimeOf([&] {
        OdbcStatement statement(connection);
        const SQLHSTMT stmt = statement.get();
        statement.Check(SQLExecDirectW(stmt, text.data(), SQL_NTS), "execute");
        SQLSMALLINT count = 0;
        statement.Check(SQLNumResultCols(stmt, &count), "columns");
        std::vector<std::vector<SQLWCHAR>> data(static_cast<std::size_t>(count));
        std::vector<std::vector<SQLLEN>> lengths(static_cast<std::size_t>(count));
        std::vector<SQLLEN> widths(static_cast<std::size_t>(count));
        SQLULEN fetched = 0;
        statement.Check(
            SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kRows), 0),
            "row array size");
        statement.Check(SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0),
                        "rows fetched");
        for (SQLSMALLINT c = 0; c < count; ++c) {
            SQLWCHAR name[256];
            SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            statement.Check(SQLDescribeColW(stmt, static_cast<SQLUSMALLINT>(c + 1), name, 256,
                                            &nameLength, &type, &size, &digits, &nullable),
                            "describe");
            // Room for every character as a surrogate pair, and the NUL.
            const std::size_t units = 2 * size + 1;
            data[c].resize(units * kRows);
            lengths[c].resize(kRows);
            widths[c] = static_cast<SQLLEN>(units * sizeof(SQLWCHAR));
            statement.Check(SQLBindCol(stmt, static_cast<SQLUSMALLINT>(c + 1), SQL_C_WCHAR,
                                       data[c].data(), widths[c], lengths[c].data()),
                            "bind");
        }
        columns.resize(static_cast<std::size_t>(count));
        for (;;) {
            const SQLRETURN rc = SQLFetch(stmt);
            if (rc == SQL_NO_DATA) {
                break;
            }
            statement.Check(rc, "fetch");
            for (SQLULEN r = 0; r < fetched; ++r) {
                for (SQLSMALLINT c = 0; c < count; ++c) {
                    const SQLLEN length = lengths[c][r];
                    if (length == SQL_NULL_DATA) {
                        columns[c].AppendNull();
                    } else if (length == SQL_NO_TOTAL ||
                               length > widths[c] - static_cast<SQLLEN>(sizeof(SQLWCHAR))) {
                        throw std::runtime_error("raw ODBC: a value longer than its column");
                    } else {
                        const std::size_t stride = static_cast<std::size_t>(widths[c]) / 2;
                        columns[c].Append(
                            reinterpret_cast<const char16_t*>(data[c].data() + stride * r),
                            static_cast<std::size_t>(length) / sizeof(SQLWCHAR));
                    }
                }
            }
        }
        for (RawTextColumn& column : columns) {
            column.Finish();
        }
    });
    CheckRows(columns, expected);
    return seconds;
}

// The ODBC reader alone into two text columns, without the dataset around
// it; the seconds of its execute (the statement, the driver's whole result
// and the column description) go to `execute`.
double ReaderAlone(QSqlDatabase& db, const QString& sql, std::vector<double>& execute) {
    const auto start = std::chrono::steady_clock::now();
    const std::unique_ptr<ResultReader> reader = OdbcReaderFor(db, sql, OdbcFetch::Blocks);
    reader->Execute();
    execute.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    std::vector<ResultColumn> columns;
    columns.emplace_back(ResultColumn::Kind::Text);
    columns.emplace_back(ResultColumn::Kind::Text);
    reader->ReadAll({0, 1}, columns);
    for (ResultColumn& column : columns) {
        column.Finish();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// QSqlQuery forward-only, next() and value() of every column.
double NextValueLoop(QSqlDatabase& db, const QString& sql) {
    return TimeOf([&] {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(sql)) {
            throw std::runtime_error("next()+value() loop: statement failed");
        }
        const int count = 2;
        int rows = 0;
        while (query.next()) {
            for (int c = 0; c < count; ++c) {
                QVariant value = query.value(c);
                benchmark::DoNotOptimize(value);
            }
            ++rows;
        }
        benchmark::DoNotOptimize(rows);
    });
}

// The lookup's result query (QueryDataset::Open of its statement) against
// the raw client of the same driver family.
void BM_ServerLookupFetch(benchmark::State& state) {
    ServerData* server = ServerOrSkip(state);
    if (server == nullptr) {
        return;
    }
    const int rows = static_cast<int>(state.range(0));
    const int via = static_cast<int>(state.range(1));
    const QString table = server->LookupTable(rows);
    const QString sql = BenchData::LookupSQL(table);
    QSqlDatabase& db = via == kNative ? server->Native() : server->Odbc();
    std::vector<double> execute;
    std::vector<std::function<double()>> actions = {[&] { return StoreFetch(table, db); }};
    // For reference: Qt's own row loop over the same statement.
    actions.push_back([&] { return NextValueLoop(db, sql); });
    if (via == kNative) {
        actions.push_back([&] { return RawLibpqStore(server->Raw(), sql, rows); });
    } else {
        actions.push_back([&] { return RawOdbcStore(db, sql, rows); });
        actions.push_back([&] { return ReaderAlone(db, sql, execute); });
    }
    std::vector<double> medians;
    for (auto _ : state) {
        medians = Interleaved(actions, true, rows >= 1000000 ? 0 : kShortReps);
        state.SetIterationTime(medians[0]);
    }
    const double open = medians[0], next = medians[1], raw = medians[2];
    state.counters["raw_ms"] = raw * 1e3;
    state.counters["x_raw"] = open / raw;
    std::string baseline = via == kNative ? "raw libpq PQexec + same store: " + Ms(raw)
                                          : "raw ODBC block fetch + same store: " + Ms(raw);
    baseline += "; QSqlQuery next()+value(): " + Ms(next);
    state.counters["next_value_ms"] = next * 1e3;
    if (via == kOdbc) {
        state.counters["reader_ms"] = medians[3] * 1e3;
        state.counters["reader_execute_ms"] = Median(execute) * 1e3;
    }
    if (rows >= 100000) {
        AddSummaryRow({std::string("lookup open: fetch (QueryDataset::Open) over ") + ViaName(via),
                       RowsLabel(rows), Ms(open), baseline, Ratio(open / raw), "<= 1.30x",
                       open / raw <= 1.3});
    }
}
BENCHMARK(BM_ServerLookupFetch)
    ->ArgNames({"rows", "odbc"})
    ->ArgsProduct({{10000, 100000, 1000000}, {kNative, kOdbc}})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void LibpqExec(PGconn* connection, const char* sql) {
    PGresult* result = PQexec(connection, sql);
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const std::string message = PQresultErrorMessage(result);
        PQclear(result);
        throw std::runtime_error("libpq: " + message);
    }
    PQclear(result);
}

void CheckConnection(SQLRETURN rc, const char* what) {
    if (!SQL_SUCCEEDED(rc)) {
        throw std::runtime_error(std::string("raw ODBC: ") + what);
    }
}

// Raises unless every target holds the source's permission rows.
void CheckCopied(ServerData& server, int targets) {
    PGresult* result = PQexec(server.Raw(), "SELECT COUNT(*) FROM ADMMH WHERE MH001 LIKE 'T%'");
    const bool ok = PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) == 1 &&
                    std::stoll(PQgetvalue(result, 0, 0)) ==
                        static_cast<long long>(targets) * BenchData::kPermissionRows;
    PQclear(result);
    if (!ok) {
        throw std::runtime_error("a copy did not copy every permission row");
    }
}

// The copy's statements on the raw client: per target a transaction around
// the same INSERT ... SELECT, as the driver family runs one.
double RawServerCopyTimed(ServerData& server, int via, int targets, const QString& source) {
    server.ResetTargets();
    std::vector<QByteArray> statements;
    for (int t = 0; t < targets; ++t) {
        statements.push_back(CopyPermissionsStatement(BenchData::TargetCode(t), source).toUtf8());
    }
    const QByteArray warm = WarmStatement(source).toUtf8();
    if (via == kNative) {
        PGconn* connection = server.Raw();
        LibpqExec(connection, warm.constData());
        return TimeOf([&] {
            for (const QByteArray& statement : statements) {
                LibpqExec(connection, "BEGIN");
                LibpqExec(connection, statement.constData());
                LibpqExec(connection, "COMMIT");
            }
        });
    }
    const SQLHDBC connection = HandleOf(server.Odbc());
    std::vector<std::vector<SQLWCHAR>> wide;
    for (const QByteArray& statement : statements) {
        wide.push_back(Wide(QString::fromUtf8(statement)));
    }
    {
        OdbcStatement statement(connection);
        std::vector<SQLWCHAR> text = Wide(QString::fromUtf8(warm));
        statement.Check(SQLExecDirectW(statement.get(), text.data(), SQL_NTS), "warm");
    }
    return TimeOf([&] {
        for (std::vector<SQLWCHAR>& text : wide) {
            CheckConnection(SQLSetConnectAttr(connection, SQL_ATTR_AUTOCOMMIT,
                                              reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
                            "manual commit");
            {
                OdbcStatement statement(connection);
                statement.Check(SQLExecDirectW(statement.get(), text.data(), SQL_NTS), "insert");
            }
            CheckConnection(SQLEndTran(SQL_HANDLE_DBC, connection, SQL_COMMIT), "commit");
            CheckConnection(SQLSetConnectAttr(connection, SQL_ATTR_AUTOCOMMIT,
                                              reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0),
                            "auto-commit");
        }
    });
}

double RawServerCopy(ServerData& server, int via, int targets, const QString& source) {
    const double seconds = RawServerCopyTimed(server, via, targets, source);
    CheckCopied(server, targets);
    return seconds;
}

// The copy window's copy step to 1, 10 and 100 targets on the server,
// against the raw client running the same statements.
void BM_ServerCopy(benchmark::State& state) {
    ServerData* server = ServerOrSkip(state);
    if (server == nullptr) {
        return;
    }
    const int targets = static_cast<int>(state.range(0));
    const int via = static_cast<int>(state.range(1));
    server->EnsureCopyTables();
    QSqlDatabase& db = via == kNative ? server->Native() : server->Odbc();
    const QString source = QLatin1String(BenchData::kSource);
    std::vector<double> medians;
    for (auto _ : state) {
        medians = Interleaved({[&] {
                                   server->ResetTargets();
                                   const double seconds = WindowCopy(targets, source, db);
                                   CheckCopied(*server, targets);
                                   return seconds;
                               },
                               [&] { return RawServerCopy(*server, via, targets, source); }},
                              true, targets >= 100 ? 0 : kShortReps);
        state.SetIterationTime(medians[0]);
    }
    server->ResetTargets();
    const double window = medians[0], raw = medians[1];
    state.counters["raw_ms"] = raw * 1e3;
    state.counters["per_target_ms"] = window / targets * 1e3;
    const std::string size = std::to_string(targets) + (targets == 1 ? " target" : " targets") +
                             ", " + std::to_string(BenchData::kPermissionRows) + " rows each";
    const std::string baseline =
        std::string(via == kNative ? "raw libpq" : "raw ODBC") + ", same statements: ";
    AddSummaryRow({std::string("copy per target (BitBtn1Click) over ") + ViaName(via), size,
                   Ms(window / targets), baseline + Ms(raw / targets), Ratio(window / raw),
                   "<= 1.10x", window / raw <= 1.1});
}
BENCHMARK(BM_ServerCopy)
    ->ArgNames({"targets", "odbc"})
    ->ArgsProduct({{1, 10, 100}, {kNative, kOdbc}})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace prvc03::bench
