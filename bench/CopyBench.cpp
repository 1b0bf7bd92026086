// The copy step of the copy window (BitBtn1Click) from a source user with
// 2,000 permission rows to 1, 10 and 100 target users, against raw SQLite
// running the same INSERT ... SELECT statements, one transaction per target.
#include <QApplication>
#include <QLineEdit>
#include <QSqlQuery>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <stdexcept>

#include "BenchData.h"
#include "CopyWindow.h"
#include "MessageRecorder.h"
#include "Summary.h"
#include "lookup/LookupCaller.h"
#include "modules/CopyStatements.h"
#include "modules/PRVC03F.h"
#include "platform/Cp936.h"
#include "platform/Windows.h"
#include "session/Global.h"

namespace prvc03::bench {

QString WarmStatement(const QString& source) {
    return QStringLiteral("SELECT (SELECT COUNT(*) FROM ADMMG), * FROM ADMMH WHERE MH001 = '%1'")
        .arg(source);
}

double WindowCopy(int targets, const QString& source, QSqlDatabase& db) {
    {
        // What the copy reads comes into the cache before the clock starts,
        // as in the raw copies.
        QSqlQuery warm(db);
        warm.setForwardOnly(true);
        warm.exec(WarmStatement(source));
        while (warm.next()) {
        }
    }
    QSqlDatabase* const before = Session().SessionConnection;
    Session().SessionConnection = &db;
    double seconds = 0;
    try {
        // Deleted at the end of the scope unless it has freed itself.
        const LookupWindowGuard<TfrmPRVC03F> window(new TfrmPRVC03F(nullptr));
        window.get()->show();
        window.get()->Edit1->setText(source);
        for (int t = 0; t < targets; ++t) {
            window.get()->AddTargetLine(BenchData::TargetCode(t),
                                        QStringLiteral("目标%1").arg(t + 1));
        }
        QCoreApplication::processEvents();
        RecordedBoxes().clear();
        seconds = TimeOf([&] { window.get()->BitBtn1Click(); });
    } catch (...) {
        Session().SessionConnection = before;
        throw;
    }
    Session().SessionConnection = before;
    const auto& boxes = RecordedBoxes();
    if (static_cast<int>(boxes.size()) != targets) {
        throw std::runtime_error("the copy showed an unexpected number of messages");
    }
    for (const RecordedBox& box : boxes) {
        if (box.type != (platform::MB_ICONQUESTION | platform::MB_OK)) {
            throw std::runtime_error("a copy failed: " +
                                     platform::FromCp936(box.text).toStdString());
        }
    }
    return seconds;
}

namespace {

void Exec(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message != nullptr ? message : "error";
        sqlite3_free(message);
        throw std::runtime_error(text);
    }
}

// The window's copy on the generated SQLite database.
double SQLiteWindowCopy(int targets, const QString& source) {
    BenchData& data = BenchData::Get();
    data.ResetTargets(BenchData::Through::Session);
    return WindowCopy(targets, source, data.Db());
}

// Raw SQLite: per target BEGIN, the same INSERT ... SELECT text, COMMIT.
double RawCopy(int targets, const QString& source) {
    BenchData& data = BenchData::Get();
    data.ResetTargets(BenchData::Through::Raw);
    std::vector<QByteArray> statements;
    for (int t = 0; t < targets; ++t) {
        statements.push_back(CopyPermissionsStatement(BenchData::TargetCode(t), source).toUtf8());
    }
    sqlite3* db = data.Raw();
    Exec(db, WarmStatement(source).toUtf8().constData());
    return TimeOf([&] {
        for (const QByteArray& statement : statements) {
            Exec(db, "BEGIN");
            Exec(db, statement.constData());
            Exec(db, "COMMIT");
        }
    });
}

// The copy of the source user with 2,000 permission rows to 1, 10 and 100
// targets: per target against raw SQLite.
void BM_Copy(benchmark::State& state) {
    const int targets = static_cast<int>(state.range(0));
    BenchData::Get().EnsureCopyTables();
    const QString source = QLatin1String(BenchData::kSource);
    std::vector<double> medians;
    for (auto _ : state) {
        medians = Interleaved({[&] { return SQLiteWindowCopy(targets, source); },
                               [&] { return RawCopy(targets, source); }});
        state.SetIterationTime(medians[0]);
    }
    BenchData::Get().ResetTargets(BenchData::Through::Raw);
    const double window = medians[0], raw = medians[1];
    state.counters["raw_ms"] = raw * 1e3;
    state.counters["per_target_ms"] = window / targets * 1e3;
    state.counters["overhead_per_target_ms"] = (window - raw) / targets * 1e3;
    const std::string size = std::to_string(targets) + (targets == 1 ? " target" : " targets") +
                             ", " + std::to_string(BenchData::kPermissionRows) + " rows each";
    AddSummaryRow({"copy per target (BitBtn1Click)", size, Ms(window / targets),
                   "raw SQLite, same statements: " + Ms(raw / targets), Ratio(window / raw),
                   "<= 1.10x", window / raw <= 1.10});
}
BENCHMARK(BM_Copy)->Arg(1)->Arg(10)->Arg(100)->Iterations(1)->UseManualTime()->Unit(
    benchmark::kMillisecond);

// The same copy of a source user with a single permission row to 100
// targets: with next to nothing for the database to do, what is left is the
// window's own work per target (the transaction, the statement, the message),
// and the work it does once per click spread over the targets.
void BM_CopyOverhead(benchmark::State& state) {
    const int targets = static_cast<int>(state.range(0));
    BenchData::Get().EnsureCopyTables();
    const QString source = QLatin1String(BenchData::kSmallSource);
    std::vector<double> medians;
    for (auto _ : state) {
        medians = Interleaved({[&] { return SQLiteWindowCopy(targets, source); },
                               [&] { return RawCopy(targets, source); }});
        state.SetIterationTime(medians[0]);
    }
    BenchData::Get().ResetTargets(BenchData::Through::Raw);
    const double window = medians[0], raw = medians[1];
    const double overhead = (window - raw) / targets;
    state.counters["raw_ms"] = raw * 1e3;
    state.counters["overhead_per_target_ms"] = overhead * 1e3;
    AddSummaryRow({"copy: fixed overhead per target ((window - raw) / targets)",
                   std::to_string(targets) + " targets, 1 row each",
                   Ms(overhead) + " (window " + Ms(window / targets) + ")",
                   "raw SQLite per target: " + Ms(raw / targets), Ratio(window / raw), "<= 0.05 ms",
                   overhead <= 0.00005});
}
BENCHMARK(BM_CopyOverhead)->Arg(100)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace prvc03::bench
