// The lookup's result query opened into the result store, on the calling
// thread and behind the window's progress wait, the bare QSqlQuery next()
// loop, and the memory the open store holds per row.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QWidget>

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

#include "BenchData.h"
#include "FetchBaselines.h"
#include "Summary.h"
#include "data/QueryDataset.h"
#include "forms/QueryProgress.h"
#include "lookup/LookupLogic.h"

namespace prvc03::bench {

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

double WaitedFetch(const QString& table, QSqlDatabase& db) {
    QWidget window;
    std::unique_ptr<QueryDataset> query = ResultQuery(table, db);
    QueryProgress progress(&window);
    query->SetReadWait(&progress);
    const double seconds = TimeOf([&] { query->Open(); });
    benchmark::DoNotOptimize(query->RecordCount());
    return seconds;
}

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

HeldMemory HeldPerRow(const QString& table, int rows) {
    // A first open lets the connection's page cache reach its size.
    ResultQuery(table)->Open();
    std::unique_ptr<QueryDataset> query = ResultQuery(table);
    malloc_trim(0);
    const double before = ResidentBytes();
    query->Open();
    const double after = ResidentBytes();
    return {static_cast<double>(query->MemoryBytes()) / rows, (after - before) / rows};
}

namespace {

// Bytes the open store holds per row, as it counts them and as the process's
// resident memory grew, against the UTF-16 payload of the two texts.
void BM_MemoryPerRow(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const QString table = BenchData::Get().LookupTable(rows);
    double counted = 0, resident = 0;
    for (auto _ : state) {
        const HeldMemory held = HeldPerRow(table, rows);
        counted = held.counted;
        resident = held.resident;
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
