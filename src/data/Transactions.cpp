#include "data/Transactions.h"

#include <QSqlDatabase>

#include <libpq-fe.h>
#include <sqlite3.h>

#include <memory>

#include "data/BusyIndicator.h"
#include "data/CommandTimeout.h"
#include "data/DriverHandle.h"
#include "data/SqliteBusyBound.h"

namespace prvc03 {

namespace {

template <class Step>
bool Bounded(QSqlDatabase& db, Step step) {
    const BusyScope busy;
    const auto deadline = std::chrono::steady_clock::now() + CommandTimeout();
    if (sqlite3* handle = DriverHandle<sqlite3*>(db, "QSQLITE", "sqlite3*")) {
        std::atomic<bool> stop{false};
        const SqliteBusyBound bound(handle, deadline, stop);
        const CommandWatch watch(deadline, [&stop, handle] {
            stop.store(true);
            sqlite3_interrupt(handle);
        });
        return step();
    }
    if (PGconn* handle = DriverHandle<PGconn*>(db, "QPSQL", "pg_conn*")) {
        const std::unique_ptr<PGcancel, void (*)(PGcancel*)> cancel(PQgetCancel(handle),
                                                                    &PQfreeCancel);
        const CommandWatch watch(deadline, [&cancel] {
            char message[256];
            PQcancel(cancel.get(), message, sizeof(message));
        });
        return step();
    }
    // ODBC sets an attribute and ends the transaction on the connection
    // handle, which SQLCancel cannot reach.
    return step();
}

}  // namespace

bool BeginTransaction(QSqlDatabase& db) {
    return Bounded(db, [&db] { return db.transaction(); });
}

bool CommitTransaction(QSqlDatabase& db) {
    return Bounded(db, [&db] { return db.commit(); });
}

bool RollbackTransaction(QSqlDatabase& db) {
    return Bounded(db, [&db] { return db.rollback(); });
}

}  // namespace prvc03
