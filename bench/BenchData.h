#pragma once
// The generated databases of the benchmarks: one SQLite file in a temporary
// folder (memory-backed where the system has one, so that commits measure
// the code rather than the disk), opened as the session connection and as a
// raw SQLite handle for the baselines. Tables are made on first use with
// fixed seeds and kept for the rest of the run.

#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <vector>

#include "data/Field.h"

class QTemporaryDir;

struct sqlite3;

namespace prvc03::bench {

class BenchData {
  public:
    // Made on first use; Shutdown closes it before the application goes.
    static BenchData& Get();
    static void Shutdown();
    ~BenchData();

    QString Folder() const;
    // The session connection (QSQLITE) on the file.
    QSqlDatabase& Db() { return db_; }
    // A raw SQLite connection on the same file.
    sqlite3* Raw() const { return raw_; }
    // QODBC on the same file through the SQLite3 ODBC driver, opened on
    // first use.
    QSqlDatabase& Odbc();

    // The lookup table of `rows` rows, LK<rows>(CODE, NAME, QTY, PRICE):
    // ASCII codes, names in Chinese (about 70 %), in ASCII of mixed case and
    // NULL (5 %), many of them repeated; numbers with 10 % NULLs. Made by one
    // set-based statement in one transaction, with fixed seeds.
    QString LookupTable(int rows);
    // The largest lookup PRVC03_BENCH_SCALE asks for beyond the 1M-row one:
    // 10,000,000 for "10M", 0 when unset or "1M"; raises for anything else.
    static int ScaleRows();
    // The caller's columns of a lookup over it: two short texts, CODE
    // ("编号") and NAME ("名称"), qualified by the table.
    static std::vector<Field> LookupFields(const QString& table);
    static QString LookupFrom(const QString& table);
    // The statement a lookup window builds for them.
    static QString LookupSQL(const QString& table);
    // UTF-16 bytes of the two texts per row: what a row holds at the least.
    double PayloadBytesPerRow(const QString& table);

    // ADMMG and ADMMH with the source user kSource holding kPermissionRows
    // permission rows, kSmallSource holding one, and target users T001 ...
    // T100 holding none.
    void EnsureCopyTables();
    static constexpr const char* kSource = "S0001";
    static constexpr int kPermissionRows = 2000;
    static constexpr const char* kSmallSource = "S0002";
    static QString TargetCode(int index);  // 0-based
    // Removes every permission row of the target users, through the session
    // connection or the raw one: the connection that runs next then finds
    // its page cache as it left it, whichever wrote last.
    enum class Through { Session, Raw };
    void ResetTargets(Through through);

  private:
    BenchData();
    void ExecRaw(const char* sql);

    std::unique_ptr<QTemporaryDir> folder_;
    QString path_;
    QSqlDatabase db_;
    sqlite3* raw_ = nullptr;
    QSqlDatabase odbc_;
    std::vector<int> made_;
    bool copyTables_ = false;
};

}  // namespace prvc03::bench
