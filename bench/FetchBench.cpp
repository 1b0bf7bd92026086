// Fetching a lookup's records into the result store, against the bare
// forward-only QSqlQuery next() loop and against raw SQLite stepping the same
// statement into the same column layout; and the memory the store holds.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringDecoder>

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

#include "BenchData.h"
#include "FetchBaselines.h"
#include "Summary.h"
#include "data/QueryDataset.h"
#include "lookup/LookupLogic.h"

namespace prvc03::bench {

void RawTextColumn::AppendUtf8(const char* text, std::size_t bytes) {
    // Stateless: every value is whole, no state carries from one to the next.
    static QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    NextRow();
    const std::size_t at = chars.size();
    chars.resize(at + bytes);  // UTF-16 units never outnumber UTF-8 bytes
    auto* start = reinterpret_cast<QChar*>(chars.data());
    const QChar* end =
        decoder.appendToBuffer(start + at, QByteArrayView(text, static_cast<qsizetype>(bytes)));
    chars.resize(static_cast<std::size_t>(end - start));
    EndRow();
}

double BareNextLoop(const QString& sql) {
    return TimeOf([&] {
        QSqlQuery query(BenchData::Get().Db());
        query.setForwardOnly(true);
        if (!query.exec(sql)) {
            throw std::runtime_error("bare loop: statement failed");
        }
        int rows = 0;
        while (query.next()) {
            ++rows;
        }
        benchmark::DoNotOptimize(rows);
    });
}

double RawSQLiteStore(const QString& sql) {
    std::vector<RawTextColumn> columns;
    const QByteArray text = sql.toUtf8();
    sqlite3* db = BenchData::Get().Raw();
    return TimeOf([&] {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &stmt,
                               nullptr) != SQLITE_OK) {
            throw std::runtime_error(sqlite3_errmsg(db));
        }
        const int count = sqlite3_column_count(stmt);
        columns.resize(static_cast<std::size_t>(count));
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < count; ++c) {
                if (sqlite3_column_type(stmt, c) == SQLITE_NULL) {
                    columns[c].AppendNull();
                } else {
                    columns[c].Append(static_cast<const char16_t*>(sqlite3_column_text16(stmt, c)),
                                      sqlite3_column_bytes16(stmt, c) / 2);
                }
            }
        }
        sqlite3_finalize(stmt);
        for (RawTextColumn& column : columns) {
            column.Finish();
        }
    });
}

std::unique_ptr<QueryDataset> ResultQuery(const QString& table) {
    return ResultQuery(table, BenchData::Get().Db());
}

std::unique_ptr<QueryDataset> ResultQuery(const QString& table, QSqlDatabase& db) {
    auto query = std::make_unique<QueryDataset>();
    query->AddField(SelectedField());
    for (const Field& field : BenchData::LookupFields(table)) {
        query->AddField(*ResultFieldFor(field));
    }
    query->SetConnection(&db);
    query->SetSQL(BenchData::LookupSQL(table));
    return query;
}

double StoreFetch(const QString& table) {
    return StoreFetch(table, BenchData::Get().Db());
}

double StoreFetch(const QString& table, QSqlDatabase& db) {
    std::unique_ptr<QueryDataset> query = ResultQuery(table, db);
    const double seconds = TimeOf([&] { query->Open(); });
    benchmark::DoNotOptimize(query->RecordCount());
    return seconds;
}

namespace {

void BM_Fetch(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const QString table = BenchData::Get().LookupTable(rows);
    const QString sql = BenchData::LookupSQL(table);
    std::vector<double> medians;
    for (auto _ : state) {
        medians = Interleaved({[&] { return StoreFetch(table); }, [&] { return BareNextLoop(sql); },
                               [&] { return RawSQLiteStore(sql); }});
        state.SetIterationTime(medians[0]);
    }
    const double store = medians[0], bare = medians[1], raw = medians[2];
    state.counters["next_ms"] = bare * 1e3;
    state.counters["raw_ms"] = raw * 1e3;
    state.counters["x_next"] = store / bare;
    state.counters["x_raw"] = store / raw;
    AddSummaryRow({"fetch (QueryDataset::Open) vs bare next() loop", RowsLabel(rows), Ms(store),
                   "bare forward-only next(): " + Ms(bare), Ratio(store / bare), "<= 1.30x",
                   store / bare <= 1.3});
    AddSummaryRow({"fetch (QueryDataset::Open) vs raw SQLite store", RowsLabel(rows), Ms(store),
                   "raw SQLite step + same store: " + Ms(raw), Ratio(store / raw), "<= 2.00x",
                   store / raw <= 2.0});
}
BENCHMARK(BM_Fetch)->Arg(10000)->Arg(100000)->Arg(1000000)->Iterations(1)->UseManualTime()->Unit(
    benchmark::kMillisecond);

// The process's resident memory in bytes (heap and mapped buffers alike).
double ResidentBytes() {
    long total = 0, resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &total, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// Bytes the open store holds per row, as it counts them and as the process's
// resident memory grew, against the UTF-16 payload of the two texts.
void BM_MemoryPerRow(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const QString table = BenchData::Get().LookupTable(rows);
    double counted = 0, resident = 0;
    for (auto _ : state) {
        // A first open lets the connection's page cache reach its size.
        ResultQuery(table)->Open();
        std::unique_ptr<QueryDataset> query = ResultQuery(table);
        malloc_trim(0);
        const double before = ResidentBytes();
        query->Open();
        const double after = ResidentBytes();
        counted = static_cast<double>(query->MemoryBytes()) / rows;
        resident = (after - before) / rows;
        state.SetIterationTime(1e-9);
    }
    const double payload = BenchData::Get().PayloadBytesPerRow(table);
    state.counters["bytes_per_row"] = counted;
    state.counters["resident_per_row"] = resident;
    state.counters["payload_per_row"] = payload;
    const double worst = std::max(counted, resident);
    AddSummaryRow({"memory held per row, two short texts (counted / resident)", RowsLabel(rows),
                   Bytes(counted) + " / " + Bytes(resident), "UTF-16 payload: " + Bytes(payload),
                   Ratio(worst / payload), "<= 40 B", worst <= 40});
}
BENCHMARK(BM_MemoryPerRow)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace prvc03::bench
