#include "ServerData.h"

#include <QSqlError>
#include <QStringList>

#include <libpq-fe.h>

#include <stdexcept>
#include <string>

#include "BenchData.h"
#include "DemoDatabase.h"

namespace prvc03::bench {

namespace {

std::unique_ptr<ServerData>& Instance() {
    static std::unique_ptr<ServerData> instance;
    return instance;
}

QSqlDatabase Open(const char* driver, const QString& name) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QLatin1String(driver), name);
    if (!db.isValid()) {
        throw std::runtime_error(std::string("the Qt driver ") + driver + " is not available");
    }
    return db;
}

void OpenOrThrow(QSqlDatabase& db) {
    if (!db.open()) {
        throw std::runtime_error(db.driverName().toStdString() + ": " +
                                 db.lastError().text().toStdString());
    }
}

// Few surnames and given-name characters, as in the SQLite tables, so that
// names repeat often.
constexpr const char* kSurnames = "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹";
constexpr const char* kGiven =
    "伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超兰霞平刚桂华玉萍红玲燕春菊凤洁梅琳云莲雪荣爱香月佳";

}  // namespace

ServerData* ServerData::Get() {
    if (!Instance()) {
        const QString conninfo = qEnvironmentVariable("PRVC03_PG_CONNINFO").trimmed();
        if (conninfo.isEmpty()) {
            return nullptr;
        }
        Instance().reset(new ServerData(conninfo));
    }
    return Instance().get();
}

void ServerData::Shutdown() {
    Instance().reset();
}

ServerData::ServerData(const QString& conninfo) {
    raw_ = PQconnectdb(conninfo.toUtf8().constData());
    if (PQstatus(raw_) != CONNECTION_OK) {
        const std::string text = PQerrorMessage(raw_);
        PQfinish(raw_);
        raw_ = nullptr;
        throw std::runtime_error("libpq: " + text);
    }
    Exec("SET client_encoding TO 'UTF8'");
    Exec("SET client_min_messages TO warning");
    native_ = Open("QPSQL", QStringLiteral("prvc03-bench-pg"));
    demo::ApplyConninfo(native_, conninfo);
    OpenOrThrow(native_);
    odbc_ = Open("QODBC", QStringLiteral("prvc03-bench-odbc"));
    odbc_.setDatabaseName(demo::OdbcPostgresConnectionString(conninfo));
    OpenOrThrow(odbc_);
}

ServerData::~ServerData() {
    for (QSqlDatabase* db : {&native_, &odbc_}) {
        const QString name = db->connectionName();
        db->close();
        *db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    PQfinish(raw_);
}

QString ServerData::Version() const {
    const int version = PQserverVersion(raw_);
    return QStringLiteral("%1.%2").arg(version / 10000).arg(version % 10000);
}

void ServerData::Exec(const char* sql) const {
    PGresult* result = PQexec(raw_, sql);
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const std::string text = PQresultErrorMessage(result);
        PQclear(result);
        throw std::runtime_error(std::string(sql).substr(0, 200) + ": " + text);
    }
    PQclear(result);
}

QString ServerData::LookupTable(int rows) {
    const QString table = QStringLiteral("LK%1").arg(rows);
    for (int made : made_) {
        if (made == rows) {
            return table;
        }
    }
    const QString create = QStringLiteral(
                               "CREATE TABLE %1 (CODE VARCHAR(10), NAME VARCHAR(20), QTY INTEGER, "
                               "PRICE FLOAT)")
                               .arg(table);
    // Codes as in SQLite; names NULL (5 %), ASCII of mixed case (25 %) or a
    // surname and one or two given characters; numbers with 10 % NULLs. One
    // seeded statement: the same rows on every run.
    const QString fill =
        QStringLiteral(
            "INSERT INTO %1 SELECT chr(65 + i %% 26) || lpad((i %% 1000000)::text, 6, '0'), "
            "CASE WHEN k < 5 THEN NULL "
            "WHEN k < 30 THEN translate(substr(md5(i::text), 1, 4 + i %% 5), "
            "'0123456789abcdef', 'GhIjKlMnOpaBcDeF') "
            "ELSE substr('%2', 1 + (random() * 29)::int, 1) || "
            "substr('%3', 1 + (random() * 43)::int, 1 + i %% 2) END, "
            "CASE WHEN random() < 0.1 THEN NULL ELSE (random() * 99999)::int END, "
            "CASE WHEN random() < 0.1 THEN NULL ELSE round((random() * 10000)::numeric, 2) END "
            "FROM (SELECT i, (random() * 99)::int AS k FROM generate_series(0, %4) i) s")
            .arg(table, QString::fromUtf8(kSurnames), QString::fromUtf8(kGiven))
            .arg(rows - 1)
            .replace(QLatin1String("%%"), QLatin1String("%"));
    Exec(create.toUtf8().constData());
    Exec("SELECT setseed(0.2026)");
    Exec(fill.toUtf8().constData());
    Exec(QStringLiteral("VACUUM ANALYZE %1").arg(table).toUtf8().constData());
    made_.push_back(rows);
    return table;
}

void ServerData::EnsureCopyTables() {
    if (copyTables_) {
        return;
    }
    demo::CreateSchema(native_);
    const QString source = QLatin1String(BenchData::kSource);
    const QString small = QLatin1String(BenchData::kSmallSource);
    QString flags, yes;
    for (int flag = 0; flag < 12; ++flag) {
        flags += QStringLiteral(", CASE WHEN (p * %1 + %2) % 3 = 0 THEN 'N' ELSE 'Y' END")
                     .arg(7 + flag)
                     .arg(flag);
        yes += QStringLiteral(", 'Y'");
    }
    const QStringList statements = {
        QStringLiteral("INSERT INTO ADMMG VALUES ('%1', '源用户'), ('%2', '单行用户')")
            .arg(source, small),
        QStringLiteral("INSERT INTO ADMMG SELECT 'T' || lpad(t::text, 3, '0'), '目标' || t "
                       "FROM generate_series(1, 100) t"),
        QStringLiteral("INSERT INTO ADMMH SELECT '%1', 'P' || lpad(p::text, 5, '0'), "
                       "CASE WHEN p % 4 <> 0 THEN '程序P' || lpad(p::text, 5, '0') END, "
                       "CASE WHEN p % 2 = 1 THEN substr('%2', 1 + p % 30, 1) END%3 "
                       "FROM generate_series(0, %4) p")
            .arg(source, QString::fromUtf8(kSurnames), flags)
            .arg(BenchData::kPermissionRows - 1),
        QStringLiteral("INSERT INTO ADMMH VALUES ('%1', 'P00000', NULL, NULL%2)").arg(small, yes),
        QStringLiteral("VACUUM ANALYZE ADMMG"),
        QStringLiteral("VACUUM ANALYZE ADMMH"),
    };
    for (const QString& statement : statements) {
        Exec(statement.toUtf8().constData());
    }
    copyTables_ = true;
}

void ServerData::ResetTargets() {
    Exec("DELETE FROM ADMMH WHERE MH001 LIKE 'T%'");
    Exec("VACUUM ADMMH");
}

}  // namespace prvc03::bench
