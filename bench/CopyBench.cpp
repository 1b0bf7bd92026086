// The copy step of the copy window (BitBtn1Click) from a source user with
// 2,000 permission rows to 1, 10 and 100 target users, against raw SQLite
// running the same INSERT ... SELECT statements, one transaction per target.
// Then what the record behind 撤销复制 adds to the copy step (CopyLedger:
// each target's rows read before its transaction, the source's once per
// run), beside reading every row back after each commit as well, on SQLite
// and on the server both ways.
#include <QApplication>
#include <QLineEdit>
#include <QSqlQuery>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <functional>
#include <stdexcept>

#include "BenchData.h"
#include "CopyWindow.h"
#include "MessageRecorder.h"
#include "ServerData.h"
#include "Summary.h"
#include "lookup/LookupCaller.h"
#include "modules/CopyLedger.h"
#include "modules/CopyReport.h"
#include "modules/CopyStatements.h"
#include "modules/CopyTransaction.h"
#include "modules/PRVC03F.h"
#include "modules/PermissionRows.h"
#include "platform/Cp936.h"
#include "platform/Windows.h"
#include "session/Global.h"

namespace prvc03::bench {

void CloseReports() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<TfrmCopyReport*>(widget) != nullptr) {
            delete widget;
        }
    }
}

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
        CloseReports();
        throw;
    }
    Session().SessionConnection = before;
    CloseReports();
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

enum class Record { None, Ledger, ReadBack };
enum ReadsOn { kReadsSQLite = 0, kReadsQpsql = 1, kReadsQodbc = 2 };

// The copy of `source` to `targets` targets on `db`, each through
// CopyToTarget, after `reset` has emptied the targets: without a record, with
// CopyLedger's, or with CopyLedger's and every target's rows read back after
// its commit. Only the copying is timed.
double RecordedCopy(QSqlDatabase& db, int targets, const QString& source, Record record,
                    const std::function<void()>& reset) {
    reset();
    {
        QSqlQuery warm(db);
        warm.setForwardOnly(true);
        warm.exec(WarmStatement(source));
        while (warm.next()) {
        }
    }
    std::vector<CopyTarget> lines;
    for (int t = 0; t < targets; ++t) {
        lines.push_back({BenchData::TargetCode(t), QStringLiteral("目标%1").arg(t + 1)});
    }
    CopyLedger ledger(source);
    const double seconds = TimeOf([&] {
        for (const CopyTarget& line : lines) {
            if (record == Record::None) {
                if (!CopyToTarget(db, line.code, source).committed) {
                    throw std::runtime_error("a copy failed");
                }
                continue;
            }
            if (!ledger.Copy(db, line).outcome.committed) {
                throw std::runtime_error("a copy failed");
            }
            if (record == Record::ReadBack) {
                PermissionRows::Read(db, ToSqlLiteral(line.code));
            }
        }
    });
    for (const CopiedLine& line : ledger.Lines()) {
        if (record != Record::None &&
            (!line.before || !line.added || line.added->Count() != BenchData::kPermissionRows)) {
            throw std::runtime_error("the record of a copied target is incomplete: " +
                                     line.unknown.toStdString());
        }
    }
    return seconds;
}

// What CopyLedger's reads add to the copy step at 100 targets of 2,000 rows:
// the copy alone, with the record, and with every row read back instead.
void BM_CopyReads(benchmark::State& state) {
    const int on = static_cast<int>(state.range(0));
    const int targets = 100;
    const QString source = QLatin1String(BenchData::kSource);
    QSqlDatabase* db = nullptr;
    std::function<void()> reset;
    std::string where = "SQLite";
    if (on == kReadsSQLite) {
        BenchData::Get().EnsureCopyTables();
        db = &BenchData::Get().Db();
        reset = [] { BenchData::Get().ResetTargets(BenchData::Through::Session); };
    } else {
        ServerData* server = ServerData::Get();
        if (server == nullptr) {
            state.SkipWithError("PRVC03_PG_CONNINFO is not set");
            return;
        }
        server->EnsureCopyTables();
        db = on == kReadsQpsql ? &server->Native() : &server->Odbc();
        reset = [server] { server->ResetTargets(); };
        where = on == kReadsQpsql ? "PostgreSQL (QPSQL)" : "ODBC -> PostgreSQL (QODBC)";
    }
    QSqlDatabase* const before = Session().SessionConnection;
    Session().SessionConnection = db;
    std::vector<double> medians;
    for (auto _ : state) {
        medians = Interleaved(
            {[&] { return RecordedCopy(*db, targets, source, Record::None, reset); },
             [&] { return RecordedCopy(*db, targets, source, Record::Ledger, reset); },
             [&] { return RecordedCopy(*db, targets, source, Record::ReadBack, reset); }});
        state.SetIterationTime(medians[1]);
    }
    Session().SessionConnection = before;
    reset();
    const double bare = medians[0], ledger = medians[1], readBack = medians[2];
    state.counters["copy_ms"] = bare * 1e3;
    state.counters["reads_ms"] = (ledger - bare) * 1e3;
    state.counters["read_back_ms"] = (readBack - bare) * 1e3;
    const std::string size =
        "100 targets, " + std::to_string(BenchData::kPermissionRows) + " rows each";
    AddSummaryRow({"undo record's reads (CopyLedger) on " + where, size,
                   Ms(ledger - bare) + " (" + Ms(ledger) + " in all)",
                   "copy alone (CopyToTarget): " + Ms(bare), Ratio(ledger / bare), "<= 1.10x",
                   ledger / bare <= 1.10});
    AddSummaryRow({"for comparison: every row read back after each commit on " + where, size,
                   Ms(readBack - bare) + " (" + Ms(readBack) + " in all)",
                   "copy alone (CopyToTarget): " + Ms(bare), Ratio(readBack / bare),
                   "none (not used)", true});
}
BENCHMARK(BM_CopyReads)
    ->ArgName("on")
    ->Arg(kReadsSQLite)
    ->Arg(kReadsQpsql)
    ->Arg(kReadsQodbc)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace prvc03::bench
