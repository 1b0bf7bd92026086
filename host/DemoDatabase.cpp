#include "DemoDatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <stdexcept>

#include "data/DatabaseProduct.h"

namespace prvc03::demo {

void Exec(QSqlDatabase& db, const QString& statement) {
    QSqlQuery query(db);
    if (!query.exec(statement)) {
        const QString text = statement + QStringLiteral(": ") + query.lastError().text();
        throw std::runtime_error(text.toStdString());
    }
}

void ApplyConninfo(QSqlDatabase& db, const QString& conninfo) {
    QStringList options;
    for (const QString& pair : conninfo.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString key = pair.section(QLatin1Char('='), 0, 0);
        const QString value = pair.section(QLatin1Char('='), 1);
        if (key == QLatin1String("host")) {
            db.setHostName(value);
        } else if (key == QLatin1String("port")) {
            db.setPort(value.toInt());
        } else if (key == QLatin1String("dbname")) {
            db.setDatabaseName(value);
        } else if (key == QLatin1String("user")) {
            db.setUserName(value);
        } else if (key == QLatin1String("password")) {
            db.setPassword(value);
        } else {
            options.append(pair);
        }
    }
    db.setConnectOptions(options.join(QLatin1Char(';')));
}

namespace {

// Whether `table` is visible to the connection (in its schema search path),
// asked with a query every product runs; db.tables() lists other schemas too.
bool TableExists(QSqlDatabase& db, const QString& table) {
    QSqlQuery query(db);
    return query.exec(QStringLiteral("SELECT 1 FROM %1 WHERE 1=0").arg(table));
}

// Plain CREATE TABLE: SQL Server has no IF NOT EXISTS, and keeps Chinese text
// in any collation only as NVARCHAR.
void CreateTables(QSqlDatabase& db, bool users, bool rights) {
    const QString text = ProductOf(db) == DatabaseProduct::SqlServer ? QStringLiteral("NVARCHAR")
                                                                     : QStringLiteral("VARCHAR");
    if (users) {
        Exec(db, QStringLiteral("CREATE TABLE ADMMG (MG001 %1(10) NOT NULL PRIMARY KEY, "
                                "MG002 %1(20))")
                     .arg(text));
    }
    if (rights) {
        Exec(db,
             QStringLiteral("CREATE TABLE ADMMH (MH001 %1(10) NOT NULL, MH002 %1(20) NOT NULL, "
                            "MH003 %1(40), MH004 %1(40), RUN CHAR(1), NEW CHAR(1), FIND CHAR(1), "
                            "EDIT CHAR(1), DEL CHAR(1), REPORT CHAR(1), CONFORM CHAR(1), "
                            "UNCONFORM CHAR(1), LOCK CHAR(1), UNLOCK CHAR(1), INVALID CHAR(1), "
                            "PRICE CHAR(1), PRIMARY KEY (MH001, MH002))")
                 .arg(text));
    }
}

}  // namespace

QString OdbcPostgresConnectionString(const QString& conninfo) {
    static const std::pair<const char*, const char*> kKeys[] = {
        {"host", "Server"}, {"port", "Port"},    {"dbname", "Database"},
        {"user", "Uid"},    {"password", "Pwd"},
    };
    QString text = QStringLiteral("Driver={PostgreSQL Unicode};");
    for (const QString& pair : conninfo.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString key = pair.section(QLatin1Char('='), 0, 0);
        for (const auto& [libpq, odbc] : kKeys) {
            if (key == QLatin1String(libpq)) {
                text += QLatin1String(odbc) + QLatin1Char('=') + pair.section(QLatin1Char('='), 1) +
                        QLatin1Char(';');
            }
        }
    }
    return text;
}

void CreateSchema(QSqlDatabase& db) {
    CreateTables(db, !TableExists(db, QStringLiteral("ADMMG")),
                 !TableExists(db, QStringLiteral("ADMMH")));
}

namespace {

struct DemoUser {
    const char* code;
    const char* name;
};

// Users with and without permissions. A01 and A02 have rows; B02 already
// holds one of A01's programs, so copying A01 to B02 is rejected by the key.
constexpr DemoUser kUsers[] = {
    {"A01", "张三"},   {"A02", "李四"},   {"B01", "王五"},   {"B02", "赵六"},     {"B03", "孙七"},
    {"C01", "周八"},   {"C02", "吴九"},   {"0002", "王五"},  {"D01", "郑十"},     {"D02", "陈一"},
    {"D03", "林二"},   {"E01", "黄小明"}, {"E02", "刘晓红"}, {"E03", "欧阳娜娜"}, {"F01", "司马光"},
    {"F02", "诸葛亮"}, {"G01", "Admin"},  {"G02", "O'Neil"},
};

struct DemoRight {
    const char* user;
    const char* program;
    const char* title;
    const char* rights;  // RUN .. PRICE, twelve Y/N
};

constexpr DemoRight kRights[] = {
    {"A01", "INVI01", "品号信息建立作业", "YYYYYYYYYYYY"},
    {"A01", "INVI02", "库存交易单据建立", "YYYYYNNNNNNN"},
    {"A01", "PURI01", "采购单建立作业", "YYYNNNNNNNNY"},
    {"A01", "COPI06", "客户订单建立作业", "YNYNNNNNNNNN"},
    {"A02", "INVI01", "品号信息建立作业", "YNYNNNNNNNNN"},
    {"A02", "ACTI10", "会计凭证建立作业", "YYYYNYYNNNNN"},
    {"B02", "PURI01", "采购单建立作业", "YNYNNNNNNNNN"},
    {"E01", "INVR01", "库存明细表", "YNYNYNNNNNNN"},
};

}  // namespace

void SeedDemo(QSqlDatabase& db) {
    QSqlQuery user(db);
    user.prepare(QStringLiteral("INSERT INTO ADMMG (MG001, MG002) VALUES (?, ?)"));
    for (const auto& u : kUsers) {
        user.bindValue(0, QString::fromUtf8(u.code));
        user.bindValue(1, QString::fromUtf8(u.name));
        if (!user.exec()) {
            throw std::runtime_error(user.lastError().text().toStdString());
        }
    }
    QSqlQuery right(db);
    right.prepare(QStringLiteral(
        "INSERT INTO ADMMH (MH001, MH002, MH003, MH004, RUN, NEW, FIND, EDIT, DEL, REPORT, "
        "CONFORM, UNCONFORM, LOCK, UNLOCK, INVALID, PRICE) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?, ?, ?, ?, ?, ?)"));
    for (const auto& r : kRights) {
        right.bindValue(0, QString::fromUtf8(r.user));
        right.bindValue(1, QString::fromUtf8(r.program));
        right.bindValue(2, QString::fromUtf8(r.title));
        right.bindValue(3, QStringLiteral("demo"));
        for (int i = 0; i < 12; ++i) {
            right.bindValue(4 + i, QString(QLatin1Char(r.rights[i])));
        }
        if (!right.exec()) {
            throw std::runtime_error(right.lastError().text().toStdString());
        }
    }
}

bool EnsureDemoDatabase(QSqlDatabase& db) {
    // Asked before the transaction: a failed query aborts one on PostgreSQL.
    if (TableExists(db, QStringLiteral("ADMMG"))) {
        return false;
    }
    const bool rights = !TableExists(db, QStringLiteral("ADMMH"));
    if (!db.transaction()) {
        throw std::runtime_error(db.lastError().text().toStdString());
    }
    try {
        CreateTables(db, true, rights);
        SeedDemo(db);
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit()) {
        throw std::runtime_error(db.lastError().text().toStdString());
    }
    return true;
}

}  // namespace prvc03::demo
