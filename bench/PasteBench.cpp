// User codes pasted into the copy window's target list: 10,000 codes, each
// naming a user, through PasteTargetCodes (split, 20 lookups of 500 codes,
// 10,000 target lines), against raw SQLite running the same lookups.
#include <QApplication>
#include <QListWidget>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "BenchData.h"
#include "MessageRecorder.h"
#include "Summary.h"
#include "lookup/LookupCaller.h"
#include "modules/CopyStatements.h"
#include "modules/PRVC03F.h"
#include "modules/PastedCodes.h"
#include "session/Global.h"

namespace prvc03::bench {

namespace {

constexpr int kPasted = 10000;

void ExecRaw(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message != nullptr ? message : "error";
        sqlite3_free(message);
        throw std::runtime_error(text);
    }
}

// Users U00001 ... U10000 in ADMMG, made once; the pasted text names them
// one a line.
QString PastedText() {
    static bool made = false;
    BenchData& data = BenchData::Get();
    data.EnsureCopyTables();
    if (!made) {
        ExecRaw(data.Raw(),
                "INSERT OR IGNORE INTO ADMMG (MG001, MG002) WITH RECURSIVE n(v) AS (SELECT 1 "
                "UNION ALL SELECT v + 1 FROM n WHERE v < 10000) SELECT printf('U%05d', v), "
                "'粘贴用户' || v FROM n");
        made = true;
    }
    QStringList codes;
    for (int i = 1; i <= kPasted; ++i) {
        codes << QStringLiteral("U%1").arg(i, 5, 10, QLatin1Char('0'));
    }
    return codes.join(QLatin1Char('\n'));
}

double WindowPaste(const QString& text) {
    BenchData& data = BenchData::Get();
    QSqlDatabase* const before = Session().SessionConnection;
    Session().SessionConnection = &data.Db();
    double seconds = 0;
    int lines = 0;
    {
        const LookupWindowGuard<TfrmPRVC03F> window(new TfrmPRVC03F(nullptr));
        window.get()->show();
        QCoreApplication::processEvents();
        RecordedBoxes().clear();
        seconds = TimeOf([&] { window.get()->PasteTargetCodes(text); });
        lines = window.get()->ListBox1->count();
    }
    Session().SessionConnection = before;
    if (lines != kPasted || !RecordedBoxes().empty()) {
        throw std::runtime_error("the paste did not add one line per code");
    }
    return seconds;
}

// Raw SQLite: the same lookup statements, every row stepped and read.
double RawLookups(const QString& text) {
    const QStringList codes = SplitPastedCodes(text);
    std::vector<QByteArray> statements;
    for (qsizetype first = 0; first < codes.size(); first += kCodesPerStatement) {
        QStringList literals;
        for (const QString& code : codes.mid(first, kCodesPerStatement)) {
            literals << ToSqlLiteral(code);
        }
        statements.push_back(UsersByCodeStatement(literals).toUtf8());
    }
    sqlite3* db = BenchData::Get().Raw();
    int rows = 0;
    const double seconds = TimeOf([&] {
        for (const QByteArray& statement : statements) {
            sqlite3_stmt* stmt = nullptr;
            if (sqlite3_prepare_v2(db, statement.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
                throw std::runtime_error(sqlite3_errmsg(db));
            }
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                sqlite3_column_text16(stmt, 0);
                sqlite3_column_text16(stmt, 1);
                ++rows;
            }
            sqlite3_finalize(stmt);
        }
    });
    if (rows != kPasted) {
        throw std::runtime_error("the raw lookups found an unexpected number of users");
    }
    return seconds;
}

void BM_Paste(benchmark::State& state) {
    const QString text = PastedText();
    std::vector<double> medians;
    for (auto _ : state) {
        medians =
            Interleaved({[&] { return WindowPaste(text); }, [&] { return RawLookups(text); }});
        state.SetIterationTime(medians[0]);
    }
    const double window = medians[0], raw = medians[1];
    state.counters["raw_ms"] = raw * 1e3;
    AddSummaryRow({"paste user codes into the target list (PasteTargetCodes)",
                   "10,000 codes, 20 statements of 500", Ms(window),
                   "raw SQLite, same lookups: " + Ms(raw), Ratio(window / raw), "< 1 s",
                   window < 1.0});
}
BENCHMARK(BM_Paste)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace prvc03::bench
