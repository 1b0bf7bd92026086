#include "BenchData.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <sys/statvfs.h>

#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>

#include "DemoDatabase.h"
#include "lookup/LookupStatements.h"
#include "session/Global.h"

namespace prvc03::bench {

namespace {

// Surnames and given-name characters: few enough that names repeat often,
// which is what a stable sort has to get right.
const char* const kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周",
                                 "徐", "孙", "马", "朱", "胡", "郭", "何", "高", "林", "罗",
                                 "郑", "梁", "谢", "宋", "唐", "许", "韩", "冯", "邓", "曹"};
const char* const kGiven[] = {"伟", "芳", "娜", "秀", "英", "敏", "静", "丽", "强", "磊", "军",
                              "洋", "勇", "艳", "杰", "娟", "涛", "明", "超", "兰", "霞", "平",
                              "刚", "桂", "华", "玉", "萍", "红", "玲", "燕", "春", "菊", "凤",
                              "洁", "梅", "琳", "云", "莲", "雪", "荣", "爱", "香", "月", "佳"};

template <class T, std::size_t N>
constexpr std::uint32_t Size(const T (&)[N]) {
    return static_cast<std::uint32_t>(N);
}

void Check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
    }
}

// Prepared statement, finalized on scope exit.
class Statement {
  public:
    Statement(sqlite3* db, const std::string& sql) : db_(db) {
        Check(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr), db, sql.c_str());
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return stmt_; }
    void Text(int index, const std::string& text) {
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    void Step() {
        Check(sqlite3_step(stmt_), db_, "step");
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// Bytes the generated database takes at the most: about 40 a lookup row
// (the 10k, 100k and 1M tables, and the largest of the run), with room to
// spare, and the copy tables.
double DatabaseBytes() {
    const double rows = 1110000.0 + BenchData::ScaleRows();
    return 2.0 * 40.0 * rows + (64 << 20);
}

bool HasRoom(const QString& folder) {
    struct statvfs room {};
    return statvfs(QFile::encodeName(folder).constData(), &room) == 0 &&
           static_cast<double>(room.f_bavail) * static_cast<double>(room.f_frsize) >=
               DatabaseBytes();
}

// Memory-backed /dev/shm where it has room for the run's database, else the
// system's temporary folder.
QString TemporaryRoot() {
    const QDir shm(QStringLiteral("/dev/shm"));
    if (shm.exists() && QFileInfo(shm.path()).isWritable() && HasRoom(shm.path())) {
        return shm.path();
    }
    if (!HasRoom(QDir::tempPath())) {
        throw std::runtime_error("no room for the generated database in /dev/shm or " +
                                 QDir::tempPath().toStdString());
    }
    return QDir::tempPath();
}

// The values of a lookup table's rows: each drawn from a seeded stream of
// its own per row and column, so that they depend on the row's number only
// and one INSERT ... SELECT over the row numbers makes the same rows on
// every run, in any order.
class RowDraw {
  public:
    RowDraw(std::uint64_t seed, std::uint64_t row, std::uint64_t column)
        : state_(Mix(seed * 0x100000001B3u + column) ^ row) {}
    std::uint32_t operator()() {
        state_ += 0x9E3779B97F4A7C15u;
        return static_cast<std::uint32_t>(Mix(state_) >> 32);
    }

  private:
    // splitmix64's finalizer.
    static std::uint64_t Mix(std::uint64_t z) {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    std::uint64_t state_;
};

RowDraw DrawOf(sqlite3_value** argv, std::uint64_t column) {
    return RowDraw(static_cast<std::uint64_t>(sqlite3_value_int64(argv[0])),
                   static_cast<std::uint64_t>(sqlite3_value_int64(argv[1])), column);
}

// lk_name(seed, row): NULL (5 %), 4 to 8 ASCII letters of mixed case (25 %),
// or a surname and one or two given-name characters.
void NameOf(sqlite3_context* context, int, sqlite3_value** argv) {
    RowDraw random = DrawOf(argv, 1);
    const std::uint32_t kind = random() % 100;
    if (kind < 5) {
        sqlite3_result_null(context);
        return;
    }
    std::string text;
    if (kind < 30) {
        const std::uint32_t length = 4 + random() % 5;
        for (std::uint32_t k = 0; k < length; ++k) {
            const std::uint32_t letter = random() % 52;
            text += static_cast<char>(letter < 26 ? 'a' + letter : 'A' + letter - 26);
        }
    } else {
        text = kSurnames[random() % Size(kSurnames)];
        const std::uint32_t given = 1 + random() % 2;
        for (std::uint32_t k = 0; k < given; ++k) {
            text += kGiven[random() % Size(kGiven)];
        }
    }
    sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// lk_qty(seed, row): 0 to 99,999, NULL for 10 %.
void QtyOf(sqlite3_context* context, int, sqlite3_value** argv) {
    RowDraw random = DrawOf(argv, 2);
    if (random() % 10 == 0) {
        sqlite3_result_null(context);
    } else {
        sqlite3_result_int(context, static_cast<int>(random() % 100000));
    }
}

// lk_price(seed, row): 0.00 to 9,999.99, NULL for 10 %.
void PriceOf(sqlite3_context* context, int, sqlite3_value** argv) {
    RowDraw random = DrawOf(argv, 3);
    if (random() % 10 == 0) {
        sqlite3_result_null(context);
    } else {
        sqlite3_result_double(context, (random() % 1000000) / 100.0);
    }
}

}  // namespace

namespace {
std::unique_ptr<BenchData>& Instance() {
    static std::unique_ptr<BenchData> instance;
    return instance;
}
}  // namespace

BenchData& BenchData::Get() {
    if (!Instance()) {
        Instance().reset(new BenchData());
    }
    return *Instance();
}

void BenchData::Shutdown() {
    Instance().reset();
}

BenchData::BenchData()
    : folder_(std::make_unique<QTemporaryDir>(TemporaryRoot() +
                                              QStringLiteral("/prvc03-bench-XXXXXX"))) {
    if (!folder_->isValid()) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    path_ = folder_->filePath(QStringLiteral("bench.sqlite"));
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("prvc03-bench"));
    db_.setDatabaseName(path_);
    if (!db_.open()) {
        throw std::runtime_error(db_.lastError().text().toStdString());
    }
    Session().SessionConnection = &db_;
    const QByteArray file = path_.toUtf8();
    Check(sqlite3_open_v2(file.constData(), &raw_, SQLITE_OPEN_READWRITE, nullptr), raw_, "open");
}

BenchData::~BenchData() {
    sqlite3_close(raw_);
    Session().SessionConnection = nullptr;
    for (QSqlDatabase* db : {&db_, &odbc_}) {
        const QString name = db->connectionName();
        if (name.isEmpty()) {
            continue;  // never opened
        }
        db->close();
        *db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
}

QSqlDatabase& BenchData::Odbc() {
    if (!odbc_.isOpen()) {
        odbc_ = QSqlDatabase::addDatabase(QStringLiteral("QODBC"),
                                          QStringLiteral("prvc03-bench-odbc-sqlite"));
        // The driver waits 100 s for a lock unless told otherwise; QSQLITE
        // waits 5 s.
        odbc_.setDatabaseName(
            QStringLiteral("Driver=SQLite3;Database=%1;Timeout=5000;").arg(path_));
        if (!odbc_.open()) {
            throw std::runtime_error("QODBC (SQLite3): " + odbc_.lastError().text().toStdString());
        }
    }
    return odbc_;
}

QString BenchData::Folder() const {
    return folder_->path();
}

void BenchData::ExecRaw(const char* sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(raw_, sql, nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const std::string text = message != nullptr ? message : "error";
        sqlite3_free(message);
        throw std::runtime_error(std::string(sql) + ": " + text);
    }
}

int BenchData::ScaleRows() {
    const QByteArray scale = qgetenv("PRVC03_BENCH_SCALE").trimmed().toUpper();
    if (scale.isEmpty() || scale == "1M") {
        return 0;
    }
    if (scale == "10M") {
        return 10000000;
    }
    throw std::runtime_error("PRVC03_BENCH_SCALE (BENCH_SCALE) is 1M or 10M, not " +
                             scale.toStdString());
}

QString BenchData::LookupTable(int rows) {
    const QString table = QStringLiteral("LK%1").arg(rows);
    for (int made : made_) {
        if (made == rows) {
            return table;
        }
    }
    const std::string name = table.toStdString();
    for (const auto& [function, call] : {std::pair{"lk_name", &NameOf}, std::pair{"lk_qty", &QtyOf},
                                         std::pair{"lk_price", &PriceOf}}) {
        Check(sqlite3_create_function_v2(raw_, function, 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                         nullptr, call, nullptr, nullptr, nullptr),
              raw_, function);
    }
    ExecRaw(
        ("CREATE TABLE " + name + " (CODE VARCHAR(10), NAME VARCHAR(20), QTY INTEGER, PRICE FLOAT)")
            .c_str());
    // One set-based statement in one transaction: the row numbers from a
    // recursive series; codes a letter and six digits, as A000000, B000001...
    const std::string seed = std::to_string(20260 + rows);
    ExecRaw("BEGIN");
    ExecRaw(("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n LIMIT " +
             std::to_string(rows) + ") INSERT INTO " + name +
             " SELECT printf('%s%06d', char(65 + i % 26), i % 1000000), lk_name(" + seed +
             ", i), lk_qty(" + seed + ", i), lk_price(" + seed + ", i) FROM n")
                .c_str());
    ExecRaw("COMMIT");
    made_.push_back(rows);
    return table;
}

std::vector<Field> BenchData::LookupFields(const QString& table) {
    return {
        DataField(QStringLiteral("CODE"), FieldType::WideString, 10, QStringLiteral("编号"), table),
        DataField(QStringLiteral("NAME"), FieldType::WideString, 20, QStringLiteral("名称"),
                  table)};
}

QString BenchData::LookupFrom(const QString& table) {
    return QStringLiteral("FROM %1 WHERE 1=1").arg(table);
}

QString BenchData::LookupSQL(const QString& table) {
    return BuildBaseSQL(LookupFields(table), LookupFrom(table));
}

double BenchData::PayloadBytesPerRow(const QString& table) {
    QSqlQuery query(db_);
    query.exec(QStringLiteral("SELECT SUM(length(CODE)) + SUM(COALESCE(length(NAME), 0)), "
                              "COUNT(*) FROM %1")
                   .arg(table));
    if (!query.next() || query.value(1).toDouble() == 0) {
        return 0;
    }
    // Every character of these texts is in the basic plane: one UTF-16 unit.
    return 2.0 * query.value(0).toDouble() / query.value(1).toDouble();
}

QString BenchData::TargetCode(int index) {
    return QStringLiteral("T%1").arg(index + 1, 3, 10, QLatin1Char('0'));
}

void BenchData::EnsureCopyTables() {
    if (copyTables_) {
        return;
    }
    demo::CreateSchema(db_);
    ExecRaw("BEGIN");
    {
        Statement user(raw_, "INSERT INTO ADMMG VALUES (?, ?)");
        user.Text(1, kSource);
        user.Text(2, "源用户");
        user.Step();
        for (int t = 0; t < 100; ++t) {
            user.Text(1, TargetCode(t).toStdString());
            user.Text(2, "目标" + std::to_string(t + 1));
            user.Step();
        }
        Statement row(raw_,
                      "INSERT INTO ADMMH VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        std::mt19937 random(4242);
        char program[16];
        for (int p = 0; p < kPermissionRows; ++p) {
            row.Text(1, kSource);
            std::snprintf(program, sizeof program, "P%05d", p);
            row.Text(2, program);
            if (random() % 4 != 0) {
                row.Text(3, std::string("程序") + program);
            }
            if (random() % 2 != 0) {
                row.Text(4, kSurnames[random() % Size(kSurnames)]);
            }
            for (int flag = 5; flag <= 16; ++flag) {
                row.Text(flag, random() % 3 == 0 ? "N" : "Y");
            }
            row.Step();
        }
        user.Text(1, kSmallSource);
        user.Text(2, "单行用户");
        user.Step();
        row.Text(1, kSmallSource);
        row.Text(2, "P00000");
        for (int flag = 5; flag <= 16; ++flag) {
            row.Text(flag, "Y");
        }
        row.Step();
    }
    ExecRaw("COMMIT");
    copyTables_ = true;
}

void BenchData::ResetTargets(Through through) {
    static const char* const kReset = "DELETE FROM ADMMH WHERE MH001 LIKE 'T%'";
    if (through == Through::Raw) {
        ExecRaw(kReset);
        return;
    }
    QSqlQuery query(db_);
    if (!query.exec(QLatin1String(kReset))) {
        throw std::runtime_error(query.lastError().text().toStdString());
    }
}

}  // namespace prvc03::bench
