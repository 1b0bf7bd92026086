#pragma once
// A multi-select lookup window opened the way its caller opens it, on the
// session connection, timed from its creation to its first paint; shared by
// the lookup cases.

#include <QPointer>
#include <QString>

#include <cstdint>
#include <memory>

#include "data/QueryDataset.h"
#include "lookup/RootFS.h"

namespace prvc03 {
class DataGrid;
}

namespace prvc03::bench {

// Hands every pending event to its receiver: paints, queued calls.
void Settle();

struct Lookup {
    std::unique_ptr<QueryDataset> source;  // the caller's column description
    QPointer<TfrmRootFS> window;
    double open = 0;          // create, show step, first paint
    double paint = 0;         // the first paint after the show step
    std::uint64_t reads = 0;  // cells the first paint read (DatasetModel::data calls)

    Lookup() = default;
    Lookup(const Lookup&) = delete;
    Lookup& operator=(const Lookup&) = delete;
    ~Lookup();

    TfrmRootFS& W() const;
    DataGrid& Grid() const;
    // Seconds of one repaint of the result grid.
    double Repaint() const;
};

// How the window waits for its result query: as it does by itself, on a
// thread of its own behind "正在查询…" (QueryProgress), or with the read
// wait taken away, so that the query is fetched on the window's thread.
enum class Wait { Progress, Synchronous };

// Opens the window over `table` (a LookupTable) on the session connection.
std::unique_ptr<Lookup> OpenLookup(const QString& table, Wait wait = Wait::Progress);

}  // namespace prvc03::bench
