// The benchmark program: an offscreen QApplication, the user's locale set to
// Chinese (China) so that text sorts by a real collation, the message boxes
// answered by a recorder, then every case and the summary table.
#include <QApplication>
#include <QLocale>
#include <QtGlobal>

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdio>
#include <exception>

#include "BenchData.h"
#include "MessageRecorder.h"
#include "ScaleBench.h"
#include "ServerData.h"
#include "Summary.h"
#include "platform/Windows.h"
#include "session/Global.h"

namespace prvc03::bench {

std::vector<RecordedBox>& RecordedBoxes() {
    static std::vector<RecordedBox> boxes;
    return boxes;
}

void InstallMessageRecorder() {
    platform::SetMessageBoxPresenter(
        [](platform::HWND, const QByteArray& text, const QByteArray&, unsigned type) {
            RecordedBoxes().push_back({text, type});
            return platform::IDOK;
        });
}

namespace {

// The whole run's peak resident memory, as the kernel kept it.
void AddPeakResidentRow() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) {
        return;
    }
    const double bytes = static_cast<double>(usage.ru_maxrss) * 1024.0;  // kilobytes
    char figure[64];
    std::snprintf(figure, sizeof figure, "%.1f MB", bytes / (1 << 20));
    const int rows = BenchData::ScaleRows();
    AddSummaryRow({"peak resident memory of the whole run (getrusage ru_maxrss)",
                   rows > 0 ? "up to " + RowsLabel(rows) : "up to 1M rows", figure, "-", "-",
                   "reported", true, true});
}

}  // namespace

}  // namespace prvc03::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    prvc03::bench::InstallMessageRecorder();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    try {
        prvc03::bench::BenchData& data = prvc03::bench::BenchData::Get();
        std::printf("Qt %s, SQLite %s, locale %s, database folder %s\n", qVersion(),
                    sqlite3_libversion(), qPrintable(QLocale().name()), qPrintable(data.Folder()));
        if (prvc03::bench::ServerData* server = prvc03::bench::ServerData::Get()) {
            std::printf("PostgreSQL %s (QPSQL, QODBC with psqlODBC, libpq)\n",
                        qPrintable(server->Version()));
        } else {
            std::printf("PRVC03_PG_CONNINFO not set: the server cases are skipped\n");
        }
        if (const int rows = prvc03::bench::BenchData::ScaleRows(); rows > 0) {
            prvc03::bench::RegisterScaleBenchmarks(rows);
        }
        std::fflush(stdout);
        benchmark::RunSpecifiedBenchmarks();
        prvc03::bench::AddPeakResidentRow();
        prvc03::bench::PrintSummary();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "benchmark failed: %s\n", error.what());
        prvc03::bench::ServerData::Shutdown();
        prvc03::bench::BenchData::Shutdown();
        return 1;
    }
    prvc03::bench::ServerData::Shutdown();
    prvc03::bench::BenchData::Shutdown();
    benchmark::Shutdown();
    return 0;
}
