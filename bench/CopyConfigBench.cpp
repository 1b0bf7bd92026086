// The copy window's copy step (BitBtn1Click) on the configurations beyond
// native SQLite (CopyBench.cpp): PostgreSQL through QPSQL, and PostgreSQL and
// the SQLite file through QODBC, to 1, 10 and 100 targets against the raw
// client running the same BEGIN / INSERT ... SELECT / COMMIT per target. And
// on every configuration, what a copy to one target spends beyond the raw
// statements, part by part, each part timed on its own in the same run.
#include <QCoreApplication>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

#include "BenchData.h"
#include "Configurations.h"
#include "CopyWindow.h"
#include "MessageRecorder.h"
#include "Summary.h"
#include "data/DatabaseProduct.h"
#include "data/Statements.h"
#include "lookup/LookupCaller.h"
#include "modules/CopyLedger.h"
#include "modules/CopyReport.h"
#include "modules/CopyStatements.h"
#include "modules/CopyTransaction.h"
#include "modules/PRVC03F.h"
#include "modules/PermissionRows.h"
#include "platform/Cp936.h"
#include "platform/Windows.h"
#include "session/SqlLiteral.h"

namespace prvc03::bench {

namespace {

// Repetitions at least of the copies that take milliseconds.
constexpr int kShortReps = 15;

std::vector<QString> CopyStatements(int targets, const QString& source) {
    std::vector<QString> statements;
    for (int t = 0; t < targets; ++t) {
        statements.push_back(CopyPermissionsStatement(BenchData::TargetCode(t), source));
    }
    return statements;
}

// Reads what the copy reads through `db`, as WindowCopy does before its
// clock starts.
void WarmThrough(QSqlDatabase& db, const QString& source) {
    QSqlQuery warm(db);
    warm.setForwardOnly(true);
    warm.exec(WarmStatement(source));
    while (warm.next()) {
    }
}

// The raw client's copy, with what it reads warmed first exactly as the
// window's copy warms it.
double RawConfigCopy(int config, int targets, const QString& source) {
    ConfigResetTargets(config);
    const std::vector<QString> statements = CopyStatements(targets, source);
    WarmThrough(ConfigDb(config), source);
    const double seconds = ConfigRawCopy(config, statements);
    ConfigCheckCopied(config, targets, BenchData::kPermissionRows);
    return seconds;
}

double WindowConfigCopy(int config, int targets, const QString& source) {
    ConfigResetTargets(config);
    const double seconds = WindowCopy(targets, source, ConfigDb(config));
    ConfigCheckCopied(config, targets, BenchData::kPermissionRows);
    return seconds;
}

std::string TargetsLabel(int targets) {
    return std::to_string(targets) + (targets == 1 ? " target" : " targets") + ", " +
           std::to_string(BenchData::kPermissionRows) + " rows each";
}

const char* RawName(int config) {
    switch (config) {
        case kSqlite:
            return "raw SQLite";
        case kPostgres:
            return "raw libpq";
        default:
            return "raw ODBC";
    }
}

void BM_CopyOn(benchmark::State& state) {
    const int targets = static_cast<int>(state.range(0));
    const int config = static_cast<int>(state.range(1));
    if (!ConfigAvailable(config, state)) {
        return;
    }
    ConfigEnsureCopyTables(config);
    const QString source = QLatin1String(BenchData::kSource);
    std::vector<double> medians;
    for (auto _ : state) {
        medians = Interleaved({[&] { return WindowConfigCopy(config, targets, source); },
                               [&] { return RawConfigCopy(config, targets, source); }},
                              true, targets >= 100 ? 0 : kShortReps);
        state.SetIterationTime(medians[0]);
    }
    ConfigResetTargets(config);
    const double window = medians[0], raw = medians[1];
    state.counters["raw_ms"] = raw * 1e3;
    state.counters["per_target_ms"] = window / targets * 1e3;
    AddSummaryRow({std::string("copy per target (BitBtn1Click) over ") + ConfigName(config),
                   TargetsLabel(targets), Ms(window / targets),
                   std::string(RawName(config)) + ", same statements: " + Ms(raw / targets),
                   Ratio(window / raw), "<= 1.10x", window / raw <= 1.10});
}
BENCHMARK(BM_CopyOn)
    ->ArgNames({"targets", "config"})
    ->ArgsProduct({{1, 10, 100}, {kPostgres, kOdbcPostgres, kOdbcSqlite}})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A copy window shown with the source typed in and one target line, as
// WindowCopy prepares it; freed at the end of the scope unless it has freed
// itself.
class ShownCopyWindow {
  public:
    explicit ShownCopyWindow(const QString& source) : window_(new TfrmPRVC03F(nullptr)) {
        window_.get()->show();
        window_.get()->Edit1->setText(source);
        window_.get()->AddTargetLine(BenchData::TargetCode(0), QStringLiteral("目标1"));
        QCoreApplication::processEvents();
    }
    TfrmPRVC03F& operator*() const { return *window_.get(); }

  private:
    LookupWindowGuard<TfrmPRVC03F> window_;
};

// Copy to one target, part by part. Each part runs as BitBtn1Click runs it,
// timed alone: the count statement of the source user (once per click), the
// undo record's reads (the source's rows once per click, the target's rows
// before its transaction), the copy step of the data layer (CopyToTarget:
// the transaction and the statement through the readers), the message box
// (code page 936 texts to the presenter, which records them), the window's
// close and the report it opens. Against the whole click and the raw
// statements.
void BM_CopyOneTarget(benchmark::State& state) {
    const int config = static_cast<int>(state.range(0));
    if (!ConfigAvailable(config, state)) {
        return;
    }
    ConfigEnsureCopyTables(config);
    QSqlDatabase& db = ConfigDb(config);
    const SessionOn session(db);
    const QString source = QLatin1String(BenchData::kSource);
    const QString target = BenchData::TargetCode(0);
    const auto step = [&] {
        ConfigResetTargets(config);
        WarmThrough(db, source);
        const double seconds = TimeOf([&] {
            if (!CopyToTarget(db, target, source).committed) {
                throw std::runtime_error("the copy step failed");
            }
        });
        ConfigCheckCopied(config, 1, BenchData::kPermissionRows);
        return seconds;
    };
    const auto count = [&] {
        return TimeOf([&] {
            const std::optional<VariantArray> row =
                FirstRow(db, SourceCountStatement(source, NullFunctionName(db)));
            if (!row || row->IsEmpty()) {
                throw std::runtime_error("the count statement found no row");
            }
        });
    };
    const auto sourceRead = [&] {
        return TimeOf([&] {
            if (PermissionRows::Read(db, ToSqlLiteral(source)).Count() !=
                BenchData::kPermissionRows) {
                throw std::runtime_error("the source's rows read short");
            }
        });
    };
    const auto targetRead = [&] {
        ConfigResetTargets(config);
        return TimeOf([&] { PermissionRows::Read(db, ToSqlLiteral(target)); });
    };
    const auto report = [&] {
        ConfigResetTargets(config);
        CopyLedger ledger(source);
        if (!ledger.Copy(db, {target, QStringLiteral("目标1")}).outcome.committed) {
            throw std::runtime_error("the copy step failed");
        }
        const double seconds =
            TimeOf([&] { ShowCopyReport(ledger, QStringLiteral("复制用户权限")); });
        CloseReports();
        return seconds;
    };
    const auto box = [&] {
        RecordedBoxes().clear();
        return TimeOf([&] {
            const QByteArray text = platform::ToCp936(QStringLiteral("复制用户权限成功．"));
            const QByteArray caption = platform::ToCp936(QStringLiteral("提示信息"));
            platform::MessageBoxA(0, text.constData(), caption.constData(),
                                  platform::MB_ICONQUESTION | platform::MB_OK);
        });
    };
    const auto close = [&] {
        const ShownCopyWindow window(source);
        const double seconds = TimeOf([&] { (*window).close(); });
        QCoreApplication::processEvents();
        return seconds;
    };
    std::vector<double> medians;
    for (auto _ : state) {
        medians = Interleaved({[&] { return WindowConfigCopy(config, 1, source); },
                               [&] { return RawConfigCopy(config, 1, source); }, step, count, box,
                               close, sourceRead, targetRead, report},
                              true, kShortReps);
        state.SetIterationTime(medians[0]);
    }
    ConfigResetTargets(config);
    const double window = medians[0], raw = medians[1], copy = medians[2], counting = medians[3],
                 message = medians[4], closing = medians[5], sourceReading = medians[6],
                 targetReading = medians[7], reporting = medians[8];
    const double rest =
        window - copy - counting - message - closing - sourceReading - targetReading - reporting;
    state.counters["raw_ms"] = raw * 1e3;
    state.counters["copy_step_ms"] = copy * 1e3;
    state.counters["count_ms"] = counting * 1e3;
    state.counters["box_ms"] = message * 1e3;
    state.counters["close_ms"] = closing * 1e3;
    state.counters["source_read_ms"] = sourceReading * 1e3;
    state.counters["target_read_ms"] = targetReading * 1e3;
    state.counters["report_ms"] = reporting * 1e3;
    char note[768];
    std::snprintf(note, sizeof note,
                  "copy to 1 target over %s: the click %.3f ms, raw statements %.3f ms; "
                  "beyond them: the undo record's read of the source's rows %.3f ms and of "
                  "the target's rows %.3f ms, the count statement %.3f ms, the copy step's own "
                  "work %+.3f ms (CopyToTarget %.3f ms), the message box %.3f ms, the window's "
                  "close %.3f ms, the report %.3f ms, the rest of the click %+.3f ms",
                  ConfigName(config), window * 1e3, raw * 1e3, sourceReading * 1e3,
                  targetReading * 1e3, counting * 1e3, (copy - raw) * 1e3, copy * 1e3,
                  message * 1e3, closing * 1e3, reporting * 1e3, rest * 1e3);
    AddSummaryNote(note);
}
BENCHMARK(BM_CopyOneTarget)
    ->ArgNames({"config"})
    ->DenseRange(kSqlite, kOdbcSqlite)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace prvc03::bench
