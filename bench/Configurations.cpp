#include "Configurations.h"

#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <stdexcept>
#include <string>

#include "BenchData.h"
#include "RawClients.h"
#include "ServerData.h"
#include "data/DriverHandle.h"
#include "data/Odbc.h"
#include "session/SessionContext.h"

namespace prvc03::bench {

namespace {

bool IsServer(int config) {
    return config == kPostgres || config == kOdbcPostgres;
}

ServerData& Server() {
    ServerData* server = ServerData::Get();
    if (server == nullptr) {
        throw std::runtime_error("the server configurations need PRVC03_PG_CONNINFO");
    }
    return *server;
}

SQLHDBC OdbcHandle(QSqlDatabase& db) {
    const SQLHDBC handle = OdbcConnectionHandle(db);
    if (handle == nullptr) {
        throw std::runtime_error("raw ODBC: not an open ODBC connection");
    }
    return handle;
}

// The session connection's own sqlite3 handle, which the raw SQLite
// baselines use as the readers do: the same page cache, the same open flags
// (QSQLITE opens without the connection mutex).
sqlite3* SqliteHandle() {
    sqlite3* handle = DriverHandle<sqlite3*>(BenchData::Get().Db(), "QSQLITE", "sqlite3*");
    if (handle == nullptr) {
        throw std::runtime_error("raw SQLite: not an open QSQLITE connection");
    }
    return handle;
}

long long SqliteCount(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    long long count = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        count = sqlite3_column_int64(stmt, 0);
    }
    sqlite3_finalize(stmt);
    return count;
}

long long LibpqCount(PGconn* connection, const char* sql) {
    PGresult* result = PQexec(connection, sql);
    long long count = -1;
    if (PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) == 1) {
        count = std::stoll(PQgetvalue(result, 0, 0));
    }
    PQclear(result);
    return count;
}

}  // namespace

const char* ConfigName(int config) {
    switch (config) {
        case kSqlite:
            return "SQLite (QSQLITE)";
        case kPostgres:
            return "PostgreSQL (QPSQL)";
        case kOdbcPostgres:
            return "ODBC -> PostgreSQL (QODBC, psqlODBC)";
        case kOdbcSqlite:
            return "ODBC -> SQLite (QODBC, SQLite3 ODBC)";
    }
    return "?";
}

bool ConfigAvailable(int config, benchmark::State& state) {
    if (IsServer(config) && ServerData::Get() == nullptr) {
        state.SkipWithError("PRVC03_PG_CONNINFO is not set (run beside scripts/with-postgres.sh)");
        return false;
    }
    return true;
}

QSqlDatabase& ConfigDb(int config) {
    switch (config) {
        case kPostgres:
            return Server().Native();
        case kOdbcPostgres:
            return Server().Odbc();
        case kOdbcSqlite:
            return BenchData::Get().Odbc();
        default:
            return BenchData::Get().Db();
    }
}

QString ConfigLookupTable(int config, int rows) {
    return IsServer(config) ? Server().LookupTable(rows) : BenchData::Get().LookupTable(rows);
}

double ConfigRawFetch(int config, const QString& sql, int rows) {
    switch (config) {
        case kPostgres:
            return RawLibpqFetch(Server().Raw(), sql, rows);
        case kOdbcPostgres:
        case kOdbcSqlite: {
            QSqlDatabase& db = ConfigDb(config);
            return RawOdbcFetch(OdbcHandle(db), OdbcWideText(db), sql, rows);
        }
        default:
            return RawSqliteFetch(SqliteHandle(), sql, rows);
    }
}

void ConfigEnsureCopyTables(int config) {
    if (IsServer(config)) {
        Server().EnsureCopyTables();
    } else {
        BenchData::Get().EnsureCopyTables();
    }
}

void ConfigResetTargets(int config) {
    // On SQLite through the configuration's own connection, which then finds
    // its page cache as it left it: a write through another connection would
    // empty it.
    switch (config) {
        case kPostgres:
        case kOdbcPostgres:
            Server().ResetTargets();
            break;
        case kOdbcSqlite:
            ConfigRawExec(config, QStringLiteral("DELETE FROM ADMMH WHERE MH001 LIKE 'T%'"));
            break;
        default:
            BenchData::Get().ResetTargets(BenchData::Through::Session);
            break;
    }
}

void ConfigRawExec(int config, const QString& sql) {
    switch (config) {
        case kPostgres:
            RawLibpqExec(Server().Raw(), sql);
            break;
        case kOdbcPostgres:
        case kOdbcSqlite: {
            QSqlDatabase& db = ConfigDb(config);
            RawOdbcExec(OdbcHandle(db), OdbcWideText(db), sql);
            break;
        }
        default:
            RawSqliteExec(SqliteHandle(), sql);
            break;
    }
}

double ConfigRawCopy(int config, const std::vector<QString>& statements) {
    switch (config) {
        case kPostgres:
            return RawLibpqCopy(Server().Raw(), statements);
        case kOdbcPostgres:
        case kOdbcSqlite: {
            QSqlDatabase& db = ConfigDb(config);
            return RawOdbcCopy(OdbcHandle(db), OdbcWideText(db), statements);
        }
        default:
            return RawSqliteCopy(SqliteHandle(), statements);
    }
}

void ConfigCheckCopied(int config, int targets, int rows) {
    static const char* const kCopied = "SELECT COUNT(*) FROM ADMMH WHERE MH001 LIKE 'T%'";
    const long long count = IsServer(config) ? LibpqCount(Server().Raw(), kCopied)
                                             : SqliteCount(BenchData::Get().Raw(), kCopied);
    if (count != static_cast<long long>(targets) * rows) {
        throw std::runtime_error("a copy did not copy every permission row (" +
                                 std::to_string(count) + " target rows)");
    }
}

SessionOn::SessionOn(QSqlDatabase& db) : before_(Session().SessionConnection) {
    Session().SessionConnection = &db;
}

SessionOn::~SessionOn() {
    Session().SessionConnection = before_;
}

}  // namespace prvc03::bench
