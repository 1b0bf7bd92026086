#include "data/ConnectionWatch.h"

#include <QSqlQuery>
#include <QSqlResult>
#include <QVariant>

#include <libpq-fe.h>
#include <sqlite3.h>

#include "data/CommandTimeout.h"
#include "data/DriverHandle.h"
#include "data/SqliteBusyBound.h"
#include "data/SqliteStatementStop.h"

namespace prvc03 {

struct ConnectionWatch::PostgresCancel {
    explicit PostgresCancel(PGconn* connection) : cancel(PQgetCancel(connection)) {}
    ~PostgresCancel() { PQfreeCancel(cancel); }
    PostgresCancel(const PostgresCancel&) = delete;
    PostgresCancel& operator=(const PostgresCancel&) = delete;
    PGcancel* cancel;
};

ConnectionWatch::ConnectionWatch(QSqlDatabase& db, SQLHSTMT odbcStatement)
    : deadline_(std::chrono::steady_clock::now() + CommandTimeout()) {
    if (sqlite3* handle = DriverHandle<sqlite3*>(db, "QSQLITE", "sqlite3*")) {
        sqlite_ = std::make_unique<SqliteBusyBound>(handle, deadline_, stop_);
        sqliteStop_ = std::make_unique<SqliteStatementStop>(handle, stop_);
        watch_ = std::make_unique<CommandWatch>(deadline_, [this] { stop_.store(true); });
    } else if (PGconn* handle = DriverHandle<PGconn*>(db, "QPSQL", "pg_conn*")) {
        postgres_ = std::make_unique<PostgresCancel>(handle);
        watch_ = std::make_unique<CommandWatch>(deadline_, [this] {
            char message[256];
            PQcancel(postgres_->cancel, message, sizeof(message));
        });
    } else if (odbcStatement != nullptr) {
        watch_ = std::make_unique<CommandWatch>(deadline_,
                                                [odbcStatement] { SQLCancel(odbcStatement); });
    }
}

ConnectionWatch::~ConnectionWatch() {
    watch_.reset();
}

bool ConnectionWatch::TimedOut() const {
    return (watch_ != nullptr && watch_->Fired()) || std::chrono::steady_clock::now() >= deadline_;
}

SQLHSTMT OdbcStatementOf(const QSqlQuery& query) {
    if (query.driver() == nullptr || query.result() == nullptr) {
        return nullptr;
    }
    const QVariant handle = query.result()->handle();
    // QODBC gives its statement handle as a plain SQLHANDLE; the other
    // drivers give typed pointers of their own.
    if (!handle.isValid() || handle.typeName() == nullptr ||
        qstrcmp(handle.typeName(), "void*") != 0) {
        return nullptr;
    }
    return *static_cast<const SQLHSTMT*>(handle.constData());
}

}  // namespace prvc03
