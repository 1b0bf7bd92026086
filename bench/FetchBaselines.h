#pragma once
// The fetch and its baselines, shared by the cases that compare with them.

#include <QString>

#include <memory>

namespace prvc03 {
class QueryDataset;
}

namespace prvc03::bench {

// Seconds to run `sql` forward-only and step through every row with
// QSqlQuery::next(), reading nothing.
double BareNextLoop(const QString& sql);
// Seconds for raw SQLite to step `sql` and build the same column layout the
// result store keeps (one UTF-16 buffer, offsets and a null bitmap per text).
double RawSQLiteStore(const QString& sql);
// The multi-select window's result query over `table`: the check column and
// one result field per caller's column, statement set, not open.
std::unique_ptr<QueryDataset> ResultQuery(const QString& table);
// Seconds QueryDataset::Open takes for that query.
double StoreFetch(const QString& table);

}  // namespace prvc03::bench
