// With BENCH_SCALE=10M, a 10M-row lookup on the generated SQLite database
// beside the 1M-row one, both in the same run: the window opened end to end,
// its first paint, the memory the open result holds per row and the title
// sort, each held to the 1M figure grown with the rows (n log n for the sort).
// Registered by main only when the scale asks for it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchData.h"
#include "Configurations.h"
#include "FetchBaselines.h"
#include "LookupOpen.h"
#include "ScaleBench.h"
#include "Summary.h"

namespace prvc03::bench {

namespace {

constexpr int kBaseRows = 1000000;
// How much worse than the 1M figure, grown with the rows, a figure may be.
constexpr double kGrowth = 1.10;

// What each open of one size measured, in the order of the repetitions.
struct Figures {
    std::vector<double> open, paint, reads, sort;
};

// Opens the window over `table`, then clicks the 名称 title once (an
// ascending locale-aware sort of every record, and the repaint).
double OpenAndSort(const QString& table, Figures& figures) {
    const auto lookup = OpenLookup(table);
    figures.open.push_back(lookup->open);
    figures.paint.push_back(lookup->paint);
    figures.reads.push_back(static_cast<double>(lookup->reads));
    figures.sort.push_back(TimeOf([&] {
        lookup->W().wwDBGridHTitleButtonClick(QStringLiteral("名称"));
        Settle();
    }));
    return lookup->open;
}

std::string PerRow(double seconds, int rows) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f us/row", seconds / rows * 1e6);
    return text;
}

void BM_Scale(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const SessionOn session(BenchData::Get().Db());
    const QString base = BenchData::Get().LookupTable(kBaseRows);
    const double generation = TimeOf([&] { BenchData::Get().LookupTable(rows); });
    const QString large = BenchData::Get().LookupTable(rows);
    Figures small, big;
    for (auto _ : state) {
        // Only the small size warms up: a large open takes seconds and finds
        // nothing colder than the small one did.
        Figures warm;
        OpenAndSort(base, warm);
        Interleaved(
            {[&] { return OpenAndSort(base, small); }, [&] { return OpenAndSort(large, big); }},
            false);
        state.SetIterationTime(Median(big.open));
    }
    const HeldMemory heldBase = HeldPerRow(base, kBaseRows);
    const HeldMemory heldLarge = HeldPerRow(large, rows);

    const double growth = static_cast<double>(rows) / kBaseRows;
    const double sortGrowth = growth * std::log(static_cast<double>(rows)) / std::log(kBaseRows);
    const double open = Median(big.open), openBase = Median(small.open);
    const double sort = Median(big.sort), sortBase = Median(small.sort);
    const double paint = Median(big.paint), paintBase = Median(small.paint);
    const double reads = Median(big.reads);
    state.counters["generation_s"] = generation;
    state.counters["open_1M_ms"] = openBase * 1e3;
    state.counters["sort_ms"] = sort * 1e3;
    state.counters["sort_1M_ms"] = sortBase * 1e3;

    const std::string size = RowsLabel(rows);
    AddSummaryRow({"lookup window open, end to end, per row", size,
                   Ms(open) + " = " + PerRow(open, rows),
                   "1M rows: " + Ms(openBase) + " = " + PerRow(openBase, kBaseRows),
                   Ratio(open / (openBase * growth)), "<= 1.10x the 1M figure per row",
                   open <= kGrowth * openBase * growth});
    AddSummaryRow({"first paint after opening (time, cell reads)", size,
                   Ms(paint) + ", " + Count(reads) + " reads", "at 1M rows: " + Ms(paintBase),
                   Ratio(paint / paintBase), "<= 15 ms, <= 1,000 reads",
                   paint <= 0.015 && reads <= 1000});
    const double worst = std::max(heldLarge.counted, heldLarge.resident);
    const double worstBase = std::max(heldBase.counted, heldBase.resident);
    AddSummaryRow({"memory held per row, two short texts (counted / resident)", size,
                   Bytes(heldLarge.counted) + " / " + Bytes(heldLarge.resident),
                   "1M rows: " + Bytes(heldBase.counted) + " / " + Bytes(heldBase.resident),
                   Ratio(worst / worstBase), "<= 40 B, <= 1.10x the 1M figure",
                   worst <= 40 && worst <= kGrowth * worstBase});
    char sortGoal[96];
    std::snprintf(sortGoal, sizeof sortGoal, "<= 1.10x the 1M figure x %.2f (n log n)", sortGrowth);
    AddSummaryRow({"title sort, locale-aware, stable (+ repaint)", size, Ms(sort),
                   "1M rows: " + Ms(sortBase), Ratio(sort / (sortBase * sortGrowth)), sortGoal,
                   sort <= kGrowth * sortBase * sortGrowth});
    AddSummaryNote("the " + size + " table was generated in " + Ms(generation) +
                   " (one INSERT ... SELECT over a recursive series, one transaction) in " +
                   BenchData::Get().Folder().toStdString() +
                   "; each per-row ratio divides by the 1M figure grown with the rows");
}

}  // namespace

void RegisterScaleBenchmarks(int rows) {
    benchmark::RegisterBenchmark("BM_Scale", BM_Scale)
        ->Arg(rows)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

}  // namespace prvc03::bench
