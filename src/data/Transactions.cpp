#include "data/Transactions.h"

#include <QSqlDatabase>

#include "data/BusyIndicator.h"
#include "data/ConnectionWatch.h"

namespace prvc03 {

namespace {

template <class Step>
bool Bounded(QSqlDatabase& db, Step step) {
    const BusyScope busy;
    const ConnectionWatch watch(db);
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
