#pragma once
// Taking a copy back, one target at a time, each in a transaction of its
// own: a target whose rows are still exactly what the copy left gets back
// exactly the rows it held before; any other target is left as it is.

#include <QString>

#include <optional>
#include <vector>

#include "modules/CopyLedger.h"

class QSqlDatabase;

namespace prvc03 {

struct UndoOutcome {
    enum Result {
        Undone,   // restored to the rows it held before the copy
        Changed,  // changed since the copy; left untouched
        Failed,   // the restore failed and was rolled back
    };
    Result result = Failed;
    QString error;  // why it failed
    // "已撤销", "已变更，未撤销", or "撤销失败：" and the reason.
    QString Text() const;
};

// Takes back one committed line on `db`. Never raises.
UndoOutcome TakeBack(QSqlDatabase& db, const CopiedLine& line);

// Takes back every committed line of `lines`, last line first, on the
// connection `db` (null when there is none). The outcomes stand at the
// lines' places; a line that was not committed, or added no rows, gets none.
std::vector<std::optional<UndoOutcome>> TakeBackAll(QSqlDatabase* db,
                                                    const std::vector<CopiedLine>& lines);

}  // namespace prvc03
