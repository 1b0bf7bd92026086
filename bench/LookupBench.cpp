// A multi-select lookup window over 10k, 100k and 1M rows, driven through its
// own handlers: opening it (statement, fetch, counter, first paint), the
// title sort, the navigation buttons, 全选 and 确定. Each figure is taken
// beside a baseline in the same run.
#include <QApplication>
#include <QCollator>
#include <QLocale>
#include <QPointer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <numeric>
#include <stdexcept>

#include "BenchData.h"
#include "FetchBaselines.h"
#include "Summary.h"
#include "data/QueryDataset.h"
#include "lookup/RootFS.h"
#include "widgets/DataGrid.h"
#include "widgets/DatasetModel.h"

namespace prvc03::bench {

namespace {

constexpr int kSmall = 10000;
const QString kNameColumn = QStringLiteral("名称");

void Settle() {
    QCoreApplication::processEvents();
}

// One lookup window over a table, opened the way its caller opens it.
struct Lookup {
    std::unique_ptr<QueryDataset> source;  // the caller's column description
    QPointer<TfrmRootFS> window;
    double open = 0;          // create, show step, first paint
    double paint = 0;         // the first paint after the show step
    std::uint64_t reads = 0;  // cells the first paint read (DatasetModel::data calls)

    Lookup() = default;
    Lookup(const Lookup&) = delete;
    Lookup& operator=(const Lookup&) = delete;
    ~Lookup() { delete window.data(); }

    TfrmRootFS& W() const {
        if (window == nullptr) {
            throw std::runtime_error("the lookup window is gone");
        }
        return *window;
    }
    DataGrid& Grid() const { return *W().wwDBGridH; }
    double Repaint() const {
        return TimeOf([&] {
            Grid().viewport()->update();
            Settle();
        });
    }
};

std::unique_ptr<Lookup> OpenLookup(const QString& table) {
    auto lookup = std::make_unique<Lookup>();
    lookup->source = std::make_unique<QueryDataset>();
    for (const Field& field : BenchData::LookupFields(table)) {
        lookup->source->AddField(field);
    }
    Settle();
    const auto start = std::chrono::steady_clock::now();
    // Owned by the Lookup, which deletes it unless it has freed itself.
    lookup->window = new TfrmRootFS(nullptr);
    TfrmRootFS& window = *lookup->window;
    window.SourceQuery = lookup->source.get();
    window.FromText = BenchData::LookupFrom(table);
    window.show();
    const auto shown = std::chrono::steady_clock::now();
    const std::uint64_t readsBefore = window.wwDBGridH->ResultModel()->CellReads();
    Settle();
    const auto painted = std::chrono::steady_clock::now();
    lookup->open = std::chrono::duration<double>(painted - start).count();
    lookup->paint = std::chrono::duration<double>(painted - shown).count();
    lookup->reads = window.wwDBGridH->ResultModel()->CellReads() - readsBefore;
    if (!window.QryFhelp->Active() || lookup->reads == 0) {
        throw std::runtime_error("the lookup did not open and paint");
    }
    return lookup;
}

double GoalSeconds(int rows, double at100k, double at1M) {
    return rows >= 1000000 ? at1M : at100k;
}

std::string GoalText(int rows, const char* at100k, const char* at1M) {
    return rows >= 1000000 ? at1M : at100k;
}

// Open end to end, and its first paint, against the bare next() loop over
// the same statement and against the first paint of a 10k-row lookup.
void BM_LookupOpen(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const QString table = BenchData::Get().LookupTable(rows);
    const QString small = BenchData::Get().LookupTable(kSmall);
    const QString sql = BenchData::LookupSQL(table);
    std::vector<double> paints, smallPaints, reads;
    std::vector<double> medians;
    for (auto _ : state) {
        medians = Interleaved({[&] {
                                   const auto lookup = OpenLookup(table);
                                   paints.push_back(lookup->paint);
                                   reads.push_back(static_cast<double>(lookup->reads));
                                   return lookup->open;
                               },
                               [&] { return BareNextLoop(sql); },
                               [&] {
                                   const auto lookup = OpenLookup(small);
                                   smallPaints.push_back(lookup->paint);
                                   return lookup->open;
                               }});
        state.SetIterationTime(medians[0]);
    }
    const double open = medians[0], bare = medians[1];
    const double paint = Median(paints), smallPaint = Median(smallPaints);
    const double readCount = Median(reads);
    state.counters["next_ms"] = bare * 1e3;
    state.counters["first_paint_ms"] = paint * 1e3;
    state.counters["first_paint_reads"] = readCount;
    if (rows >= 100000) {
        const double goal = GoalSeconds(rows, 0.100, 1.0);
        AddSummaryRow({"open a lookup end to end (statement, fetch, counter, first paint)",
                       RowsLabel(rows), Ms(open), "bare next() loop: " + Ms(bare),
                       Ratio(open / bare), GoalText(rows, "<= 100 ms", "<= 1 s"), open <= goal});
        AddSummaryRow({"first paint after opening (time, cell reads)", RowsLabel(rows),
                       Ms(paint) + ", " + Count(readCount) + " reads",
                       "first paint at 10k rows: " + Ms(smallPaint), Ratio(paint / smallPaint),
                       "<= 15 ms, <= 1,000 reads", paint <= 0.015 && readCount <= 1000});
    }
}
BENCHMARK(BM_LookupOpen)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The texts of the name column and their NULL marks, in record order.
struct NameColumn {
    std::vector<QString> texts;
    std::vector<char> nulls;
};

NameColumn ReadNames(QueryDataset& query) {
    NameColumn names;
    const int field = query.FieldByName(kNameColumn);
    const int count = query.RecordCount();
    names.texts.reserve(static_cast<std::size_t>(count));
    for (int r = 0; r < count; ++r) {
        const QVariant value = query.Value(r, field);
        names.nulls.push_back(value.isNull() ? 1 : 0);
        names.texts.push_back(value.toString());
    }
    return names;
}

// The plain way to the same order: one sort key per record, then
// std::stable_sort over the keys (NULL first, as the title sort).
double PerRecordKeySort(const NameColumn& names) {
    std::vector<int> order(names.texts.size());
    std::iota(order.begin(), order.end(), 0);
    return TimeOf([&] {
        QCollator collator{QLocale()};
        std::vector<QCollatorSortKey> keys;
        keys.reserve(names.texts.size());
        for (const QString& text : names.texts) {
            keys.push_back(collator.sortKey(text));
        }
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            if (names.nulls[a] || names.nulls[b]) {
                return names.nulls[a] && !names.nulls[b];
            }
            return keys[a].compare(keys[b]) < 0;
        });
        benchmark::DoNotOptimize(order.data());
    });
}

// A click on the 名称 title: a locale-aware stable sort of every record in
// memory, and the grid repainted.
void BM_TitleSort(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const auto lookup = OpenLookup(BenchData::Get().LookupTable(rows));
    const NameColumn names = ReadNames(*lookup->W().QryFhelp);
    std::vector<double> medians;
    for (auto _ : state) {
        medians = Interleaved({[&] {
                                   return TimeOf([&] {
                                       lookup->W().wwDBGridHTitleButtonClick(kNameColumn);
                                       Settle();
                                   });
                               },
                               [&] { return PerRecordKeySort(names); }});
        state.SetIterationTime(medians[0]);
    }
    const double sort = medians[0], plain = medians[1];
    state.counters["per_record_keys_ms"] = plain * 1e3;
    AddSummaryRow({"title sort, locale-aware, stable (+ repaint)", RowsLabel(rows), Ms(sort),
                   "a key per record + std::stable_sort: " + Ms(plain), Ratio(sort / plain),
                   GoalText(rows, "<= 60 ms", "<= 1.2 s"), sort <= GoalSeconds(rows, 0.060, 1.2)});
}
BENCHMARK(BM_TitleSort)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The navigation buttons and 全选, each with the repaint that follows, against
// a plain repaint of the result grid.
void BM_Browse(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const auto lookup = OpenLookup(BenchData::Get().LookupTable(rows));
    TfrmRootFS& window = lookup->W();
    auto fromMiddle = [&](void (TfrmRootFS::*button)()) {
        window.QryFhelp->MoveToRow(rows / 2);
        Settle();
        return TimeOf([&] {
            (window.*button)();
            Settle();
        });
    };
    std::vector<double> medians;
    for (auto _ : state) {
        medians = Interleaved({[&] { return fromMiddle(&TfrmRootFS::TFirstClick); },
                               [&] { return fromMiddle(&TfrmRootFS::TLastClick); },
                               [&] { return fromMiddle(&TfrmRootFS::TNextClick); },
                               [&] {
                                   window.BitBtn8Click();
                                   Settle();
                                   return TimeOf([&] {
                                       window.BitBtn5Click();
                                       Settle();
                                   });
                               },
                               [&] { return lookup->Repaint(); }});
        state.SetIterationTime(medians[0]);
    }
    if (window.Picks().Count() != rows && window.Picks().Count() != 0) {
        throw std::runtime_error("全选 did not pick every record");
    }
    const double repaint = medians[4];
    state.counters["repaint_ms"] = repaint * 1e3;
    const char* names[] = {"最前一笔 (TFirstClick) + repaint", "最后一笔 (TLastClick) + repaint",
                           "下一笔 (TNextClick) + repaint"};
    for (int i = 0; i < 3; ++i) {
        AddSummaryRow({names[i], RowsLabel(rows), Ms(medians[i]),
                       "grid repaint alone: " + Ms(repaint), Ratio(medians[i] / repaint), "<= 2 ms",
                       medians[i] <= 0.002});
    }
    AddSummaryRow({"全选 (BitBtn5Click) + repaint", RowsLabel(rows), Ms(medians[3]),
                   "grid repaint alone: " + Ms(repaint), Ratio(medians[3] / repaint), "<= 5 ms",
                   medians[3] <= 0.005});
}
BENCHMARK(BM_Browse)->Arg(100000)->Arg(1000000)->Iterations(1)->UseManualTime()->Unit(
    benchmark::kMillisecond);

// 确定 with every record picked: the hand-back of 1M rows, against fetching
// them.
void BM_ConfirmAll(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const QString table = BenchData::Get().LookupTable(rows);
    std::vector<double> medians;
    for (auto _ : state) {
        medians =
            Interleaved({[&] {
                             const auto lookup = OpenLookup(table);
                             TfrmRootFS& window = lookup->W();
                             window.BitBtn5Click();
                             Settle();
                             const double seconds = TimeOf([&] { window.BitBtn1Click(); });
                             if (!window.ResultValue || window.ResultValue->High(1) != rows - 1) {
                                 throw std::runtime_error("确定 handed back the wrong rows");
                             }
                             return seconds;
                         },
                         [&] { return StoreFetch(table); }},
                        false);
        state.SetIterationTime(medians[0]);
    }
    const double confirm = medians[0], fetch = medians[1];
    state.counters["fetch_ms"] = fetch * 1e3;
    AddSummaryRow({"确定 (BitBtn1Click) of every record picked", RowsLabel(rows), Ms(confirm),
                   "fetch (QueryDataset::Open): " + Ms(fetch), Ratio(confirm / fetch), "<= 1.50x",
                   confirm / fetch <= 1.5});
}
BENCHMARK(BM_ConfirmAll)
    ->Arg(1000000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace prvc03::bench
