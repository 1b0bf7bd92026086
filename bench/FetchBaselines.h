#pragma once
// The fetch and its baselines, shared by the cases that compare with them.

#include <QString>

#include <memory>
#include <vector>

class QSqlDatabase;

namespace prvc03 {
class QueryDataset;
}

namespace prvc03::bench {

// Seconds to run `sql` forward-only and step through every row with
// QSqlQuery::next(), reading nothing.
double BareNextLoop(const QString& sql);
// The multi-select window's result query over `table`: the check column and
// one result field per caller's column, statement set, not open; on the
// generated SQLite database or on `db`.
std::unique_ptr<QueryDataset> ResultQuery(const QString& table);
std::unique_ptr<QueryDataset> ResultQuery(const QString& table, QSqlDatabase& db);
// Seconds QueryDataset::Open takes for that query, fetched on the calling
// thread.
double StoreFetch(const QString& table);
double StoreFetch(const QString& table, QSqlDatabase& db);
// The same open as the lookup window runs it: fetched on a thread of its
// own while a QueryProgress waits (a hidden window's, showing "正在查询…"
// after a second as in the window).
double WaitedFetch(const QString& table, QSqlDatabase& db);

// The process's resident memory in bytes (heap and mapped buffers alike).
double ResidentBytes();
// Bytes per row the open result query over `table` (`rows` rows, on the
// generated SQLite database) holds: as the store counts them, and as the
// process's resident memory grew while it opened.
struct HeldMemory {
    double counted = 0;
    double resident = 0;
};
HeldMemory HeldPerRow(const QString& table, int rows);

}  // namespace prvc03::bench
