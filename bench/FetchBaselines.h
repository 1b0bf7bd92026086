#pragma once
// The fetch and its baselines, shared by the cases that compare with them.

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QSqlDatabase;

namespace prvc03 {
class QueryDataset;
}

namespace prvc03::bench {

// A text column as the result store keeps it: one UTF-16 buffer with
// offsets and a null bitmap, shrunk to size at the end. The raw baselines
// fill it from their own drivers.
struct RawTextColumn {
    std::vector<std::uint64_t> nulls;
    std::vector<char16_t> chars;
    std::vector<std::uint32_t> offsets{0};
    int count = 0;

    void AppendNull() {
        NextRow();
        nulls.back() |= std::uint64_t{1} << (count & 63);
        EndRow();
    }
    void Append(const char16_t* text, std::size_t units) {
        NextRow();
        chars.insert(chars.end(), text, text + units);
        EndRow();
    }
    // UTF-8 text, converted on the way in.
    void AppendUtf8(const char* text, std::size_t bytes);
    void Finish() {
        nulls.shrink_to_fit();
        chars.shrink_to_fit();
        offsets.shrink_to_fit();
    }

  private:
    void NextRow() {
        if ((count & 63) == 0) {
            nulls.push_back(0);
        }
    }
    void EndRow() {
        offsets.push_back(static_cast<std::uint32_t>(chars.size()));
        ++count;
    }
};

// Seconds to run `sql` forward-only and step through every row with
// QSqlQuery::next(), reading nothing.
double BareNextLoop(const QString& sql);
// Seconds for raw SQLite to step `sql` and build the same column layout the
// result store keeps (one UTF-16 buffer, offsets and a null bitmap per text).
double RawSQLiteStore(const QString& sql);
// The multi-select window's result query over `table`: the check column and
// one result field per caller's column, statement set, not open; on the
// generated SQLite database or on `db`.
std::unique_ptr<QueryDataset> ResultQuery(const QString& table);
std::unique_ptr<QueryDataset> ResultQuery(const QString& table, QSqlDatabase& db);
// Seconds QueryDataset::Open takes for that query.
double StoreFetch(const QString& table);
double StoreFetch(const QString& table, QSqlDatabase& db);

}  // namespace prvc03::bench
