#include "BenchData.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <sqlite3.h>

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

QString TemporaryRoot() {
    const QDir shm(QStringLiteral("/dev/shm"));
    if (shm.exists() && QFileInfo(shm.path()).isWritable()) {
        return shm.path();
    }
    return QDir::tempPath();
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
    const QString name = db_.connectionName();
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
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

QString BenchData::LookupTable(int rows) {
    const QString table = QStringLiteral("LK%1").arg(rows);
    for (int made : made_) {
        if (made == rows) {
            return table;
        }
    }
    const std::string name = table.toStdString();
    ExecRaw(
        ("CREATE TABLE " + name + " (CODE VARCHAR(10), NAME VARCHAR(20), QTY INTEGER, PRICE FLOAT)")
            .c_str());
    ExecRaw("BEGIN");
    {
        Statement insert(raw_, "INSERT INTO " + name + " VALUES (?, ?, ?, ?)");
        std::mt19937 random(20260 + static_cast<unsigned>(rows));
        char code[16];
        for (int i = 0; i < rows; ++i) {
            std::snprintf(code, sizeof code, "%c%06d", 'A' + static_cast<char>(i % 26),
                          i % 1000000);
            insert.Text(1, code);
            const std::uint32_t kind = random() % 100;
            if (kind >= 5) {
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
                insert.Text(2, text);
            }
            if (random() % 10 != 0) {
                sqlite3_bind_int(insert.get(), 3, static_cast<int>(random() % 100000));
            }
            if (random() % 10 != 0) {
                sqlite3_bind_double(insert.get(), 4, (random() % 1000000) / 100.0);
            }
            insert.Step();
        }
    }
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
