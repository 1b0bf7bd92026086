#pragma once
// The checks the copy runs before it writes anything, shared by 确定 and the
// preview: the source user given, present in ADMMG, and not among the
// targets.

#include <QString>
#include <QStringList>

#include <optional>

class QSqlDatabase;

namespace prvc03 {

// The message of the first check that refuses the copy of `sourceText` (the
// text of Edit1) to the users `targetCodes`, in order; nothing when the copy
// may go on. The count statement runs on `db`; its errors reach the caller.
std::optional<QString> CopyRefusal(QSqlDatabase& db, const QString& sourceText,
                                   const QStringList& targetCodes);

}  // namespace prvc03
