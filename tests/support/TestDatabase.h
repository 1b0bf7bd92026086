#pragma once
// A throw-away database with the host's tables, made the session's connection
// for the life of the object: a SQLite file in a temporary folder (the
// default), or a schema of its own on the PostgreSQL server named by
// PRVC03_PG_CONNINFO, dropped at the end, so that test binaries running at
// the same time never see each other's tables. Each can be reached natively
// (QSQLITE, QPSQL) or through QODBC and the product's ODBC driver, the way
// production hosts reach SQL Server.

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <QVariantList>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>

namespace prvc03::test {

enum class Backend { SQLite, PostgreSQL, OdbcPostgreSQL, OdbcSQLite };

const char* BackendName(Backend backend);
inline void PrintTo(Backend backend, std::ostream* out) {
    *out << BackendName(backend);
}
// The PostgreSQL server's "key=value ..." text, empty when none is configured.
QString PostgresConninfo();
// SQLite always; PostgreSQL when PRVC03_PG_CONNINFO names a server.
bool BackendAvailable(Backend backend);

// The rows `sql` gives on `db`, `values` bound to its "?" in order, each as
// its columns joined by a tab, NULL as `nullText`; nothing when the database
// refuses the statement.
std::optional<QStringList> TryQueryRows(QSqlDatabase& db, const QString& sql,
                                        const QVariantList& values = {},
                                        const QString& nullText = QString());
// The same; a refused statement fails the test and gives no rows.
QStringList QueryRows(QSqlDatabase& db, const QString& sql, const QVariantList& values = {},
                      const QString& nullText = QString());

class TestDatabase {
  public:
    enum Content { Empty, Schema, Demo };
    explicit TestDatabase(Content content = Demo);
    explicit TestDatabase(Backend backend, Content content = Demo);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    Backend backend() const { return backend_; }
    // A PostgreSQL server, reached natively or through ODBC.
    bool IsPostgres() const {
        return backend_ == Backend::PostgreSQL || backend_ == Backend::OdbcPostgreSQL;
    }
    bool IsOdbc() const {
        return backend_ == Backend::OdbcPostgreSQL || backend_ == Backend::OdbcSQLite;
    }
    QSqlDatabase& db() { return db_; }
    // The same database through its native Qt driver, the tests' oracle: on
    // an ODBC configuration a second connection (QSQLITE on the same file,
    // QPSQL in the same schema), elsewhere the main connection. QODBC itself
    // sends statement text through the driver manager, which for a driver
    // without wide entry points converts it by the process's locale; the
    // native connection reads and writes what is really stored under any
    // locale. Exec, Scalar, Rows and Fingerprint go through it.
    QSqlDatabase& Native() { return IsOdbc() ? native_ : db_; }
    // The SQLite file (empty on PostgreSQL).
    QString Path() const { return path_; }
    // The PostgreSQL schema the tables live in (empty on SQLite).
    QString SchemaName() const { return schema_; }

    // Runs a statement; fails the test with the database's text on error.
    void Exec(const QString& statement);
    // The same on the main connection itself: for its session settings.
    void ExecMain(const QString& statement);
    // The first column of the first row, as text ("" when no row).
    QString Scalar(const QString& statement);
    int Count(const QString& statement) { return Scalar(statement).toInt(); }
    // Every row of a table, each as its columns joined by tabs (NULL as
    // "<null>"), sorted: equal before and after exactly when the table's
    // content is.
    QStringList Rows(const QString& table);
    // The names of the tables, upper case and sorted, and a hash over the
    // content of every one: any created, dropped or changed table changes it.
    QByteArray Fingerprint();
    QStringList Tables();

    // A further connection to the same database (same file, or same server
    // and schema), owned by this object and closed with it. SQLite options go
    // to the driver's connect options ("QSQLITE_OPEN_READONLY",
    // "QSQLITE_BUSY_TIMEOUT=N"); over ODBC they become the SQLite ODBC
    // driver's Timeout and a query-only connection.
    QSqlDatabase& OpenOther(const QString& sqliteOptions = QString());
    // Closes and opens the main connection again, keeping its name and the
    // session's pointer to it; SQLite options as above.
    void Reopen(const QString& sqliteOptions = QString());
    // The server process of the main connection (PostgreSQL only), asked
    // from the server.
    qint64 BackendPid();
    // Ends the main connection's server process from another connection, as
    // a lost network or a restarted server would (PostgreSQL only).
    void TerminateMainConnection();

  private:
    QSqlDatabase Connect(const QString& name, const QString& sqliteOptions);
    QSqlDatabase ConnectNative(const QString& name);
    QString ScalarOn(QSqlDatabase& db, const QString& statement);
    // Points `db` at this database with the driver's options.
    void Configure(QSqlDatabase& db, const QString& sqliteOptions) const;
    // What every connection runs once it is open.
    void Prepare(QSqlDatabase& db, const QString& sqliteOptions, bool inSchema);

    Backend backend_;
    QTemporaryDir dir_;
    QString path_;
    QString name_;
    QString schema_;
    QSqlDatabase db_;
    QSqlDatabase native_;              // ODBC configurations only
    std::deque<QSqlDatabase> others_;  // stable references for OpenOther
    qint64 pid_ = 0;
};

// Every database configuration, in the order the suites run them.
inline constexpr Backend kEveryBackend[] = {Backend::SQLite, Backend::PostgreSQL,
                                            Backend::OdbcPostgreSQL, Backend::OdbcSQLite};

// The database configuration of a test parameter: the parameter itself, or
// the first member of a tuple that adds further dimensions.
inline Backend BackendOf(Backend backend) {
    return backend;
}
template <class... Rest>
Backend BackendOf(const std::tuple<Backend, Rest...>& param) {
    return std::get<0>(param);
}

// Opens the running test's database of `backend` into `database`. Without a
// PostgreSQL server the PostgreSQL configurations skip the test (fail it on
// CI) and leave `database` empty.
void OpenTestDatabase(Backend backend, TestDatabase::Content content,
                      std::unique_ptr<TestDatabase>& database);

// Runs a test body once per database: derive the fixture from EveryDatabase,
// write TEST_P, and instantiate it with PRVC03_ON_EVERY_DATABASE(Fixture).
// SetUp opens the database (of content Content()); the PostgreSQL
// configurations are skipped only when no server is configured, and never
// on CI, where that fails. A fixture that overrides SetUp calls this
// one first and returns when IsSkipped() or HasFatalFailure(). EveryDatabaseOf<Param> does the
// same for a parameter that is a tuple led by the database.
template <class Param>
class EveryDatabaseOf : public ::testing::TestWithParam<Param> {
  protected:
    void SetUp() override { OpenTestDatabase(BackendOf(this->GetParam()), Content(), database_); }
    virtual TestDatabase::Content Content() const { return TestDatabase::Demo; }
    TestDatabase& db() { return *database_; }

  private:
    std::unique_ptr<TestDatabase> database_;
};
using EveryDatabase = EveryDatabaseOf<Backend>;

std::string BackendParamName(const ::testing::TestParamInfo<Backend>& info);

#define PRVC03_ON_EVERY_DATABASE(Fixture)                                        \
    INSTANTIATE_TEST_SUITE_P(Databases, Fixture,                                 \
                             ::testing::ValuesIn(::prvc03::test::kEveryBackend), \
                             ::prvc03::test::BackendParamName)

}  // namespace prvc03::test
