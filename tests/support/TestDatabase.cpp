#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <atomic>

#include "../../host/DemoDatabase.h"
#include "session/Global.h"

namespace prvc03::test {

namespace {

std::atomic<int> counter{0};

QString NextName(const char* prefix) {
    return QStringLiteral("%1_%2_%3")
        .arg(QLatin1String(prefix))
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

bool Run(QSqlDatabase& db, const QString& statement) {
    QSqlQuery query(db);
    if (!query.exec(statement)) {
        ADD_FAILURE() << statement.toStdString() << ": " << query.lastError().text().toStdString();
        return false;
    }
    return true;
}

}  // namespace

const char* BackendName(Backend backend) {
    switch (backend) {
        case Backend::SQLite:
            return "SQLite";
        case Backend::PostgreSQL:
            return "PostgreSQL";
        case Backend::OdbcPostgreSQL:
            return "OdbcPostgreSQL";
        case Backend::OdbcSQLite:
            return "OdbcSQLite";
    }
    return "?";
}

std::string BackendParamName(const ::testing::TestParamInfo<Backend>& info) {
    return BackendName(info.param);
}

QString PostgresConninfo() {
    return qEnvironmentVariable("PRVC03_PG_CONNINFO").trimmed();
}

bool BackendAvailable(Backend backend) {
    const bool server = backend == Backend::PostgreSQL || backend == Backend::OdbcPostgreSQL;
    return !server || !PostgresConninfo().isEmpty();
}

void OpenTestDatabase(Backend backend, TestDatabase::Content content,
                      std::unique_ptr<TestDatabase>& database) {
    if (!BackendAvailable(backend)) {
        if (!qEnvironmentVariableIsEmpty("CI")) {
            GTEST_FAIL() << "PRVC03_PG_CONNINFO is not set on CI: every database configuration "
                            "must run there (scripts/with-postgres.sh)";
        }
        GTEST_SKIP() << "PRVC03_PG_CONNINFO is not set: no PostgreSQL server to run on";
    }
    database = std::make_unique<TestDatabase>(backend, content);
}

TestDatabase::TestDatabase(Content content) : TestDatabase(Backend::SQLite, content) {}

TestDatabase::TestDatabase(Backend backend, Content content) : backend_(backend) {
    name_ = NextName("prvc03_test");
    if (!IsPostgres()) {
        path_ = dir_.filePath(QStringLiteral("test.db"));
    } else {
        schema_ = NextName("prvc03_t").toLower();
    }
    db_ = Connect(name_, QString());
    if (IsPostgres() && db_.isOpen()) {
        Run(db_, QStringLiteral("CREATE SCHEMA %1").arg(schema_));
        Run(db_, QStringLiteral("SET search_path TO %1").arg(schema_));
        pid_ = BackendPid();
    }
    if (IsOdbc() && db_.isOpen()) {
        native_ = ConnectNative(NextName("prvc03_native"));
    }
    if (db_.isOpen() && Native().isOpen()) {
        try {
            if (content != Empty) {
                demo::CreateSchema(Native());
            }
            if (content == Demo) {
                demo::SeedDemo(Native());
            }
        } catch (const std::exception& error) {
            ADD_FAILURE() << error.what();
        }
    }
    Session().SessionConnection = &db_;
}

TestDatabase::~TestDatabase() {
    if (Session().SessionConnection == &db_) {
        Session().SessionConnection = nullptr;
    }
    QStringList names;
    for (QSqlDatabase& other : others_) {
        names.append(other.connectionName());
        other.close();
    }
    others_.clear();
    if (native_.isValid()) {
        names.append(native_.connectionName());
        native_.close();
        native_ = QSqlDatabase();
    }
    for (const QString& name : names) {
        QSqlDatabase::removeDatabase(name);
    }
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
    if (IsPostgres()) {
        // The main connection may be gone (a test ended it): drop the schema
        // from a fresh one.
        const QString cleaner = NextName("prvc03_drop");
        {
            QSqlDatabase db = Connect(cleaner, QString());
            if (db.isOpen()) {
                Run(db, QStringLiteral("SET client_min_messages TO warning"));
                Run(db, QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema_));
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(cleaner);
    }
}

QSqlDatabase TestDatabase::Connect(const QString& name, const QString& sqliteOptions) {
    static const char* const kDrivers[] = {"QSQLITE", "QPSQL", "QODBC", "QODBC"};
    static const char* const kPackages[] = {"libqt6sql6-sqlite", "libqt6sql6-psql",
                                            "libqt6sql6-odbc", "libqt6sql6-odbc"};
    const auto index = static_cast<std::size_t>(backend_);
    QSqlDatabase db = QSqlDatabase::addDatabase(QLatin1String(kDrivers[index]), name);
    if (!db.isValid()) {
        ADD_FAILURE() << "the " << kDrivers[index] << " driver is not available (install "
                      << kPackages[index] << ")";
        return db;
    }
    Configure(db, sqliteOptions);
    if (!db.open()) {
        ADD_FAILURE() << BackendName(backend_) << ": " << db.lastError().text().toStdString();
        return db;
    }
    Prepare(db, sqliteOptions, !schema_.isEmpty() && name != name_);
    return db;
}

QSqlDatabase TestDatabase::ConnectNative(const QString& name) {
    QSqlDatabase db = QSqlDatabase::addDatabase(
        IsPostgres() ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), name);
    if (IsPostgres()) {
        demo::ApplyConninfo(db, PostgresConninfo());
    } else {
        db.setDatabaseName(path_);
    }
    if (!db.open()) {
        ADD_FAILURE() << "native twin: " << db.lastError().text().toStdString();
        return db;
    }
    if (IsPostgres()) {
        Run(db, QStringLiteral("SET client_min_messages TO warning"));
        Run(db, QStringLiteral("SET search_path TO %1").arg(schema_));
    }
    return db;
}

void TestDatabase::Configure(QSqlDatabase& db, const QString& sqliteOptions) const {
    switch (backend_) {
        case Backend::SQLite:
            db.setDatabaseName(path_);
            db.setConnectOptions(sqliteOptions);
            break;
        case Backend::PostgreSQL:
            demo::ApplyConninfo(db, PostgresConninfo());
            break;
        case Backend::OdbcPostgreSQL:
            db.setDatabaseName(demo::OdbcPostgresConnectionString(PostgresConninfo()));
            break;
        case Backend::OdbcSQLite: {
            // The SQLite ODBC driver waits 100 s for a lock by default, also
            // when told 0; wait as long as QSQLITE does, or as asked (0 as 1 ms).
            QString timeout = QStringLiteral("5000");
            for (const QString& option :
                 sqliteOptions.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                if (option.startsWith(QLatin1String("QSQLITE_BUSY_TIMEOUT="))) {
                    timeout =
                        QString::number(std::max(1, option.section(QLatin1Char('='), 1).toInt()));
                }
            }
            db.setDatabaseName(
                QStringLiteral("Driver=SQLite3;Database=%1;Timeout=%2;").arg(path_, timeout));
            break;
        }
    }
}

void TestDatabase::Prepare(QSqlDatabase& db, const QString& sqliteOptions, bool inSchema) {
    if (IsPostgres()) {
        Run(db, QStringLiteral("SET client_min_messages TO warning"));
        if (inSchema) {
            Run(db, QStringLiteral("SET search_path TO %1").arg(schema_));
        }
    } else if (IsOdbc() && sqliteOptions.contains(QLatin1String("QSQLITE_OPEN_READONLY"))) {
        // The ODBC driver has no read-only open; a query-only connection
        // refuses every write the same way.
        Run(db, QStringLiteral("PRAGMA query_only = 1"));
    }
}

void TestDatabase::Exec(const QString& statement) {
    Run(Native(), statement);
}

void TestDatabase::ExecMain(const QString& statement) {
    Run(db_, statement);
}

QString TestDatabase::Scalar(const QString& statement) {
    return ScalarOn(Native(), statement);
}

QString TestDatabase::ScalarOn(QSqlDatabase& db, const QString& statement) {
    QSqlQuery query(db);
    if (!query.exec(statement)) {
        ADD_FAILURE() << statement.toStdString() << ": " << query.lastError().text().toStdString();
        return {};
    }
    return query.next() ? query.value(0).toString() : QString();
}

namespace {

// Runs `sql` with `values` bound; the query's error text when refused.
std::optional<QString> RunQuery(QSqlQuery& query, const QString& sql, const QVariantList& values) {
    // Without values the text goes as it is: a "?" inside a literal stays text.
    const bool ran = values.isEmpty() ? query.exec(sql) : [&] {
        if (!query.prepare(sql)) {
            return false;
        }
        for (const QVariant& value : values) {
            query.addBindValue(value);
        }
        return query.exec();
    }();
    return ran ? std::nullopt : std::optional<QString>(query.lastError().text());
}

QStringList ReadRows(QSqlQuery& query, const QString& nullText) {
    QStringList rows;
    while (query.next()) {
        QStringList cells;
        for (int i = 0; i < query.record().count(); ++i) {
            const QVariant value = query.value(i);
            cells.append(value.isNull() ? nullText : value.toString());
        }
        rows.append(cells.join(QLatin1Char('\t')));
    }
    return rows;
}

}  // namespace

std::optional<QStringList> TryQueryRows(QSqlDatabase& db, const QString& sql,
                                        const QVariantList& values, const QString& nullText) {
    QSqlQuery query(db);
    if (RunQuery(query, sql, values)) {
        return std::nullopt;
    }
    return ReadRows(query, nullText);
}

QStringList QueryRows(QSqlDatabase& db, const QString& sql, const QVariantList& values,
                      const QString& nullText) {
    QSqlQuery query(db);
    if (const std::optional<QString> error = RunQuery(query, sql, values)) {
        ADD_FAILURE() << sql.toStdString() << ": " << error->toStdString();
        return {};
    }
    return ReadRows(query, nullText);
}

QStringList TestDatabase::Rows(const QString& table) {
    QStringList rows =
        QueryRows(Native(), QStringLiteral("SELECT * FROM ") + table, {}, QStringLiteral("<null>"));
    rows.sort();
    return rows;
}

QStringList TestDatabase::Tables() {
    QStringList tables;
    QSqlQuery query(Native());
    const QString statement =
        IsPostgres() ? QStringLiteral(
                           "SELECT c.relname, c.relkind FROM pg_class c JOIN pg_namespace n ON "
                           "n.oid = c.relnamespace WHERE n.nspname = current_schema()")
                     : QStringLiteral("SELECT name, type FROM sqlite_master");
    if (!query.exec(statement)) {
        ADD_FAILURE() << query.lastError().text().toStdString();
        return tables;
    }
    while (query.next()) {
        tables.append(query.value(0).toString().toUpper() + QLatin1Char(' ') +
                      query.value(1).toString());
    }
    tables.sort();
    return tables;
}

QByteArray TestDatabase::Fingerprint() {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QStringList objects = Tables();
    for (const QString& object : objects) {
        hash.addData(object.toUtf8());
        hash.addData("\n");
        const QString name = object.section(QLatin1Char(' '), 0, 0);
        const QString kind = object.section(QLatin1Char(' '), 1);
        if (kind == QLatin1String("table") || kind == QLatin1String("r")) {
            for (const QString& row : Rows(name)) {
                hash.addData(row.toUtf8());
                hash.addData("\n");
            }
        }
    }
    return hash.result().toHex();
}

QSqlDatabase& TestDatabase::OpenOther(const QString& sqliteOptions) {
    const QString name = NextName("prvc03_other");
    others_.push_back(Connect(name, sqliteOptions));
    return others_.back();
}

void TestDatabase::Reopen(const QString& sqliteOptions) {
    db_.close();
    Configure(db_, sqliteOptions);
    if (!db_.open()) {
        ADD_FAILURE() << db_.lastError().text().toStdString();
        return;
    }
    Prepare(db_, sqliteOptions, IsPostgres());
    if (IsPostgres()) {
        pid_ = BackendPid();
    }
}

qint64 TestDatabase::BackendPid() {
    return IsPostgres() ? ScalarOn(db_, QStringLiteral("SELECT pg_backend_pid()")).toLongLong() : 0;
}

void TestDatabase::TerminateMainConnection() {
    if (!IsPostgres()) {
        ADD_FAILURE() << "only a server connection can be terminated";
        return;
    }
    if (pid_ == 0) {
        ADD_FAILURE() << "the main connection has no server process";
        return;
    }
    QSqlDatabase& killer = OpenOther();
    QSqlQuery query(killer);
    // Waits (up to 10 s) until the server process has really ended.
    if (!query.exec(QStringLiteral("SELECT pg_terminate_backend(%1, 10000)").arg(pid_)) ||
        !query.next() || !query.value(0).toBool()) {
        ADD_FAILURE() << "could not terminate backend " << pid_ << ": "
                      << query.lastError().text().toStdString();
    }
}

}  // namespace prvc03::test
